#pragma once
// The SQL database services on the SQLite C library: a read-only connection, select
// statements given as text, and record sets read field by field by column name.
#include <QString>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
class FolderItem;
class RecordSet;

class DatabaseField {
public:
    QString StringValue() const;
    qint64 IntegerValue() const;

private:
    friend class RecordSet;
    const RecordSet* set_ = nullptr;
    int column_ = 0;
};

// All records of a select, read once when the statement runs, so that RecordCount and
// MoveFirst work as on a scrollable cursor.
class RecordSet {
public:
    int RecordCount() const;
    void MoveFirst();
    void MoveNext();
    bool Eof() const;   // no current record ("EOF" is a C library macro)
    // The named field of the current record; nil when the result has no such column.
    // Column names match without regard to letter case.
    DatabaseField* Field(const QString& name);

private:
    friend class Database;
    friend class DatabaseField;

    // The bytes of every cell live in a few large blocks; a cell is its type and either
    // its integer value or where its bytes are (a real is kept as the engine's text for
    // it). Text is decoded only when a field is read, so loading a large result costs one
    // copy of its bytes and no allocation per cell. Blocks are never moved once filled:
    // a growing single buffer would copy every byte again at each growth.
    enum class CellType : quint8 { Null, Integer, Real, Text };
    struct Cell {
        union {
            qint64 integer;
            const char* bytes;
        };
        quint32 length;  // the byte count of a text or real cell
        CellType type;
    };
    const Cell* CurrentCell(int column) const;
    // A copy of the bytes in the blocks, kept until the record set goes.
    const char* Keep(const void* bytes, size_t length);

    std::vector<QString> columnNames_;
    std::vector<DatabaseField> fields_;   // one per column, handed out by Field
    std::vector<Cell> cells_;             // row by row, columnNames_.size() cells a row
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t blockFree_ = 0;                // bytes left at the end of the last block
    int rowCount_ = 0;
    int current_ = 0;
};

class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void SetDatabaseFile(std::shared_ptr<FolderItem> file);
    std::shared_ptr<FolderItem> DatabaseFile() const { return file_; }
    // Opens the file read-only; never creates or writes it. False for a missing,
    // unreadable, empty or non-database file.
    bool Connect();
    // Runs one select. Nil (with Error and ErrorMessage set) when the statement fails.
    std::unique_ptr<RecordSet> SQLSelect(const QString& sql, bool fastForwardCursor = false);
    bool Error() const { return error_; }
    QString ErrorMessage() const { return errorMessage_; }

private:
    std::shared_ptr<FolderItem> file_;
    sqlite3* handle_ = nullptr;
    bool error_ = false;
    QString errorMessage_;
};

// Binds the engine once at start-up: initialises it and checks the library version.
void InitPluginEntrypoints();
