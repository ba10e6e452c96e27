#pragma once

#include <filesystem>

// The recordings of other receivers lie beside the project, not in it. A
// checkout without them skips the tests that read them, saying where it
// looked, rather than failing for want of data.
inline bool CorpusAvailable()
{
    return std::filesystem::is_directory(STELMAP_CORPUS_DIR);
}

#define STELMAP_REQUIRE_CORPUS()                                                         \
    do {                                                                                 \
        if (!CorpusAvailable())                                                          \
            GTEST_SKIP() << "no corpus of recordings at " << STELMAP_CORPUS_DIR;         \
    } while (false)
