# The language pack reader, seeded with packs from the writer.
quorvel_fuzz(langpack SOURCES langpack.cpp DEPS quorvel_language)
quorvel_fuzz_seeds(langpack SOURCES langpack_seeds.cpp DEPS quorvel_language)
