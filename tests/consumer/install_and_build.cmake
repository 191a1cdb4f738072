# Installs the build tree into a fresh prefix, then configures, builds and runs the consumer project
# against that prefix alone, the way a user of the installed library would.
# Usage: cmake -DBUILD_DIR=<mapgeom build> -DCONSUMER_DIR=<project> -DWORK_DIR=<scratch>
#              -DGENERATOR=<generator> -DC_COMPILER=<cc> -DCXX_COMPILER=<c++> [-DCONFIG=<config>]
#              [-DFLAGS=<flags for compiling and linking the consumer>] -P install_and_build.cmake
cmake_minimum_required(VERSION 3.25)
set(prefix ${WORK_DIR}/prefix)
set(consumer_build ${WORK_DIR}/build)
file(REMOVE_RECURSE ${WORK_DIR})
if(CONFIG)
    set(config_args --config ${CONFIG})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_args}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

# pkg-config is pointed at the prefix the way a user would; CMAKE_PREFIX_PATH serves find_package.
file(GLOB_RECURSE pc_file ${prefix}/mapgeom.pc)
cmake_path(GET pc_file PARENT_PATH pc_dir)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir}
        ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${consumer_build} -G ${GENERATOR}
        -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
        "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}"
        -DCMAKE_BUILD_TYPE=Debug -DCMAKE_PREFIX_PATH=${prefix} -DMAPGEOM_EXPECTED_PREFIX=${prefix}
        -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DPKG_CONFIG_USE_CMAKE_PREFIX_PATH=OFF
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${consumer_build}
    OUTPUT_VARIABLE build_log ERROR_VARIABLE build_log RESULT_VARIABLE build_result)
if(NOT build_result EQUAL 0)
    message(FATAL_ERROR "building the consumer against ${prefix} failed:\n${build_log}")
endif()
foreach(program IN ITEMS use_from_cpp use_from_c load_at_runtime)
    execute_process(COMMAND ${consumer_build}/${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
