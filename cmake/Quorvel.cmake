# quorvel_library(<folder> SOURCES ... DEPS ...): the static library quorvel_<folder>.
function(quorvel_library folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(quorvel_${folder} STATIC ${ARG_SOURCES})
  target_include_directories(quorvel_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quorvel_${folder} PUBLIC ${ARG_DEPS})
endfunction()

# quorvel_check_program(<name> <output folder> SOURCES ... DEPS ...): a test or benchmark
# executable, with the shared support headers and the staged program folder's path.
function(quorvel_check_program name folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE QUORVEL_PROGRAM_DIR="${QUORVEL_PROGRAM_DIR}")
endfunction()

# quorvel_test(<name> SOURCES ... DEPS ...): a QtTest executable registered with CTest.
function(quorvel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  quorvel_check_program(${name} tests SOURCES ${ARG_SOURCES} DEPS Qt6::Test ${ARG_DEPS})
  target_compile_definitions(${name} PRIVATE QUORVEL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
