# The package a host builds against: `cmake --install build --prefix DIR` puts
# libzvnd06.so, the support libraries it needs at link and run time, the
# headers a host includes to make and show the module's dialogs, and a CMake
# package, so that a host writes
#   find_package(zvnd06 REQUIRED)
#   target_link_libraries(app PRIVATE zvn::zvnd06)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(zvn_installed zvnd06 zvncorznt zvnplatform zvnreg zvndcm zvncom zvncst)
# exported under the names the tree uses: zvn::zvnd06, zvn::platform, zvn::reg, ...
set_target_properties(zvncorznt PROPERTIES EXPORT_NAME corznt)
set_target_properties(zvnplatform PROPERTIES EXPORT_NAME platform)
set_target_properties(zvnreg PROPERTIES EXPORT_NAME reg)
set_target_properties(zvndcm PROPERTIES EXPORT_NAME dcm)
set_target_properties(zvncom PROPERTIES EXPORT_NAME com)
set_target_properties(zvncst PROPERTIES EXPORT_NAME cst)

# Headers keep their folders ("frame/CorZnt.h", "support/zvncst/ZntDialog.h"), as the
# sources include them; these are the host's surface and everything it includes.
target_sources(zvncorznt INTERFACE FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES
  ${PROJECT_SOURCE_DIR}/frame/CorZnt.h)
target_sources(zvnd06 PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES
  ${PROJECT_SOURCE_DIR}/frame/Zvnd06Export.h
  ${PROJECT_SOURCE_DIR}/frame/Module.h
  ${PROJECT_SOURCE_DIR}/frame/ModuleMessages.h
  ${PROJECT_SOURCE_DIR}/frame/CheckListItem.h
  ${PROJECT_SOURCE_DIR}/program/ProgItem.h
  ${PROJECT_SOURCE_DIR}/program/PrgSection.h
  ${PROJECT_SOURCE_DIR}/program/DlgProgram.h
  ${PROJECT_SOURCE_DIR}/cloud/ServiceAnswer.h
  ${PROJECT_SOURCE_DIR}/cloud/DlgCloudLogin.h
  ${PROJECT_SOURCE_DIR}/cloud/DlgCloudUpload.h
  ${PROJECT_SOURCE_DIR}/library/DlgContentsLibrary.h
  ${PROJECT_SOURCE_DIR}/library/DlgContentsLibraryDownload.h
  ${PROJECT_SOURCE_DIR}/library/ContentsInfo.h
  ${PROJECT_SOURCE_DIR}/library/ContentsLibraryBrowser.h
  ${PROJECT_SOURCE_DIR}/favorites/DlgAddFavorites.h
  ${PROJECT_SOURCE_DIR}/favorites/DlgFavorites.h)
target_sources(zvnplatform PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES
  ${PROJECT_SOURCE_DIR}/platform/HostWindows.h
  ${PROJECT_SOURCE_DIR}/platform/WindowMessage.h
  ${PROJECT_SOURCE_DIR}/platform/DialogTemplate.h
  ${PROJECT_SOURCE_DIR}/platform/Internet.h)
target_sources(zvnreg PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES
  ${PROJECT_SOURCE_DIR}/support/zvnreg/Registry.h)
target_sources(zvncst PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES
  ${PROJECT_SOURCE_DIR}/support/zvncst/DataExchange.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/DialogUnits.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntControl.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntDialogBase.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntDialog.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntListBox.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntButton.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntEdit.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntGroupBox.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntCheckBox.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntProgressCtrl.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntRichEditCtrl.h
  ${PROJECT_SOURCE_DIR}/support/zvncst/ZntTreeCtrlEx.h)

# Every library a host links carries a versioned soname: a change that breaks
# the ABI moves the major version, and with it the soname and the package name.
set(zvn_shared zvnd06 zvnplatform zvnreg zvndcm zvncom zvncst)
set_target_properties(${zvn_shared} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
# In the system's library folder the loader finds them; anywhere else each one
# finds its neighbours in its own folder.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set_target_properties(${zvn_shared} PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

install(TARGETS ${zvn_installed} EXPORT zvnd06Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zvnd06 COMPONENT development)
install(EXPORT zvnd06Targets NAMESPACE zvn:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zvnd06
  COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zvnd06Config.cmake.in
  ${CMAKE_BINARY_DIR}/package/zvnd06Config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zvnd06)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/zvnd06ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
# the same for hosts built with make or Meson: pkg-config's zvnd06, relocatable with its prefix
file(RELATIVE_PATH zvn_pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" zvn_pc_to_prefix "${zvn_pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zvnd06.pc.in ${CMAKE_BINARY_DIR}/package/zvnd06.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/zvnd06.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
install(FILES ${CMAKE_BINARY_DIR}/package/zvnd06Config.cmake ${CMAKE_BINARY_DIR}/package/zvnd06ConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zvnd06 COMPONENT development)

# The API reference of the installed headers (scripts/apidoc: doxygen, failing on any of its
# warnings), built where the Debian packages are made and installed by libzvnd06-doc
option(ZVN_BUILD_APIDOC "Build the API reference of the installed headers (doxygen)" OFF)
if(ZVN_BUILD_APIDOC)
  set(zvn_documented)
  foreach(target zvnd06 zvncorznt zvnplatform zvnreg zvncst)
    get_target_property(files ${target} HEADER_SET)
    list(APPEND zvn_documented ${files})
  endforeach()
  set(zvn_apidoc ${CMAKE_BINARY_DIR}/apidoc)
  add_custom_command(OUTPUT ${zvn_apidoc}/zvnd06.qch
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/apidoc ${zvn_apidoc}
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/apidoc ${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${zvn_documented} VERBATIM)
  add_custom_target(zvnapidoc ALL DEPENDS ${zvn_apidoc}/zvnd06.qch)
  install(DIRECTORY ${zvn_apidoc}/html/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libzvnd06-doc/html COMPONENT documentation)
  install(FILES ${zvn_apidoc}/zvnd06.qch DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libzvnd06-doc COMPONENT documentation)
endif()

include(cmake/HostPackage.cmake)
include(cmake/DebianPackages.cmake)
