quorvel_fuzz(stratfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_stratfile.cpp DEPS quorvel_document)
quorvel_fuzz_seeds(stratfile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/seeds_stratfile.cpp ${PROJECT_SOURCE_DIR}/tests/document/StratSamples.cpp
  DEPS quorvel_document)
target_include_directories(seeds_stratfile PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)
