# The installation root a Windows user copies: bin\ with the programs, lang\ with the language files,
# and empty etc\ and log\ folders.
get_property(zorvane_programs GLOBAL PROPERTY ZORVANE_PROGRAMS)
if(zorvane_programs)
  install(TARGETS ${zorvane_programs} RUNTIME DESTINATION bin)
endif()
install(DIRECTORY ${ZORVANE_ROOT}/lang/ DESTINATION lang FILES_MATCHING PATTERN "*.xml")
install(DIRECTORY DESTINATION etc)
install(DIRECTORY DESTINATION log)
