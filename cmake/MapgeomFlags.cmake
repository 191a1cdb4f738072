# Compiler flags shared by the library, its tests, benchmarks and tools (one INTERFACE target), and
# the link helper of test and benchmark programs.
add_library(mapgeom_build_flags INTERFACE)

# Fused multiply-add would move crossing points by an ulp and with them the results that tolerances
# decide: keep floating-point contraction off everywhere.
target_compile_options(mapgeom_build_flags INTERFACE
    $<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>:-Wall -Wextra -ffp-contract=off>
    $<$<COMPILE_LANG_AND_ID:C,GNU,Clang>:-Wall -Wextra -ffp-contract=off>)
if(MAPGEOM_WERROR)
    target_compile_options(mapgeom_build_flags INTERFACE -Werror)
endif()

# Sanitizers apply to every target of the build (library, tests, tools), so that one instrumented
# runtime sees all memory. MAPGEOM_SANITIZER_FLAGS is also handed to projects built against the
# installed tree in the tests, which must load the same runtime.
# float-cast-overflow is not part of "undefined" in GCC; it catches a double converted to an integer
# it does not fit. _GLIBCXX_ASSERTIONS adds bounds checks to standard containers' indexing.
set(MAPGEOM_SANITIZER_FLAGS "")
if(MAPGEOM_SANITIZE)
    set(MAPGEOM_SANITIZER_FLAGS -fsanitize=address,undefined,float-cast-overflow
        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${MAPGEOM_SANITIZER_FLAGS})
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
    add_link_options(${MAPGEOM_SANITIZER_FLAGS})
endif()

# Fuzzing (clang only): every unit gets libFuzzer's coverage hooks and both sanitizers, so that the
# fuzz targets under tests/fuzz see the library's branches and catch its memory and UB faults.
if(MAPGEOM_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR MAPGEOM_SANITIZE OR MAPGEOM_SANITIZE_THREAD)
        message(FATAL_ERROR "MAPGEOM_BUILD_FUZZ needs clang and excludes the other sanitizer options")
    endif()
    set(MAPGEOM_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_compile_options(-fsanitize=fuzzer-no-link ${MAPGEOM_FUZZ_FLAGS})
    add_link_options(${MAPGEOM_FUZZ_FLAGS})
endif()

# ThreadSanitizer cannot share a build with AddressSanitizer; it checks the concurrency tests
# (test_threads, the tool's --jobs runs) for data races inside the library.
if(MAPGEOM_SANITIZE_THREAD)
    if(MAPGEOM_SANITIZE)
        message(FATAL_ERROR "MAPGEOM_SANITIZE and MAPGEOM_SANITIZE_THREAD exclude each other")
    endif()
    set(MAPGEOM_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
    add_compile_options(${MAPGEOM_SANITIZER_FLAGS})
    add_link_options(${MAPGEOM_SANITIZER_FLAGS})
endif()

# Host programs not built here (python3 loading the library through ctypes, a JVM) must preload the
# sanitizer runtime and leave leak checking off (the interpreter's own allocations would be
# reported). Tests that start one add MAPGEOM_SANITIZER_HOST_ENV to their ENVIRONMENT property; it
# is empty without sanitizers.
set(MAPGEOM_SANITIZER_HOST_ENV "")
if(MAPGEOM_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
        OUTPUT_VARIABLE _mapgeom_asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(MAPGEOM_SANITIZER_HOST_ENV
        "LD_PRELOAD=${_mapgeom_asan_runtime}" "ASAN_OPTIONS=detect_leaks=0")
endif()

# Links a test or benchmark program to the shared library (the public API), or with
# `internal` true to the static archive of the same objects (library-internal helpers), with the
# shared flags.
function(mapgeom_link_program target internal)
    if(internal)
        target_link_libraries(${target} PRIVATE mapgeom_internal)
    else()
        target_link_libraries(${target} PRIVATE mapgeom::mapgeom)
    endif()
    target_link_libraries(${target} PRIVATE mapgeom_build_flags)
endfunction()
