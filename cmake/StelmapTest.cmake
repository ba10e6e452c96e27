# stelmap_add_test(NAME <exe> SOURCES ... LIBS ... LABELS ... [GUI] [ENV ...])
# Builds one GoogleTest executable, registers its cases with CTest under the
# given labels, and adds it to the group target tests_<label> so that a
# sanitizer build can compile just the suites it runs. GUI tests get a main()
# that creates a QApplication and points the settings at a temporary folder.
if(BUILD_TESTING)
  find_package(GTest REQUIRED)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
endif()
include(GoogleTest)

set_property(GLOBAL PROPERTY STELMAP_TEST_LABELS "")

function(stelmap_add_test)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} stelmap_gui_test_main GTest::gtest)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    STELMAP_CORPUS_DIR="${STELMAP_CORPUS_DIR}"
    STELMAP_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    STELMAP_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT})
  # The PROPERTIES above flatten lists, so a second label or variable would
  # be lost; set those from a script ctest runs after the discovery.
  set(properties "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake")
  file(GENERATE OUTPUT "${properties}" CONTENT
    "if(${T_NAME}_TESTS)
  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES
    LABELS [==[${T_LABELS}]==]
    ENVIRONMENT [==[QT_QPA_PLATFORM=offscreen;${T_ENV}]==])
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${properties}")
  foreach(label IN LISTS T_LABELS)
    set_property(GLOBAL APPEND PROPERTY STELMAP_TEST_LABELS ${label})
    set_property(GLOBAL APPEND PROPERTY STELMAP_TESTS_${label} ${T_NAME})
  endforeach()
endfunction()

function(stelmap_finish_test_groups)
  get_property(labels GLOBAL PROPERTY STELMAP_TEST_LABELS)
  list(REMOVE_DUPLICATES labels)
  foreach(label IN LISTS labels)
    get_property(exes GLOBAL PROPERTY STELMAP_TESTS_${label})
    if(NOT exes)
      continue()
    endif()
    add_custom_target(tests_${label})
    add_dependencies(tests_${label} ${exes})
  endforeach()
endfunction()
