# Checks that a library of the project exports exactly the API its public headers declare: every
# exported symbol is a global-scope name marked with the library's export macro (MARK) in a header
# of HEADER_DIR (nothing from a namespace, std templates, type info or vtables) and every marked
# name is exported, unmangled when declared between MAPGEOM_C_BEGIN and MAPGEOM_C_END and as a C++
# function otherwise. With NEEDED, the library must also record a dependency on that library (by
# file name start, e.g. libmapgeom_partition.so) so that loading it loads the other.
# Usage: cmake -DLIBRARY=<lib.so> -DHEADER_DIR=<folder of its headers> -DNM=<nm> [-DMARK=<macro>]
#              [-DEXPECT_PLAIN=<name,...>] [-DOBJDUMP=<objdump> -DNEEDED=<name>]
#              -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT MARK)
    set(MARK MAPGEOM_API)
endif()
string(REPLACE "," ";" EXPECT_PLAIN "${EXPECT_PLAIN}")
set(id "[A-Za-z_][A-Za-z0-9_]*")
set(errors "")

# What the library exports: plain names, and global-scope C++ functions (_Z<length><name>...).
execute_process(COMMAND ${NM} -D --defined-only -P ${LIBRARY}
    OUTPUT_VARIABLE symbols ERROR_VARIABLE nm_errors RESULT_VARIABLE rc)
string(REGEX MATCHALL "[^\n]+" symbols "${symbols}")
if(NOT rc EQUAL 0 OR NOT symbols)
    message(FATAL_ERROR "${NM} failed on ${LIBRARY}: ${nm_errors}")
endif()
set(exported_plain "")
set(exported_cpp "")
foreach(symbol IN LISTS symbols)
    string(REGEX MATCH "^([^ ]+) ([A-Za-z])" _ "${symbol}")
    set(name "${CMAKE_MATCH_1}")
    if(CMAKE_MATCH_2 STREQUAL "A" OR name MATCHES "^(_init|_fini|__bss_start|_edata|_end)$")
        continue()  # version nodes and section bounds
    elseif(name MATCHES "^${id}$" AND NOT name MATCHES "^_Z")
        list(APPEND exported_plain ${name})
    elseif(name MATCHES "^_Z([0-9]+)(${id})")
        string(SUBSTRING "${CMAKE_MATCH_2}" 0 ${CMAKE_MATCH_1} base)
        list(APPEND exported_cpp ${base})  # a nested or special name has no plain length prefix
    else()
        list(APPEND errors "not a global-scope API name: ${name}")
    endif()
endforeach()
list(REMOVE_DUPLICATES exported_cpp)

# What the public headers declare, comments and preprocessor lines removed. A declaration this
# misreads shows up below as an exported name that no header declares.
set(api_c "")
set(api_cpp "")
string(ASCII 1 begin_mark)
string(ASCII 2 end_mark)
set(block "${begin_mark}[^${end_mark}]*${end_mark}")
set(marked "(^|[^A-Za-z0-9_])${MARK}[^;{}()]*[^A-Za-z0-9_](${id})[ \t\r\n]*\\(")
file(GLOB headers ${HEADER_DIR}/*.h)
foreach(header IN LISTS headers)
    file(READ ${header} text)
    string(REGEX REPLACE "/\\*[^*]*\\*+([^/*][^*]*\\*+)*/" " " text "${text}")
    string(REGEX REPLACE "//[^\n]*" "" text "${text}")
    string(REGEX REPLACE "\\\\\n" " " text "${text}")
    string(REGEX REPLACE "\n[ \t]*#[^\n]*" "\n" text "\n${text}")
    string(REPLACE "MAPGEOM_C_BEGIN" "${begin_mark}" text "${text}")
    string(REPLACE "MAPGEOM_C_END" "${end_mark}" text "${text}")
    string(REGEX MATCHALL "${block}" c_text "${text}")
    string(REGEX REPLACE "${block}" "" cpp_text "${text}")
    foreach(part IN ITEMS c cpp)
        string(REGEX MATCHALL "${marked}" declarations "${${part}_text}")
        foreach(declaration IN LISTS declarations)
            string(REGEX MATCH "${marked}" _ "${declaration}")
            list(APPEND api_${part} ${CMAKE_MATCH_2})
        endforeach()
    endforeach()
endforeach()

foreach(side IN ITEMS "exported_plain;api_c;exported with C linkage but not declared in a C block"
                      "exported_cpp;api_cpp;exported as a C++ function but not declared as one"
                      "api_c;exported_plain;declared with C linkage but not exported unmangled"
                      "api_cpp;exported_cpp;declared but not exported as a C++ function"
                      "EXPECT_PLAIN;api_c;expected as a plain C name but not declared as one")
    list(GET side 0 names)
    list(GET side 1 others)
    list(GET side 2 problem)
    foreach(name IN LISTS ${names})
        if(NOT name IN_LIST ${others})
            list(APPEND errors "${name} is ${problem}")
        endif()
    endforeach()
endforeach()
if(NEEDED)
    execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT dynamic MATCHES "NEEDED +${NEEDED}")
        list(APPEND errors "${LIBRARY} does not record a dependency on ${NEEDED}")
    endif()
endif()
list(LENGTH errors error_count)
if(error_count GREATER 0)
    list(SUBLIST errors 0 30 shown)  # a leaked template instantiation drags in dozens of symbols
    list(JOIN shown "\n  " shown)
    message(FATAL_ERROR "Exported symbols of ${LIBRARY} do not match the public headers "
        "(${error_count} problems):\n  ${shown}")
endif()
list(LENGTH api_c c_count)
list(LENGTH api_cpp cpp_count)
message(STATUS "${c_count} C names and ${cpp_count} C++ function names exported as declared")
