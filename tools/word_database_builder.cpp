#include "word_database_builder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

// The parts of speech in the order in which a word's records follow each other.
constexpr int kPartsOfSpeech = 4;
constexpr std::array<const char*, kPartsOfSpeech> kFileSuffix = {"noun", "verb", "adj", "adv"};
constexpr std::array<const char*, kPartsOfSpeech> kTypeName = {"noun", "verb", "adjective", "adverb"};

// A sense that the index does not list (not seen in WordNet 3.0) still gets a record,
// after the listed senses of its word.
constexpr uint32_t kUnlistedSense = UINT32_MAX;

struct Sense {
    std::string word;
    uint32_t gloss;      // index into the gloss table
    uint32_t sense;      // 1-based, as the index file orders the word's synsets
    uint32_t serial;     // order of appearance, so that the sort is fully determined
    uint8_t partOfSpeech;
};

struct BuildError {
    std::string message;
};

bool ReadFile(const std::string& path, std::string* contents)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *contents = std::move(buffer).str();
    return !in.bad();
}

std::string ReadRequiredFile(const std::string& path)
{
    std::string contents;
    if (!ReadFile(path, &contents))
        throw BuildError{"cannot read " + path};
    return contents;
}

// Calls f(line, lineNumber) for each line, without its line end.
template <class F>
void ForEachLine(std::string_view text, F f)
{
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        f(line, ++lineNumber);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

std::vector<std::string_view> SplitBlanks(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ParseNumber(std::string_view text, int base, uint32_t* value)
{
    if (text.empty() || text.size() > 8)
        return false;
    uint32_t result = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * uint32_t(base) + uint32_t(digit);
    }
    *value = result;
    return true;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The engine's NOCASE collation: ASCII letters folded to lower case, bytes compared
// unsigned, a shorter text first when one is the start of the other.
int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool IsValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra;
        if (c < 0x80)
            extra = 0;
        else if ((c >> 5) == 0x6)
            extra = 1;
        else if ((c >> 4) == 0xE)
            extra = 2;
        else if ((c >> 3) == 0x1E)
            extra = 3;
        else
            return false;
        if (i + extra >= text.size())
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += extra + 1;
    }
    return true;
}

