# Compiler flags shared by the library, its tests, benchmarks and tools (one INTERFACE target).
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
set(MAPGEOM_SANITIZER_FLAGS "")
if(MAPGEOM_SANITIZE)
    set(MAPGEOM_SANITIZER_FLAGS
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${MAPGEOM_SANITIZER_FLAGS})
    add_link_options(${MAPGEOM_SANITIZER_FLAGS})
endif()
