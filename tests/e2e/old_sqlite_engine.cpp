// Preloaded by an end-to-end test in place of the version of the SQLite library: the
// program then finds an engine too old for it, and its start-up fails.
extern "C" int sqlite3_libversion_number() { return 3007017; }
extern "C" const char* sqlite3_libversion() { return "3.7.17"; }
