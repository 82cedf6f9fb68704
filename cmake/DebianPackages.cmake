# Debian packages, one per component (scripts/package builds them):
#   libzvnd06-1    the module and its support libraries (runtime)
#   libzvnd06-dev  headers, the libraries' development links, the CMake package
#   zvnhost        the reference host, the local services, zvnprg
#   libzvnd06-doc  the API reference (HTML, Qt Help), where the package preset builds it
set(zvn_deb_release 1)
set(ZVN_DEB_VERSION ${PROJECT_VERSION}-${zvn_deb_release})
set(zvn_deb_packages runtime libzvnd06-${PROJECT_VERSION_MAJOR} development libzvnd06-dev host zvnhost)
if(ZVN_BUILD_APIDOC)
  list(APPEND zvn_deb_packages documentation libzvnd06-doc)
endif()

# each package's copyright and changelog, in its documentation folder
configure_file(packaging/changelog ${CMAKE_BINARY_DIR}/package/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.Debian.gz
  COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/package/changelog.Debian
  DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.Debian VERBATIM)
add_custom_target(zvnchangelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.Debian.gz)
set(zvn_pairs ${zvn_deb_packages})
while(zvn_pairs)
  list(POP_FRONT zvn_pairs component package)
  install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/package/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  string(TOUPPER ${component} c)
  set(CPACK_DEBIAN_${c}_PACKAGE_NAME ${package})
endwhile()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zvnd06)
set(CPACK_PACKAGE_VENDOR "The zvnd06 developers")
set(CPACK_PACKAGE_CONTACT "The zvnd06 developers <zvnd06-developers@lists.zvnd06.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${zvn_deb_release})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development host)
if(ZVN_BUILD_APIDOC)
  list(APPEND CPACK_COMPONENTS_ALL documentation)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# the loader's cache is brought up to date through dpkg's trigger, once per run of dpkg
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION science)
# the project's own libraries are in no other package yet: dpkg-shlibdeps finds
# them in the build tree, and the packages name each other in their Depends
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(zvn_exact "(= ${ZVN_DEB_VERSION})")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
  "libzvnd06-${PROJECT_VERSION_MAJOR} ${zvn_exact}, qt6-base-dev (>= 6.4), qt6-webengine-dev (>= 6.4)")
# the dialogs' Japanese text needs a Japanese font, and Qt's own buttons their translations
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_HOST_PACKAGE_DEPENDS "libzvnd06-${PROJECT_VERSION_MAJOR} ${zvn_exact}")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "dialog module of a Japanese desktop planetarium\nThe module's dialogs: choosing a planetarium program, the online content\nlibrary with download and installation, signing in to the ZentoCloud\nsharing service, sharing the current star chart, and favourites. Hosts load\nit as a Qt 6 shared library. This package holds the module and the\nsupport libraries it is built on.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "dialog module of a Japanese desktop planetarium (development files)\nThe headers a host includes to make and show the module's dialogs, the\nlibraries' development links and a CMake package:\n find_package(zvnd06 REQUIRED)\n target_link_libraries(app PRIVATE zvn::zvnd06)")
set(CPACK_COMPONENT_HOST_DESCRIPTION
  "reference host of the zvnd06 planetarium dialog module\nzvnhost draws star charts with a simulated planetarium core and offers\nevery feature of the module. zvnhost-local runs it with local stand-ins for\nthe ZentoCloud service and the content library site on 127.0.0.1. Also\nzvnprg, a tool for the program lists.")
set(CPACK_DEBIAN_DOCUMENTATION_PACKAGE_SECTION doc)
set(CPACK_DEBIAN_DOCUMENTATION_PACKAGE_ARCHITECTURE all)
set(CPACK_COMPONENT_DOCUMENTATION_DESCRIPTION
  "dialog module of a Japanese desktop planetarium (API reference)\nThe reference of the headers a host includes to make and show the module's\ndialogs, as HTML in /usr/share/doc/libzvnd06-doc/html and as a Qt Help file\nfor Qt Assistant and Qt Creator (zvnd06.qch).")
include(CPack)
