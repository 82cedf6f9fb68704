# What the reference host installs: zvnhost with zvnhost-local, the two local
# services, the program list tool, the host's own libraries in a folder of
# its own (they are no interface for anyone else), its help pages and sample
# content, and what a desktop expects (entry, icons, AppStream data, manuals).
set(zvn_host_libdir ${CMAKE_INSTALL_LIBDIR}/zvnhost)
set(zvn_host_id org.zvnd06.zvnhost)
set(zvn_host_libs zvnhostlib zvncloudservice zvncontentssite)
set(zvn_host_programs zvnhost zentocloud-service contents-site zvnprg)

# the programs find the host's libraries, and outside /usr the module's too, from their own folder
file(RELATIVE_PATH zvn_bin_to_private /${CMAKE_INSTALL_BINDIR} /${zvn_host_libdir})
file(RELATIVE_PATH zvn_bin_to_libdir /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set(zvn_program_rpath "$ORIGIN/${zvn_bin_to_private}")
set(zvn_private_rpath "")
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  list(APPEND zvn_program_rpath "$ORIGIN/${zvn_bin_to_libdir}")
  set(zvn_private_rpath "$ORIGIN/..")
endif()
set_target_properties(${zvn_host_programs} PROPERTIES INSTALL_RPATH "${zvn_program_rpath}")
set_target_properties(${zvn_host_libs} PROPERTIES INSTALL_RPATH "${zvn_private_rpath}")

install(TARGETS ${zvn_host_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT host)
install(TARGETS ${zvn_host_libs} LIBRARY DESTINATION ${zvn_host_libdir} COMPONENT host NAMELINK_SKIP)
install(PROGRAMS host/zvnhost-local DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT host)
install(FILES ${ZVN_HELP_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/zvnhost/help COMPONENT host)
install(DIRECTORY ${ZVN_CONTENTS_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zvnhost/contents COMPONENT host)

install(FILES packaging/${zvn_host_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT host)
configure_file(packaging/${zvn_host_id}.metainfo.xml ${CMAKE_BINARY_DIR}/package/${zvn_host_id}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/${zvn_host_id}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT host)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${ZVN_HOST_ICONS}/${size}x${size}/apps/zvnhost.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${zvn_host_id}.png COMPONENT host)
endforeach()

# the manuals, compressed as the system keeps them (no name or time stamp in the archive)
set(zvn_manuals)
foreach(page zvnhost zvnhost-local zvnprg zentocloud-service contents-site)
  configure_file(packaging/man/${page}.1 ${CMAKE_BINARY_DIR}/package/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/man/${page}.1.gz
    COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/package/man/${page}.1
    DEPENDS ${CMAKE_BINARY_DIR}/package/man/${page}.1 VERBATIM)
  list(APPEND zvn_manuals ${CMAKE_BINARY_DIR}/package/man/${page}.1.gz)
endforeach()
add_custom_target(zvnmanuals ALL DEPENDS ${zvn_manuals})
install(FILES ${zvn_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT host)
