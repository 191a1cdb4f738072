# Install rules: headers, libmapgeom.so, the mapgeom::mapgeom CMake package and mapgeom.pc.
include(CMakePackageConfigHelpers)

install(TARGETS mapgeom EXPORT mapgeomTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/mapgeom DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(MAPGEOM_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/mapgeom)
install(EXPORT mapgeomTargets NAMESPACE mapgeom:: DESTINATION ${MAPGEOM_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/mapgeomConfig.cmake.in
    ${PROJECT_BINARY_DIR}/mapgeomConfig.cmake INSTALL_DESTINATION ${MAPGEOM_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/mapgeomConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/mapgeomConfig.cmake ${PROJECT_BINARY_DIR}/mapgeomConfigVersion.cmake
    DESTINATION ${MAPGEOM_CMAKE_DIR})

configure_file(${PROJECT_SOURCE_DIR}/cmake/mapgeom.pc.in ${PROJECT_BINARY_DIR}/mapgeom.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/mapgeom.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
