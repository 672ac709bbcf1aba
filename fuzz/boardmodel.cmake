# Hostile strats through the board's model: the records become movement objects, the strat's
# length is worked out by the dry run, and the time slider seeks. The model is QtCore-only;
# its source is built in here because the board library needs widgets.
quorvel_fuzz(boardmodel
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_boardmodel.cpp ${PROJECT_SOURCE_DIR}/src/board/BoardModel.cpp
  DEPS quorvel_playback quorvel_document)
quorvel_fuzz_seeds(boardmodel
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/seeds_stratfile.cpp ${PROJECT_SOURCE_DIR}/tests/document/StratSamples.cpp
  DEPS quorvel_document)
target_include_directories(seeds_boardmodel PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)
