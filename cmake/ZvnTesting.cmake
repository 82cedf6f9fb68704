# zvn_add_test(NAME [MOUNTS] SOURCES ... LIBS ...)
# One test program per subsystem; every one runs offscreen, so no test needs a display.
# MOUNTS: the program mounts file systems of its own, so it runs in a mount namespace,
# as root or as root of a user namespace (tests/support/in-mount-namespace).
# A test that skips shows as skipped, never as passed.
function(zvn_add_test name)
  cmake_parse_arguments(ARG "MOUNTS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE zvn::testsupport ${ARG_LIBS})
  if(ARG_MOUNTS)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/in-mount-namespace $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
    TIMEOUT 300)
endfunction()
