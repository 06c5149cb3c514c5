// build_word_database --wordnet DIR --output FILE
// Makes the default word database from a WordNet 3.0 dictionary folder.
#include "word_database_builder.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage(const char* program, int status)
{
    std::fprintf(status ? stderr : stdout, "usage: %s --wordnet DIR --output FILE\n", program);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::string wordnetDir;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return Usage(argv[0], 0);
        if (i + 1 < argc && std::strcmp(argv[i], "--wordnet") == 0)
            wordnetDir = argv[++i];
        else if (i + 1 < argc && std::strcmp(argv[i], "--output") == 0)
            output = argv[++i];
        else
            return Usage(argv[0], 2);
    }
    if (wordnetDir.empty() || output.empty())
        return Usage(argv[0], 2);

    const auto start = std::chrono::steady_clock::now();
    WordDatabaseStats stats;
    std::string error;
    if (!BuildWordDatabase(wordnetDir, output, &stats, &error)) {
        std::fprintf(stderr, "build_word_database: %s\n", error.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %lld records, %lld words, %.2f s\n", output.c_str(), stats.records,
                stats.distinctWords, seconds);
    if (stats.unlistedSenses > 0)
        std::fprintf(stderr, "build_word_database: warning: %lld senses missing from the index files\n",
                     stats.unlistedSenses);
    return 0;
}
