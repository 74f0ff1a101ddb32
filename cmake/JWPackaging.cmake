# Installation and packaging. Three components, each one Debian package:
#   runtime      libjwlib2      the shared library
#   development  libjwlib-dev   header, link name, CMake package, jwlib.pc
#   tools        jwlib-tools    jwpack, jwhost, jwshot, the sample directory and page templates
# Build the packages from a configured and built tree with
#   cpack --config <build>/CPackConfig.cmake -B <build>/packages
include(CMakePackageConfigHelpers)

if(TARGET jwlib)
  set(_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/JWLib)
  install(EXPORT JWLibTargets NAMESPACE JWLib:: DESTINATION ${_cmakedir} COMPONENT development)
  configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/JWLibConfig.cmake.in
    ${PROJECT_BINARY_DIR}/JWLibConfig.cmake INSTALL_DESTINATION ${_cmakedir})
  # The major version is the library's SONAME: every 2.x is compatible with a request for 2.y, y <= x.
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/JWLibConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/JWLibConfig.cmake ${PROJECT_BINARY_DIR}/JWLibConfigVersion.cmake
    DESTINATION ${_cmakedir} COMPONENT development)

  file(RELATIVE_PATH JW_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
  string(REGEX REPLACE "/$" "" JW_PC_TO_PREFIX "${JW_PC_TO_PREFIX}")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/jwlib.pc.in ${PROJECT_BINARY_DIR}/jwlib.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/jwlib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT development)
endif()

set(CPACK_PACKAGE_NAME jwlib)
set(CPACK_PACKAGE_VENDOR "JWLIB")
set(CPACK_PACKAGE_CONTACT "JWLIB maintainers <jwlib@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime development tools)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Inter-package dependencies come from the components' DEPENDS, with the exact version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Each component's description below: its first line is the package's synopsis.

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libjwlib${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The dynamic linker's cache learns of the library when the package is installed.
file(WRITE ${PROJECT_BINARY_DIR}/deb-runtime/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/deb-runtime/triggers)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "business-directory entries for host programs (shared library)
libjwlib presents the entries of a business directory to a host program:
navigation buttons, HTML pages built from text templates, a viewer window,
thumbnails and JPEG pictures, read from three binary data files.

This package contains the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libjwlib-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "business-directory entries for host programs (development files)
libjwlib presents the entries of a business directory to a host program.

This package contains the C header, the link name, the CMake package
(find_package(JWLib), target JWLib::jwlib) and the pkg-config file jwlib.pc.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME jwlib-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
# jwhost loads the library at run time, which shlibdeps cannot see.
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
  "business-directory entries: packer, demo host and sample directory
jwpack turns a JSON description of entries into the three data files and
back; jwhost shows the library's buttons, pages and pictures on the command
line and serves them as a local web site; jwshot draws the viewer window
into a PNG file. Includes a sample directory with page templates.")

include(CPack)
