# What `cmake --install` puts under the prefix: the public header, the shared
# library with its SONAME links, a CMake package (find_package(Loopweave)
# gives Loopweave::loopweave) and loopweave.pc for pkg-config.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LOOPWEAVE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Loopweave)

# A library built with the sanitizers needs their runtime loaded before
# anything else in the process: a host linked without -fsanitize stops at
# start-up ("ASan runtime does not come first"). So the installed package of
# such a build asks its hosts to link with the same option; a normal build
# asks for nothing.
if(LOOPWEAVE_SANITIZE)
  set(LOOPWEAVE_HOST_LINK_OPTIONS -fsanitize=address,undefined)
  set_property(TARGET loopweave APPEND PROPERTY
    INTERFACE_LINK_OPTIONS $<INSTALL_INTERFACE:${LOOPWEAVE_HOST_LINK_OPTIONS}>)
endif()

install(TARGETS loopweave EXPORT LoopweaveTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/loopweave.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(EXPORT LoopweaveTargets NAMESPACE Loopweave:: DESTINATION ${LOOPWEAVE_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LoopweaveConfig.cmake.in
  ${PROJECT_BINARY_DIR}/LoopweaveConfig.cmake INSTALL_DESTINATION ${LOOPWEAVE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LoopweaveConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LoopweaveConfig.cmake ${PROJECT_BINARY_DIR}/LoopweaveConfigVersion.cmake
  DESTINATION ${LOOPWEAVE_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so that it stays right
# when `cmake --install --prefix` moves the installation.
file(RELATIVE_PATH LOOPWEAVE_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
list(JOIN LOOPWEAVE_HOST_LINK_OPTIONS " " LOOPWEAVE_PC_EXTRA_LIBS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/loopweave.pc.in ${PROJECT_BINARY_DIR}/loopweave.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/loopweave.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
