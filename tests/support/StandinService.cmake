# The stand-in service for the Win32 tests (standin_service.py, StandinService.h). A CTest fixture starts
# it before the first test that names FIXTURES standin_service and stops it after the last one; its
# control port is in ${CMAKE_BINARY_DIR}/standin/service.txt.
if(ZORVANE_WINDOWS)
  find_program(ZORVANE_PYTHON3 NAMES python3 REQUIRED)
  target_sources(zorvane_test_support PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StandinService.cpp)
  target_link_libraries(zorvane_test_support PUBLIC ws2_32)
  set(standin_info ${CMAKE_BINARY_DIR}/standin/service.txt)
  foreach(step start stop)
    add_test(NAME standin_service_${step}
      COMMAND ${ZORVANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/standin_service.py ${step} --info ${standin_info})
  endforeach()
  set_tests_properties(standin_service_start PROPERTIES FIXTURES_SETUP standin_service TIMEOUT 30)
  set_tests_properties(standin_service_stop PROPERTIES FIXTURES_CLEANUP standin_service TIMEOUT 30)
endif()
