# dsp_folder_library(<target> [DEPS <libs>...])
# Builds the .cpp/.h/.ui/.qrc files of the current folder into a static library
# (an interface library while the folder holds no sources yet).
function(dsp_folder_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# dsp_folder_tests(LIBS <libs>...)
# Every tst_*.cpp of the current folder becomes one Qt Test executable and one
# ctest case. Files named tst_net_*.cpp run inside a private network namespace
# (tests/netns/run-in-netns.sh), so they never reach the machine's real network;
# NETNS names further tests of the folder that run there too (a test whose
# network cases are a part of it).
# Every *.cpp of the folder that is not a tst_ file is a shared test helper
# compiled into each test of the folder.
# UNIT names the folder's unit tests (ALL: every one): they get the ctest label
# "unit" and are built by the target unit_tests, for a quick run of them alone
# (`ctest -L unit`).
function(dsp_folder_tests)
  cmake_parse_arguments(ARG "" "PREFIX" "LIBS;UNIT;NETNS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER helpers EXCLUDE REGEX "/tst_[^/]*\\.cpp$")
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    if(ARG_PREFIX)
      set(name ${ARG_PREFIX}_${name})
    endif()
    add_executable(${name} ${src} ${helpers})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt5::Test)
    target_compile_definitions(${name} PRIVATE DSP_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
    if(name MATCHES "tst_net_" OR name IN_LIST ARG_NETNS)
      add_test(NAME ${name} COMMAND ${DSP_NETNS_RUNNER} $<TARGET_FILE:${name}>)
    else()
      add_test(NAME ${name} COMMAND ${name})
    endif()
    set(env "QT_QPA_PLATFORM=offscreen")
    if(DSP_SANITIZE)
      list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp")
    endif()
    # The sanitizers make the longest cases (the program page's files and
    # operations against the stand-in) take several times as long on a busy
    # machine: their bound is wider there.
    if(DSP_SANITIZE)
      set(timeout 900)
    else()
      set(timeout 300)
    endif()
    # Qt Test's own watchdog ends a test function, all its data rows
    # together, after five minutes: a long table on a starved machine would
    # pass that well within the bound above. The watchdog is set a minute
    # past the bound, so that ctest's bound is the one that applies.
    math(EXPR watchdog "(${timeout} + 60) * 1000")
    list(APPEND env "QTEST_FUNCTION_TIMEOUT=${watchdog}")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${timeout})
    if("ALL" IN_LIST ARG_UNIT OR name IN_LIST ARG_UNIT)
      set_tests_properties(${name} PROPERTIES LABELS unit)
      add_dependencies(unit_tests ${name})
    endif()
  endforeach()
endfunction()

# Tests that run the X11 platform on an X server of their own (Xvfb). The
# platform plugin and the session bus library keep memory to the end that the
# leak checker cannot attribute (a plugin is unloaded before it reports), so
# under the sanitizers these tests, and the programs they start, are checked
# for memory errors and undefined behaviour but not for leaks.
# When no X server starts, such a test exits with 77 (XvfbServer::unavailable):
# ctest reports it skipped, not passed; with CI set it fails instead.
function(dsp_xserver_tests)
  foreach(name ${ARGN})
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    if(DSP_SANITIZE)
      set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
    endif()
  endforeach()
endfunction()
