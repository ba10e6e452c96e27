# Configures the tree beside this file once for each case: the clean tree
# must configure, and each fault must stop the configuration with its
# message. Run by ctest:
#   cmake -DWORK=DIR -DSTELMAP_CMAKE_DIR=cmake -DGENERATOR=Ninja -P check.cmake
set(cases
  "clean=>"
  "neighbour=>low_core \\(low/, floor 1\\) links side_core \\(side/, floor 1\\)"
  "upward=>low_core \\(low/, floor 1\\) links high_core \\(high/, floor 2\\)"
  "foreign_file=>low_core \\(low/\\) compiles side/side.cpp, a file of side/"
  "test_support=>low_core \\(low/\\) links test support support_main"
  "unnamed=>low_extra is a library of low/ that floors.txt does not name"
  "missing=>floors.txt names side_core in side/, but no such library is built"
  "plain_links_qt=>low_core is plain C\\+\\+ in floors.txt but links Qt: low_core -> Qt6::Core"
  "qt_through_a_link=>high_core is plain C\\+\\+ in floors.txt but links Qt: high_core -> low_qt -> Qt6::Core")

get_filename_component(fixture ${CMAKE_CURRENT_LIST_FILE} DIRECTORY)
set(failed 0)
foreach(entry IN LISTS cases)
  string(REGEX MATCH "^([a-z_]+)=>(.*)$" _ "${entry}")
  set(name ${CMAKE_MATCH_1})
  set(expected "${CMAKE_MATCH_2}")
  file(REMOVE_RECURSE ${WORK}/${name})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${fixture} -B ${WORK}/${name} -G ${GENERATOR}
      -DCASE=${name} -DSTELMAP_CMAKE_DIR=${STELMAP_CMAKE_DIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expected STREQUAL "")
    if(NOT rc EQUAL 0)
      message(SEND_ERROR "${name}: the clean tree did not configure:\n${out}")
      set(failed 1)
    endif()
  elseif(rc EQUAL 0 OR NOT out MATCHES "${expected}")
    message(SEND_ERROR "${name}: expected a stop naming \"${expected}\", got exit ${rc}:\n${out}")
    set(failed 1)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "the layer check missed a fault or refused a clean tree")
endif()
