# The installation root a Windows user copies: bin\ with the programs, lang\ with the language files,
# and empty etc\ and log\ folders. The installed programs are stripped of their debug information (about
# 0.4 MB each instead of 5 to 7); the build folder's own programs keep it for the tests and the debugger.
get_property(zorvane_programs GLOBAL PROPERTY ZORVANE_PROGRAMS)
if(zorvane_programs)
  install(TARGETS ${zorvane_programs} RUNTIME DESTINATION bin)
  if(NOT CMAKE_STRIP)
    message(FATAL_ERROR "no strip program: the installed programs would carry their debug information")
  endif()
  foreach(program IN LISTS zorvane_programs)
    install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/$<TARGET_FILE_NAME:${program}>\" COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
endif()
install(DIRECTORY ${ZORVANE_ROOT}/lang/ DESTINATION lang FILES_MATCHING PATTERN "*.xml")
install(DIRECTORY DESTINATION etc)
install(DIRECTORY DESTINATION log)
