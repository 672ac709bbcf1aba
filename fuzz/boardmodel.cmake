# Hostile strats through the board's document: the records become path points and movement
# objects, the strat's length is worked out by the dry run, and the time slider seeks. The
# document is QtCore-only; its sources are built in here because the board library needs
# widgets.
set(board_dir ${PROJECT_SOURCE_DIR}/src/board)
quorvel_fuzz(boardmodel
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_boardmodel.cpp ${board_dir}/BoardDocument.cpp ${board_dir}/BoardDocument.h
          ${board_dir}/BoardDocumentFile.cpp ${board_dir}/BoardModel.cpp ${board_dir}/PathEditor.cpp
  DEPS quorvel_playback quorvel_document quorvel_common)
quorvel_fuzz_seeds(boardmodel
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/seeds_stratfile.cpp ${PROJECT_SOURCE_DIR}/tests/document/StratSamples.cpp
  DEPS quorvel_document)
target_include_directories(seeds_boardmodel PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)
