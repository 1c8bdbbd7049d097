# Target helpers shared by every folder of the tree.
#
# Two builds come from one tree: the Windows build (MinGW-w64, everything) and the native build (the portable
# core only, under AddressSanitizer and UndefinedBehaviorSanitizer). A third configuration, ZORVANE_FUZZ, builds
# the portable core and the fuzz targets with clang and libFuzzer; a fourth, the native build with
# ZORVANE_SANITIZE off, the benchmarks as the programs are built: optimised, without sanitizers.

set(ZORVANE_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

# System libraries that a program may load only when it first calls into one (zorvane_program DELAY_LOAD)
# instead of at its start: under Wine user32 (with gdi32, advapi32 and more behind it) and shell32 each add
# 10 to 20 ms to every start, which a worker that never shows a window need not pay. Each gets a delay-import
# library made from the toolchain's own import library, as the imported target zv_delay_<name>.
set(ZORVANE_DELAY_LOADABLE user32 shell32 ole32 iphlpapi)
if(ZORVANE_WINDOWS)
  foreach(lib IN LISTS ZORVANE_DELAY_LOADABLE)
    set(delay_lib ${CMAKE_BINARY_DIR}/delayload/lib${lib}_delay.a)
    if(NOT EXISTS ${delay_lib})
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${lib}.a
        OUTPUT_VARIABLE import_lib OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
      execute_process(COMMAND ${CMAKE_NM} ${import_lib} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      string(REGEX MATCHALL "[\r\n][0-9a-fA-F ]* I __imp_[A-Za-z0-9_@?$]+" imports "\n${symbols}")
      set(def "LIBRARY ${lib}.dll\nEXPORTS\n")
      foreach(entry IN LISTS imports)
        string(REGEX REPLACE ".*__imp_" "" entry "${entry}")
        string(APPEND def "${entry}\n")
      endforeach()
      file(WRITE ${CMAKE_BINARY_DIR}/delayload/${lib}.def "${def}")
      execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${CMAKE_BINARY_DIR}/delayload/${lib}.def
        --output-delaylib ${delay_lib} COMMAND_ERROR_IS_FATAL ANY)
    endif()
    add_library(zv_delay_${lib} STATIC IMPORTED GLOBAL)
    set_target_properties(zv_delay_${lib} PROPERTIES IMPORTED_LOCATION ${delay_lib})
  endforeach()
endif()

# The WIN32_LIBS of a library as its users link them: a delay-loadable one as its delay-import library for a
# program that delay-loads it (the program's ZORVANE_DELAY_LOAD names it), else as itself.
function(zorvane_win32_libs out)
  set(libs)
  foreach(lib IN LISTS ARGN)
    if(lib IN_LIST ZORVANE_DELAY_LOADABLE)
      list(APPEND libs "$<IF:$<IN_LIST:${lib},$<TARGET_PROPERTY:ZORVANE_DELAY_LOAD>>,zv_delay_${lib},${lib}>")
    else()
      list(APPEND libs ${lib})
    endif()
  endforeach()
  set(${out} ${libs} PARENT_SCOPE)
endfunction()

# Adds every listed folder (or, with no list, every subfolder) that has a CMakeLists.txt.
function(zorvane_add_subdirs)
  set(dirs ${ARGN})
  if(NOT dirs)
    file(GLOB entries RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT entries)
    set(dirs ${entries})
  endif()
  foreach(dir IN LISTS dirs)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

add_library(zorvane_options INTERFACE)
target_include_directories(zorvane_options INTERFACE ${ZORVANE_ROOT})
target_compile_options(zorvane_options INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(zorvane_options INTERFACE
  ZORVANE_SERVICE_HOST=L"${ZORVANE_SERVICE_HOST}")
if(ZORVANE_WINDOWS)
  target_compile_definitions(zorvane_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_options(zorvane_options INTERFACE -static -static-libgcc -static-libstdc++)
elseif(ZORVANE_FUZZ)
  target_compile_options(zorvane_options INTERFACE -g -O1 -fno-omit-frame-pointer
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  target_link_options(zorvane_options INTERFACE -fsanitize=address,undefined)
elseif(ZORVANE_SANITIZE)
  target_compile_options(zorvane_options INTERFACE -g -fno-omit-frame-pointer
    -fsanitize=address,undefined -fno-sanitize-recover=all)
  target_link_options(zorvane_options INTERFACE -fsanitize=address,undefined)
endif()

# What every library and program is made of and links, for the include-graph check
# (tests/architecture): the folder, every source of any platform, explicit headers, and the suite's own
# libraries it links directly.
function(zorvane_record_unit name kind)
  cmake_parse_arguments(ZR "" "" "SOURCES;HEADERS;DEPS" ${ARGN})
  set(sources)
  foreach(source IN LISTS ZR_SOURCES ZR_HEADERS)
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND sources ${path})
  endforeach()
  set(deps)
  foreach(dep IN LISTS ZR_DEPS)
    if(dep MATCHES "^zv_")
      list(APPEND deps ${dep})
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY ZORVANE_UNITS ${name})
  set_property(GLOBAL PROPERTY ZORVANE_UNIT_${name}
    "${kind}|${CMAKE_CURRENT_SOURCE_DIR}|${sources}|${deps}")
endfunction()

# Writes the recorded units to <build>/architecture.txt, one line each: name|kind|folder|sources|deps,
# lists separated by ';'.
function(zorvane_write_architecture)
  get_property(units GLOBAL PROPERTY ZORVANE_UNITS)
  set(text "")
  foreach(unit IN LISTS units)
    get_property(record GLOBAL PROPERTY ZORVANE_UNIT_${unit})
    string(APPEND text "${unit}|${record}\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/architecture.txt "${text}")
endfunction()

# zorvane_library(name [PORTABLE] [INTERFACE] SOURCES ... [WIN32_SOURCES ...] [POSIX_SOURCES ...] [HEADERS ...]
#                 [DEPS ...] [WIN32_LIBS ...])
# A PORTABLE library is part of the core and builds natively too; any other library only in the Windows build.
# An INTERFACE library is headers only. HEADERS names headers that match no source file by name.
function(zorvane_library name)
  cmake_parse_arguments(ZL "PORTABLE;INTERFACE" "" "SOURCES;WIN32_SOURCES;POSIX_SOURCES;HEADERS;DEPS;WIN32_LIBS"
    ${ARGN})
  zorvane_record_unit(${name} library SOURCES ${ZL_SOURCES} ${ZL_WIN32_SOURCES} ${ZL_POSIX_SOURCES}
    HEADERS ${ZL_HEADERS} DEPS ${ZL_DEPS})
  if(NOT ZORVANE_WINDOWS AND NOT ZL_PORTABLE)
    return()
  endif()
  if(ZL_INTERFACE)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE zorvane_options ${ZL_DEPS})
    if(ZORVANE_WINDOWS AND ZL_WIN32_LIBS)
      zorvane_win32_libs(libs ${ZL_WIN32_LIBS})
      target_link_libraries(${name} INTERFACE ${libs})
    endif()
    return()
  endif()
  set(sources ${ZL_SOURCES})
  if(ZORVANE_WINDOWS)
    list(APPEND sources ${ZL_WIN32_SOURCES})
  else()
    list(APPEND sources ${ZL_POSIX_SOURCES})
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC zorvane_options ${ZL_DEPS})
  if(ZORVANE_WINDOWS AND ZL_WIN32_LIBS)
    zorvane_win32_libs(libs ${ZL_WIN32_LIBS})
    target_link_libraries(${name} PUBLIC ${libs})
  endif()
endfunction()

# zorvane_program(name SOURCES ... [DEPS ...] [ICON file.ico] [MANIFEST file] [DELAY_LOAD lib...] [TEST]): one
# of the suite's GUI programs (Windows build only). Every program carries a manifest (common controls 6,
# asInvoker) as resource 1 and its icon as icon resource 128; both default to the framework's
# (common/framework/res). DELAY_LOAD names libraries of ZORVANE_DELAY_LOADABLE that the program loads on first
# use. A TEST program is built into tests/ and is not installed.
function(zorvane_program name)
  cmake_parse_arguments(ZP "TEST" "ICON;MANIFEST" "SOURCES;HEADERS;DEPS;DELAY_LOAD" ${ARGN})
  if(NOT ZP_TEST)
    zorvane_record_unit(${name} program SOURCES ${ZP_SOURCES} HEADERS ${ZP_HEADERS} DEPS ${ZP_DEPS})
  endif()
  set(res ${ZORVANE_ROOT}/common/framework/res)
  if(NOT ZP_ICON)
    set(ZP_ICON ${res}/zorvane.ico)
  endif()
  if(NOT ZP_MANIFEST)
    set(ZP_MANIFEST ${res}/program.manifest)
  endif()
  get_filename_component(icon ${ZP_ICON} ABSOLUTE)
  get_filename_component(manifest ${ZP_MANIFEST} ABSOLUTE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_program.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "1 24 \"${manifest}\"\n128 ICON \"${icon}\"\n" @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon};${manifest}")
  add_executable(${name} WIN32 ${ZP_SOURCES} ${rc})
  set_target_properties(${name} PROPERTIES ZORVANE_DELAY_LOAD "${ZP_DELAY_LOAD}")
  target_link_libraries(${name} PRIVATE zorvane_options ${ZP_DEPS})
  target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-municode>)
  target_link_options(${name} PRIVATE -municode)
  if(ZP_TEST)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  else()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set_property(GLOBAL APPEND PROPERTY ZORVANE_PROGRAMS ${name})
  endif()
