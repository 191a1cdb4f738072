# Install rules: headers, libmapgeom.so and the partition library beside it, the CMake package
# (mapgeom::mapgeom, which brings mapgeom::partition) and the pkg-config files mapgeom.pc and
# mapgeom_partition.pc (which mapgeom.pc requires).
include(CMakePackageConfigHelpers)

install(TARGETS mapgeom mapgeom_partition EXPORT mapgeomTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/mapgeom ${PROJECT_SOURCE_DIR}/partition/include/mapgeom
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(MAPGEOM_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/mapgeom)
install(EXPORT mapgeomTargets NAMESPACE mapgeom:: DESTINATION ${MAPGEOM_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/mapgeomConfig.cmake.in
    ${PROJECT_BINARY_DIR}/mapgeomConfig.cmake INSTALL_DESTINATION ${MAPGEOM_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/mapgeomConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/mapgeomConfig.cmake ${PROJECT_BINARY_DIR}/mapgeomConfigVersion.cmake
    DESTINATION ${MAPGEOM_CMAKE_DIR})

# mapgeom.pc finds the prefix relative to its own folder, so an installed tree can be moved (and
# `cmake --install --prefix` works): lib/pkgconfig is two levels below the prefix, a multiarch
# lib/x86_64-linux-gnu/pkgconfig three. Absolute install folders are written as they are.
set(MAPGEOM_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(MAPGEOM_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(MAPGEOM_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
    set(MAPGEOM_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
    file(RELATIVE_PATH _mapgeom_pc_up /mapgeom_prefix/${MAPGEOM_PC_DIR} /mapgeom_prefix)
    string(REGEX REPLACE "/$" "" _mapgeom_pc_up "${_mapgeom_pc_up}")
    set(MAPGEOM_PC_PREFIX "\${pcfiledir}/${_mapgeom_pc_up}")
    set(MAPGEOM_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
    set(MAPGEOM_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
foreach(pc_name IN ITEMS mapgeom mapgeom_partition)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc_name}.pc.in ${PROJECT_BINARY_DIR}/${pc_name}.pc
        @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/${pc_name}.pc DESTINATION ${MAPGEOM_PC_DIR})
endforeach()
