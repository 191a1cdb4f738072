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

if(MAPGEOM_SANITIZE)
    set(_mapgeom_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${_mapgeom_san})
    add_link_options(${_mapgeom_san})
endif()
