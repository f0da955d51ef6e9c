# Adds every immediate sub-folder of the current source folder that has a
# CMakeLists.txt, so each subsystem owns its own build file.
function(tavisol_add_subfolders)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Seconds after which a test fails, so that one that hangs does not hold up
# the whole run; the slowest tests take some 20 s on a busy machine.
set(TAVISOL_TEST_TIMEOUT 300 CACHE STRING "Seconds before a hanging test fails")

# tavisol_add_test(NAME name SOURCES ... LIBS ... [GUI])
# One GoogleTest executable, registered with CTest test by test. GUI tests get a
# main that creates the QApplication on the offscreen platform (no display needed)
# and fails a test at once on a modal dialog the test did not answer; the others a main that sets the process locale from the environment, as the
# QApplication of the program and of the GUI tests does.
# TAVISOL_BIN_DIR names the program folder, where the program and Vantrix land.
function(tavisol_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_defaults.cpp)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(${T_NAME} PRIVATE TAVISOL_BIN_DIR="${TAVISOL_BIN_DIR}"
                                               TAVISOL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(T_GUI)
    target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gui_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tavisol_dialoggate Qt6::Widgets GTest::gmock GTest::gtest)
  else()
    target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/main.cpp)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest)
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES TIMEOUT ${TAVISOL_TEST_TIMEOUT})
endfunction()