// The database holds UTF-8. WordNet 3.0 is plain ASCII, but a data file in Latin-1 must
// not put invalid UTF-8 into it.
std::string ToUtf8(std::string_view text)
{
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The lemma as shown: an adjective's position marker dropped, "_" as a blank.
std::string_view StripAdjectiveMarker(std::string_view lemma)
{
    for (std::string_view marker : {"(p)", "(a)", "(ip)"}) {
        if (lemma.size() > marker.size() && lemma.substr(lemma.size() - marker.size()) == marker)
            return lemma.substr(0, lemma.size() - marker.size());
    }
    return lemma;
}

// index.pos: lemma, part of speech, synset count, pointer count, the pointer symbols,
// sense count, tagged sense count, then the synset offsets in sense order.
std::unordered_map<std::string, std::vector<uint32_t>> ReadIndex(const std::string& path)
{
    const std::string text = ReadRequiredFile(path);
    std::unordered_map<std::string, std::vector<uint32_t>> senses;
    ForEachLine(text, [&](std::string_view line, size_t lineNumber) {
        if (line.empty() || line.front() == ' ')   // the licence at the head of the file
            return;
        const auto fields = SplitBlanks(line);
        uint32_t synsetCount = 0;
        uint32_t pointerCount = 0;
        if (fields.size() < 4 || !ParseNumber(fields[2], 10, &synsetCount)
            || !ParseNumber(fields[3], 10, &pointerCount)
            || fields.size() != 4 + pointerCount + 2 + synsetCount)
            throw BuildError{path + ":" + std::to_string(lineNumber) + ": not an index line"};
        std::vector<uint32_t>& offsets = senses[std::string(fields[0])];
        for (size_t k = fields.size() - synsetCount; k < fields.size(); ++k) {
            uint32_t offset = 0;
            if (!ParseNumber(fields[k], 10, &offset))
                throw BuildError{path + ":" + std::to_string(lineNumber) + ": bad synset offset"};
            offsets.push_back(offset);
        }
    });
    return senses;
}

// The licence stands at the head of every data file, one line each as "  <n> <text>".
std::string LicenceFromHead(std::string_view text)
{
    std::string licence;
    bool inHead = true;
    ForEachLine(text, [&](std::string_view line, size_t lineNumber) {
        if (line.empty() || line.front() != ' ')
            inHead = false;
        if (!inHead)
            return;
        std::string_view rest = TrimBlanks(line);
        size_t digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        if (lineNumber > 1)
            licence += '\n';
        licence += TrimBlanks(rest.substr(digits));
    });
    return licence;
}

// data.pos: offset, lexicographer file, synset type, word count (hex), the words each
// with a lexical id, pointers (and verb frames), then "| " and the gloss.
void ReadData(const std::string& path, int partOfSpeech,
              const std::unordered_map<std::string, std::vector<uint32_t>>& index,
              std::vector<Sense>* senses, std::vector<std::string>* glosses, long long* unlisted)
{
    const std::string text = ReadRequiredFile(path);
    ForEachLine(text, [&](std::string_view line, size_t lineNumber) {
        if (line.empty() || line.front() == ' ')
            return;
        const auto where = [&] { return path + ":" + std::to_string(lineNumber); };
        const size_t bar = line.find('|');
        const auto fields = SplitBlanks(line.substr(0, bar));
        uint32_t offset = 0;
        uint32_t wordCount = 0;
        if (fields.size() < 4 || !ParseNumber(fields[0], 10, &offset) || fields[2].size() != 1
            || !ParseNumber(fields[3], 16, &wordCount) || fields.size() < 4 + 2 * size_t(wordCount))
            throw BuildError{where() + ": not a synset line"};
        const char synsetType = fields[2][0];
        const bool adjective = synsetType == 'a' || synsetType == 's';

        const auto glossNumber = uint32_t(glosses->size());
        glosses->push_back(bar == std::string_view::npos ? std::string()
                                                         : ToUtf8(TrimBlanks(line.substr(bar + 1))));
        for (uint32_t w = 0; w < wordCount; ++w) {
            std::string_view lemma = fields[4 + 2 * w];
            if (adjective)
                lemma = StripAdjectiveMarker(lemma);
            if (lemma.empty())
                throw BuildError{where() + ": empty word"};

            std::string key(lemma);
            std::transform(key.begin(), key.end(), key.begin(), AsciiLower);
            uint32_t sense = kUnlistedSense;
            if (const auto found = index.find(key); found != index.end()) {
                const auto& offsets = found->second;
                const auto at = std::find(offsets.begin(), offsets.end(), offset);
                if (at != offsets.end())
                    sense = uint32_t(at - offsets.begin()) + 1;
            }
            if (sense == kUnlistedSense)
                ++*unlisted;

            std::string word(lemma);
            std::replace(word.begin(), word.end(), '_', ' ');
            senses->push_back(Sense{ToUtf8(word), glossNumber, sense, uint32_t(senses->size()),
                                    uint8_t(partOfSpeech)});
        }
    });
}

std::string FindLicence(const std::string& wordnetDir, const std::string& dataNounHead)
{
    if (!dataNounHead.empty())
        return dataNounHead;
    // Without a head in the data files, the licence that came with the files.
    for (const std::string& path : {wordnetDir + "/LICENSE", wordnetDir + "/../LICENSE",
                                    std::string("/usr/share/doc/wordnet-base/copyright")}) {
        std::string text;
        if (ReadFile(path, &text) && !TrimBlanks(text).empty())
            return std::string(TrimBlanks(text));
    }
    throw BuildError{"no WordNet licence text found; it must travel with the data"};
}

// The database under construction; its temporary file is removed unless committed.
class TemporaryDatabase {
public:
    explicit TemporaryDatabase(const std::string& outputPath)
    {
        std::string pattern = outputPath + ".XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            throw BuildError{"cannot create a temporary file beside " + outputPath};
        path_ = pattern;
        // mkstemp makes the file private; the word database is for every user to read.
        fchmod(fd, 0644);
        close(fd);
        if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const std::string message = "cannot open " + path_ + ": "
                                        + (db_ ? sqlite3_errmsg(db_) : "out of memory");
            sqlite3_close(db_);
            std::remove(path_.c_str());
            throw BuildError{message};
        }
    }
    ~TemporaryDatabase()
    {
        sqlite3_close(db_);
        if (!path_.empty())
            std::remove(path_.c_str());
    }
    TemporaryDatabase(const TemporaryDatabase&) = delete;
    TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;

    sqlite3* handle() const { return db_; }

    void Exec(const char* sql)
    {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            Fail(sql);
    }

    [[noreturn]] void Fail(const std::string& what)
    {
        throw BuildError{what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory")};
    }

    void MoveTo(const std::string& outputPath)
    {
        if (sqlite3_close(db_) != SQLITE_OK)
            Fail("cannot close " + path_);
        db_ = nullptr;
        if (std::rename(path_.c_str(), outputPath.c_str()) != 0)
            throw BuildError{"cannot rename " + path_ + " to " + outputPath};
        path_.clear();
    }

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(TemporaryDatabase& db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK)
            db.Fail(sql);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void BindInt(int column, long long value) { sqlite3_bind_int64(statement_, column, value); }
    void BindText(int column, std::string_view text)
    {
        sqlite3_bind_text(statement_, column, text.data(), int(text.size()), SQLITE_STATIC);
    }
    void Run()
    {
        if (sqlite3_step(statement_) != SQLITE_DONE)
            db_.Fail("insert");
        sqlite3_reset(statement_);
    }

private:
    TemporaryDatabase& db_;
    sqlite3_stmt* statement_ = nullptr;
};

void Build(const std::string& wordnetDir, const std::string& outputPath, WordDatabaseStats* stats)
{
    std::vector<Sense> senses;
    std::vector<std::string> glosses;
    long long unlisted = 0;
    for (int pos = 0; pos < kPartsOfSpeech; ++pos) {
        const auto index = ReadIndex(wordnetDir + "/index." + kFileSuffix[size_t(pos)]);
        ReadData(wordnetDir + "/data." + kFileSuffix[size_t(pos)], pos, index, &senses, &glosses, &unlisted);
    }
    std::string dataNoun;
    ReadFile(wordnetDir + "/data.noun", &dataNoun);
    const std::string licence = FindLicence(wordnetDir, LicenceFromHead(dataNoun));
    if (senses.empty())
        throw BuildError{"no words found in " + wordnetDir};

    std::sort(senses.begin(), senses.end(), [](const Sense& a, const Sense& b) {
        if (const int c = CompareNoCase(a.word, b.word))
            return c < 0;
        if (const int c = a.word.compare(b.word))
            return c < 0;
        if (a.partOfSpeech != b.partOfSpeech)
            return a.partOfSpeech < b.partOfSpeech;
        if (a.sense != b.sense)
            return a.sense < b.sense;
        return a.serial < b.serial;
    });

    TemporaryDatabase db(outputPath);
    // A half-built file is thrown away, so neither journal nor sync buys anything.
    db.Exec("PRAGMA journal_mode = OFF");
    db.Exec("PRAGMA synchronous = OFF");
    db.Exec("BEGIN");
    db.Exec("CREATE TABLE thewords (id INTEGER PRIMARY KEY, word TEXT, type TEXT, definition TEXT)");
    {
        Statement insert(db, "INSERT INTO thewords (id, word, type, definition) VALUES (?, ?, ?, ?)");
        long long id = 0;
        for (const Sense& s : senses) {
            insert.BindInt(1, ++id);
            insert.BindText(2, s.word);
            insert.BindText(3, kTypeName[s.partOfSpeech]);
            insert.BindText(4, glosses[s.gloss]);
            insert.Run();
        }
    }
    db.Exec("CREATE INDEX thewords_word ON thewords(word COLLATE NOCASE)");
    db.Exec("CREATE TABLE licence (text TEXT)");
    {
        Statement insert(db, "INSERT INTO licence (text) VALUES (?)");
        insert.BindText(1, licence);
        insert.Run();
    }
    db.Exec("COMMIT");
    db.MoveTo(outputPath);

    if (stats) {
        stats->records = static_cast<long long>(senses.size());
        stats->distinctWords = 0;
        for (size_t i = 0; i < senses.size(); ++i)
            if (i == 0 || senses[i].word != senses[i - 1].word)
                ++stats->distinctWords;
        stats->unlistedSenses = unlisted;
    }
}

} // namespace

bool BuildWordDatabase(const std::string& wordnetDir, const std::string& outputPath,
                       WordDatabaseStats* stats, std::string* error)
{
    try {
        Build(wordnetDir, outputPath, stats);
        return true;
    } catch (const BuildError& e) {
        if (error)
            *error = e.message;
    } catch (const std::exception& e) {
        if (error)
            *error = e.what();
    }
    return false;
}
