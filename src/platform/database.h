#pragma once
// The SQL database services on the SQLite C library: a read-only connection, select
// statements given as text, and record sets read field by field by column name.
#include "platform/read_only_connection.h"

#include <QString>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
class FolderItem;
class RecordSet;

// One value of a record as a record set keeps it: an integer, or the bytes of a text, a blob or
// the engine's text for a real (valid while the record set lives); a real also keeps the
// engine's integer for it.
struct RecordCell {
    enum Type : quint8 { Null, Integer, Real, Text };
    Type type = Null;
    qint64 integer = 0;
    const char* bytes = nullptr;
    quint32 length = 0;
};

class DatabaseField {
public:
    // The text stays as it is until this field is read again or its record set goes: a
    // search compares 200,000 of them, and a copy of each costs more than the comparison.
    inline const QString& StringValue() const;
    inline qint64 IntegerValue() const;

private:
    friend class RecordSet;
    friend class Database;
    const QString& NewStringValue(const RecordCell& cell) const;
    qint64 ConvertedIntegerValue(const RecordCell& cell) const;

    const RecordSet* set_ = nullptr;
    int column_ = 0;
    // The text last made and the bytes it was made from: the next record often holds the
    // same (a word's senses share their type), and then the text is handed out again.
    // A new text is written into whichever of two buffers no caller still holds, so that
    // a loop keeping the previous record's text makes no allocation per record.
    mutable QString text_;
    mutable QString otherText_;
    mutable const char* textBytes_ = nullptr;
    mutable quint32 textLength_ = 0;
};

// All records of a select, read once when the statement runs, so that RecordCount and
// MoveFirst work as on a scrollable cursor.
class RecordSet {
public:
    RecordSet();
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    int RecordCount() const;
    void MoveFirst();
    void MoveNext();
    bool Eof() const;   // no current record ("EOF" is a C library macro)
    // The named field of the current record; nil when the result has no such column.
    // Column names match without regard to letter case.
    DatabaseField* Field(const QString& name)
    {
        // Asked three times per record in a loop over 200,000 records, the same names in the
        // same order: the name after the one asked last is tried first.
        size_t i = nextAsked_;
        if (i >= asked_.size() || !SameName(asked_[i].first, name)) {
            i = 0;
            while (i < asked_.size() && !SameName(asked_[i].first, name))
                ++i;
            if (i == asked_.size())
                return FieldByName(name);
        }
        nextAsked_ = i + 1 < asked_.size() ? i + 1 : 0;
        return asked_[i].second;
    }

private:
    friend class Database;
    friend class DatabaseField;

    // A record is its cells one after another in one of a few large blocks. A cell starts
    // with a byte whose low two bits give its type and whose other six its size: for an
    // integer the number of bytes that follow (least significant first, sign-extended);
    // for a text, a blob or the engine's text for a real, the length of the bytes that
    // follow, or 63 when a four-byte length comes first. A real's bytes begin with the
    // eight of the engine's integer for it, which its text is too short to give back. A
    // null is that byte alone. Text is decoded only when a field is read, so a large
    // result costs one copy of its bytes.
    DatabaseField* FieldByName(const QString& name);
    static bool SameName(const QString& asked, const QString& name)
    {
        // By content: a caller may rewrite a name's characters in place, at the same address.
        return asked.size() == name.size()
               && std::memcmp(asked.constData(), name.constData(), size_t(name.size()) * sizeof(QChar)) == 0;
    }
    // The current record's cell of a column, found by stepping over the cells before it
    // (a word list has four columns); past the last record an empty cell.
    RecordCell CurrentCell(int column) const
    {
        if (current_ >= records_.size())
            return RecordCell();
        const uchar* p = reinterpret_cast<const uchar*>(records_[current_]);
        for (int c = 0; c < column; ++c)
            p = SkipCell(p);
        return ReadCell(p);
    }
    static const uchar* SkipCell(const uchar* p)
    {
        quint32 size = *p >> 2;
        if ((*p & 3) != RecordCell::Integer && size == 63) {
            std::memcpy(&size, p + 1, sizeof size);
            return p + 1 + sizeof size + size;
        }
        return p + 1 + size;
    }
    static RecordCell ReadCell(const uchar* p)
    {
        RecordCell cell;
        cell.type = RecordCell::Type(*p & 3);
        quint32 size = *p++ >> 2;
        if (cell.type == RecordCell::Integer) {
            // Eight bytes read, the cell's own kept and sign-extended.
            quint64 bits;
            std::memcpy(&bits, p, sizeof bits);
            const unsigned unused = 64 - 8 * size;
            cell.integer = size < 8 ? qint64(bits << unused) >> unused : qint64(bits);
        } else if (cell.type != RecordCell::Null) {
            if (size == 63) {
                std::memcpy(&size, p, sizeof size);
                p += sizeof size;
            }
            if (cell.type == RecordCell::Real) {
                std::memcpy(&cell.integer, p, sizeof cell.integer);
                p += sizeof cell.integer;
                size -= quint32(sizeof cell.integer);
            }
            cell.bytes = reinterpret_cast<const char*>(p);
            cell.length = size;
        }
        return cell;
    }
    // Two texts of a block, first compared eight bytes at once (least significant first).
    static bool SameBytes(const char* a, const char* b, quint32 length)
    {
        quint64 x, y;
        std::memcpy(&x, a, sizeof x);
        std::memcpy(&y, b, sizeof y);
        if (length < 8)
            return ((x ^ y) & ((quint64(1) << (8 * length)) - 1)) == 0;
        return x == y && std::memcmp(a + 8, b + 8, length - 8) == 0;
    }
    // The bytes that follow a text's or a real's size: its own, and a real's integer first.
    static quint32 StoredLength(RecordCell::Type type, quint32 length)
    {
        return length + (type == RecordCell::Real ? quint32(sizeof(qint64)) : 0);
    }
    // The size of a cell, and writing it at p (returning the size).
    static size_t CellSize(RecordCell::Type type, qint64 integer, quint32 length);
    static size_t PutCell(char* p, RecordCell::Type type, qint64 integer, const void* bytes, quint32 length);
    // Room for one record of this many bytes; blocks never move once filled.
    char* Reserve(size_t length);

