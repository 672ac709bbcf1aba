# The GIF engine, seeded with GIFs from our encoder and the small files ImageMagick and
# gifsicle made (tests/data/fuzz/gif).
quorvel_fuzz(gif SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_gif.cpp DEPS quorvel_gif)
quorvel_fuzz_seeds(gif
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/seeds_gif.cpp ${PROJECT_SOURCE_DIR}/tests/gif/GifSamples.cpp
  DEPS quorvel_gif)
target_include_directories(seeds_gif PRIVATE ${PROJECT_SOURCE_DIR}/tests/gif)