endfunction()

# zorvane_test(name SOURCES ... [DEPS ...] [PORTABLE] [SERIAL] [GUI] [LABELS ...] [ENV ...]
#              [NAMESPACE filter ADAPTERS spec...] [NAMESPACE2 filter ADAPTERS2 spec...])
# A GoogleTest executable run as one CTest test. PORTABLE tests run in both builds; the others only in the
# Windows build, under Wine. SERIAL tests take the suite's named objects and never run beside each other.
# NAMESPACE: the tests that the gtest filter selects need real network adapters. Under Wine they run as the
# CTest test <name>_netns in a network namespace of their own that holds the ADAPTERS
# (scripts/wine-netns.sh, which also gives them their own Wine, display and stand-in service, so they
# take no lock); that test is skipped where no namespace can be made. The plain test leaves them out.
# NAMESPACE2: other tests that need other adapters, run the same way as <name>_netns2.
function(zorvane_test name)
  cmake_parse_arguments(ZT "PORTABLE;SERIAL;GUI" "TIMEOUT;NAMESPACE;NAMESPACE2"
    "SOURCES;DEPS;LABELS;ENV;FIXTURES;ADAPTERS;ADAPTERS2" ${ARGN})
  if(ZORVANE_FUZZ)
    return()
  endif()
  if(NOT ZORVANE_WINDOWS AND NOT ZT_PORTABLE)
    return()
  endif()
  add_executable(${name} ${ZT_SOURCES})
  target_link_libraries(${name} PRIVATE zorvane_options ${ZT_DEPS} zorvane_gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ZT_NAMESPACE AND ZT_NAMESPACE2)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no --gtest_filter=-${ZT_NAMESPACE}:${ZT_NAMESPACE2})
  elseif(ZT_NAMESPACE)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no --gtest_filter=-${ZT_NAMESPACE})
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  endif()
  set(timeout 120)
  if(ZT_TIMEOUT)
    set(timeout ${ZT_TIMEOUT})
  endif()
  set(env ZORVANE_TEST_SOURCE=${ZORVANE_ROOT} ZORVANE_TEST_BINARY=${CMAKE_BINARY_DIR} ${ZT_ENV})
  if(CMAKE_CROSSCOMPILING)
    foreach(run IN ITEMS "" 2)
      if(NOT ZT_NAMESPACE${run})
        continue()
      endif()
      set(adapters)
      foreach(spec IN LISTS ZT_ADAPTERS${run})
        list(APPEND adapters --adapter ${spec})
      endforeach()
      add_test(NAME ${name}_netns${run} COMMAND bash ${ZORVANE_ROOT}/scripts/wine-netns.sh ${adapters}
        -- $<TARGET_FILE:${name}> --gtest_color=no --gtest_filter=${ZT_NAMESPACE${run}})
      set_tests_properties(${name}_netns${run} PROPERTIES TIMEOUT ${timeout} LABELS "${ZT_LABELS}"
        SKIP_RETURN_CODE 77 ENVIRONMENT "${env}")
    endforeach()
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} LABELS "${ZT_LABELS}")
  set(locks)
  if(ZT_SERIAL)
    list(APPEND locks zorvane_named_objects)
  endif()
  if(ZT_GUI)
    list(APPEND locks zorvane_desktop)
  endif()
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
  if(ZT_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${ZT_FIXTURES}")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
endfunction()

# zorvane_fuzzer(name SOURCES ... [DEPS ...]): a libFuzzer target (fuzz configuration only).
function(zorvane_fuzzer name)
  cmake_parse_arguments(ZF "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ZORVANE_FUZZ)
    return()
  endif()
  add_executable(${name} ${ZF_SOURCES})
  target_link_libraries(${name} PRIVATE zorvane_options ${ZF_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
