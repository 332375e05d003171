include(CMakePackageConfigHelpers)

install(TARGETS CorvaneTools CorvaneXML EXPORT CorvaneXMLTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/CorvaneTools include/CorvaneXML
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT CorvaneXMLTargets
  NAMESPACE CorvaneXML::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/CorvaneXML)

configure_package_config_file(cmake/CorvaneXMLConfig.cmake.in
  ${PROJECT_BINARY_DIR}/CorvaneXMLConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/CorvaneXML)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CorvaneXMLConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/CorvaneXMLConfig.cmake
  ${PROJECT_BINARY_DIR}/CorvaneXMLConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/CorvaneXML)

# The pkg-config file finds the prefix relative to its own place, so the
# package works wherever `cmake --install --prefix` puts it.
file(RELATIVE_PATH PKGCONFIG_TO_PREFIX
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" PKGCONFIG_TO_PREFIX "${PKGCONFIG_TO_PREFIX}")
configure_file(cmake/corvanexml.pc.in ${PROJECT_BINARY_DIR}/corvanexml.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/corvanexml.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