    std::vector<QString> columnNames_;
    std::vector<DatabaseField> fields_;   // one per column, handed out by Field
    // Names already asked for, each a copy of its own kept with the field it found.
    std::vector<std::pair<QString, DatabaseField*>> asked_;
    size_t nextAsked_ = 0;
    std::vector<const char*> records_;
    // Blocks of the records; a record longer than a quarter block gets one of its own.
    // A record set gives its blocks back for the next one to fill: fresh memory costs the
    // system a page fault per page, a tenth of a large search.
    static constexpr size_t kBlockSize = size_t(1) << 20;
    // Bytes after a block's end that may be read (and never used), so that a short cell is
    // read eight bytes at once.
    static constexpr size_t kReadAhead = 8;
    static constexpr size_t kSpareBlocks = 64;
    static constexpr size_t kSpareRecords = size_t(1) << 20;
    using Blocks = std::vector<std::unique_ptr<char[]>>;
    // What a record set leaves to the next: its blocks, and its list of records emptied.
    struct Spare {
        Blocks blocks;
        std::vector<const char*> records;
    };
    Blocks blocks_;
    Blocks ownBlocks_;
    std::shared_ptr<Spare> spare_;
    char* free_ = nullptr;
    size_t freeLength_ = 0;
    size_t bytes_ = 0;   // of the records kept
    size_t current_ = 0;
};

// Read three times per record in a search over 200,000 records: the common cases (an
// integer, the same text as the last record's) are settled here without a call.
Q_ALWAYS_INLINE const QString& DatabaseField::StringValue() const
{
    const RecordCell cell = set_ ? set_->CurrentCell(column_) : RecordCell();
    if (cell.type >= RecordCell::Real && textBytes_ && cell.length == textLength_
        && RecordSet::SameBytes(cell.bytes, textBytes_, cell.length))
        return text_;
    return NewStringValue(cell);
}

Q_ALWAYS_INLINE qint64 DatabaseField::IntegerValue() const
{
    const RecordCell cell = set_ ? set_->CurrentCell(column_) : RecordCell();
    return cell.type == RecordCell::Integer ? cell.integer : ConvertedIntegerValue(cell);
}

// The bounds of one select. A word database is an untrusted file: a table that is a view
// without end must not run a search for ever nor fill the memory. Each bound is far above
// any real word list (they hold well under a million records).
struct QueryLimits {
    qint64 records = 20'000'000;
    qint64 bytes = qint64(512) << 20;
    qint64 steps = 300'000'000;   // the engine's virtual machine steps: several seconds' work
    // Milliseconds that another program may keep the file locked for writing (or keep
    // changing it under a connection that takes no locks) before a read gives up.
    int lockWait = 3000;
};

class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void SetDatabaseFile(std::shared_ptr<FolderItem> file);
    std::shared_ptr<FolderItem> DatabaseFile() const { return file_; }
    // Opens the file read-only, with what a write-ahead log beside it holds; never creates
    // or writes it. False for a missing, unreadable, empty or non-database file, and for one
    // that no consistent read can be had of (another program holds it locked for writing).
    bool Connect();
    // Runs one select, reading what the engine's own read-only connection reads now: other
    // programs' commits, never their changes in progress. Nil (with Error and ErrorMessage
    // set) when the statement fails.
    std::unique_ptr<RecordSet> SQLSelect(const QString& sql, bool fastForwardCursor = false);
    bool Error() const { return error_; }
    QString ErrorMessage() const { return errorMessage_; }

    // Tests lower the bounds to reach them quickly.
    void SetLimits(const QueryLimits& limits)
    {
        limits_ = limits;
        connection_.SetLockWait(limits.lockWait);
    }

private:
    static int Progress(void* self);
    std::unique_ptr<RecordSet> RunSelect(sqlite3* handle, const QByteArray& text, int* code);

    std::shared_ptr<FolderItem> file_;
    ReadOnlyConnection connection_;
    bool connected_ = false;
    bool error_ = false;
    QString errorMessage_;
    QueryLimits limits_;
    qint64 steps_ = 0;   // of the running statement
    // Handed from one record set to the next.
    std::shared_ptr<RecordSet::Spare> spare_ = std::make_shared<RecordSet::Spare>();
};

// Opens a database file as Connect does, in the way its files now ask for: read-only, with
// the engine's defensive settings, changing nothing of the file or its write-ahead log, and
// making nothing beside it but the log's index where a log lies there. Nil with the reason
// when it cannot; the caller closes the handle. The benchmark opens its bare connection
// with it too.
sqlite3* OpenReadOnlyDatabase(const QString& path, QString* errorMessage);

// Binds the engine once at start-up: initialises it and checks the library version.
void InitPluginEntrypoints();
