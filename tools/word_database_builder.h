#pragma once
// Makes the default word database from the WordNet 3.0 data files (data.noun, data.verb,
// data.adj, data.adv and their index.* files).
//
// The database holds one record per word and sense:
//   thewords(id INTEGER PRIMARY KEY, word TEXT, type TEXT, definition TEXT)
// word is the lemma as the data file spells it (letter case kept, "_" as a blank, the
// adjective position markers "(p)", "(a)", "(ip)" dropped); type is noun, verb,
// adjective (satellites included) or adverb; definition is the gloss with its examples.
// Ids run 1, 2, ... in the order word COLLATE NOCASE, word, part of speech (noun, verb,
// adjective, adverb), sense number as the index files list the senses, so that a
// pattern search, which has no ORDER BY, gets each word's senses consecutively.
// An index on word COLLATE NOCASE lets the engine's LIKE use it; the table licence(text)
// carries WordNet's licence, which asks to travel with every copy of the data.
#include <string>

struct WordDatabaseStats {
    long long records = 0;
    long long distinctWords = 0;   // distinct spellings, letter case counted
    long long unlistedSenses = 0;  // records whose synset the word's index line lacks
};

// Builds the database at outputPath. It is written to a temporary file beside outputPath
// and renamed into place only when complete, so a failed run leaves no partial database
// (and leaves an existing file at outputPath as it was). Returns false with a message in
// *error on failure.
bool BuildWordDatabase(const std::string& wordnetDir, const std::string& outputPath,
                       WordDatabaseStats* stats, std::string* error);
