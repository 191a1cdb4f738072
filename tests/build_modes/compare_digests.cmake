# Runs the digest programs FIRST and SECOND and fails unless both succeed with the same output.
foreach(program IN ITEMS FIRST SECOND)
    execute_process(COMMAND ${${program}} RESULT_VARIABLE status OUTPUT_VARIABLE digest_${program}
                    ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${${program}} failed (${status}): ${errors}")
    endif()
endforeach()
if(NOT digest_FIRST STREQUAL digest_SECOND)
    message(FATAL_ERROR "the digests differ:\n${FIRST}:\n${digest_FIRST}\n${SECOND}:\n${digest_SECOND}")
endif()
message(STATUS "same digests:\n${digest_FIRST}")
