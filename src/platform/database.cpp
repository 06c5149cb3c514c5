#include "platform/database.h"

#include "platform/folder_item.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <limits>
#include <sqlite3.h>
#include <stdexcept>

namespace {

// The oldest engine whose behaviour the program has been tried with.
constexpr int kOldestEngineVersion = 3031000;

// The integer at the start of a text, read the way the engine reads one: blanks, an
// optional sign, digits; anything after them is ignored; too large a value saturates.
qint64 LeadingInteger(const char* p, const char* end)
{
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    quint64 magnitude = 0;
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = unsigned(*p - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == limit ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    return qint64(magnitude);
}

// True when nothing but blanks, semicolons and comments is left of a statement text.
bool OnlyFillerLeft(const char* p, const char* end)
{
    while (p < end) {
        if (*p == ';' || *p == ' ' || (*p >= '\t' && *p <= '\r')) {
            ++p;
        } else if (end - p >= 2 && p[0] == '-' && p[1] == '-') {
            while (p < end && *p != '\n')
                ++p;
        } else if (end - p >= 2 && p[0] == '/' && p[1] == '*') {
            p += 2;
            while (p < end && !(end - p >= 2 && p[0] == '*' && p[1] == '/'))
                ++p;
            p = end - p >= 2 ? p + 2 : end;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

// ---- DatabaseField ----

QString DatabaseField::StringValue() const
{
    const RecordSet::Cell* cell = set_ ? set_->CurrentCell(column_) : nullptr;
    if (!cell)
        return QString();
    switch (cell->type) {
    case RecordSet::CellType::Null:
        return QString();
    case RecordSet::CellType::Integer:
        return QString::number(cell->integer);
    case RecordSet::CellType::Real:
    case RecordSet::CellType::Text:
        return QString::fromUtf8(cell->bytes, qsizetype(cell->length));
    }
    return QString();
}

qint64 DatabaseField::IntegerValue() const
{
    const RecordSet::Cell* cell = set_ ? set_->CurrentCell(column_) : nullptr;
    if (!cell)
        return 0;
    switch (cell->type) {
    case RecordSet::CellType::Null:
        return 0;
    case RecordSet::CellType::Integer:
        return cell->integer;
    case RecordSet::CellType::Real: {
        // A real becomes an integer by dropping its fraction, clamped to the range.
        const double real = QByteArray::fromRawData(cell->bytes, qsizetype(cell->length)).toDouble();
        if (std::isnan(real))
            return 0;
        if (real <= double(std::numeric_limits<qint64>::min()))
            return std::numeric_limits<qint64>::min();
        if (real >= double(std::numeric_limits<qint64>::max()))
            return std::numeric_limits<qint64>::max();
        return qint64(real);
    }
    case RecordSet::CellType::Text:
        return LeadingInteger(cell->bytes, cell->bytes + cell->length);
    }
    return 0;
}

// ---- RecordSet ----

int RecordSet::RecordCount() const
{
    return rowCount_;
}

void RecordSet::MoveFirst()
{
    current_ = 0;
}

void RecordSet::MoveNext()
{
    if (current_ < rowCount_)
        ++current_;
}

bool RecordSet::Eof() const
{
    return current_ >= rowCount_;
}

DatabaseField* RecordSet::Field(const QString& name)
{
    for (size_t column = 0; column < columnNames_.size(); ++column) {
        // Asked once per record in a loop over every record: the exact spelling, which
        // callers nearly always use, is tried before the slower comparison without case.
        if (columnNames_[column] == name
            || QString::compare(columnNames_[column], name, Qt::CaseInsensitive) == 0) {
            DatabaseField& field = fields_[column];
            field.set_ = this;
            field.column_ = int(column);
            return &field;
        }
    }
    return nullptr;
}

const RecordSet::Cell* RecordSet::CurrentCell(int column) const
{
    // Past the last record (or before any) there is no value to read: callers get
    // the empty text and 0 rather than a crash.
    if (current_ < 0 || current_ >= rowCount_ || column < 0 || size_t(column) >= columnNames_.size())
        return nullptr;
    return &cells_[size_t(current_) * columnNames_.size() + size_t(column)];
}

const char* RecordSet::Keep(const void* bytes, size_t length)
{
    constexpr size_t kBlockSize = size_t(1) << 20;
    static const char nothing = 0;
    if (length == 0)
        return &nothing;  // an empty text, which is not the null of an SQL NULL
    if (length > blockFree_) {
        // A text longer than a block gets a block of its own; the last block stays open.
        if (length > kBlockSize / 4) {
            blocks_.emplace_back(new char[length]);
            char* own = blocks_.back().get();
            std::memcpy(own, bytes, length);
            if (blocks_.size() >= 2 && blockFree_ > 0)
                std::swap(blocks_[blocks_.size() - 1], blocks_[blocks_.size() - 2]);
            return own;
        }
        blocks_.emplace_back(new char[kBlockSize]);
        blockFree_ = kBlockSize;
    }
    char* at = blocks_.back().get() + (kBlockSize - blockFree_);
    std::memcpy(at, bytes, length);
    blockFree_ -= length;
    return at;
}

// ---- Database ----

Database::Database() = default;

Database::~Database()
{
    sqlite3_close_v2(handle_);
}

void Database::SetDatabaseFile(std::shared_ptr<FolderItem> file)
{
    file_ = std::move(file);
}

bool Database::Connect()
{
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
    error_ = true;

    if (!file_) {
        errorMessage_ = QStringLiteral("No database file has been named.");
        return false;
    }
    const QFileInfo info(file_->NativePath());
    if (!info.exists()) {
        errorMessage_ = QStringLiteral("The database file does not exist.");
        return false;
    }
    if (!info.isFile()) {
        errorMessage_ = QStringLiteral("The database file is a folder, not a file.");
        return false;
    }
    // The engine takes an empty file for an empty database; an empty file holds no
    // words, so it is refused like any other file that is not a word database.
    if (info.size() == 0) {
        errorMessage_ = QStringLiteral("The database file is empty.");
        return false;
    }

    // Read-only: the engine then never creates the file, never writes it and never
    // makes a journal beside it. The connection is only ever used from one thread at a
    // time, so the engine's own locking per call (a tenth of a large select) is left out.
    sqlite3* handle = nullptr;
    const QByteArray path = QFile::encodeName(file_->NativePath());
    int rc = sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    // Opening reads nothing yet; the first read of the schema is what tells a database
    // from any other file, so it is done here rather than at the first search.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        errorMessage_ = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                               : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(handle);
        return false;
    }
    handle_ = handle;
    error_ = false;
    errorMessage_.clear();
    return true;
}

std::unique_ptr<RecordSet> Database::SQLSelect(const QString& sql, bool fastForwardCursor)
{
    // Every record is read into memory either way, so a forward-only cursor gains nothing.
    Q_UNUSED(fastForwardCursor);
    error_ = true;
    if (!handle_) {
        errorMessage_ = QStringLiteral("The database is not connected.");
        return nullptr;
    }

    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, text.constData(), int(text.size()), &statement, &tail) != SQLITE_OK) {
        errorMessage_ = QString::fromUtf8(sqlite3_errmsg(handle_));
        sqlite3_finalize(statement);
        return nullptr;
    }
    if (!statement) {
        errorMessage_ = QStringLiteral("The statement text holds no statement.");
        return nullptr;
    }
    // One call runs one statement: text after the first one is refused, not run.
    if (!OnlyFillerLeft(tail, text.constData() + text.size())) {
        sqlite3_finalize(statement);
        errorMessage_ = QStringLiteral("The statement text holds more than one statement.");
        return nullptr;
    }

    auto set = std::make_unique<RecordSet>();
    const int columns = sqlite3_column_count(statement);
    set->columnNames_.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c)
        set->columnNames_.push_back(QString::fromUtf8(sqlite3_column_name(statement, c)));
    set->fields_.resize(size_t(columns));

    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        if (set->rowCount_ == std::numeric_limits<int>::max()) {
            rc = SQLITE_TOOBIG;
            break;
        }
        for (int c = 0; c < columns; ++c) {
            RecordSet::Cell cell;
            cell.integer = 0;
            cell.length = 0;
            cell.type = RecordSet::CellType::Null;
            const int type = sqlite3_column_type(statement, c);
            if (type == SQLITE_INTEGER) {
                cell.type = RecordSet::CellType::Integer;
                cell.integer = sqlite3_column_int64(statement, c);
            } else if (type != SQLITE_NULL) {
                // Text and blobs are kept as bytes; a real as the engine's own text for it.
                const void* bytes = type == SQLITE_BLOB ? sqlite3_column_blob(statement, c)
                                                        : sqlite3_column_text(statement, c);
                const int length = sqlite3_column_bytes(statement, c);
                cell.type = type == SQLITE_FLOAT ? RecordSet::CellType::Real : RecordSet::CellType::Text;
                cell.bytes = set->Keep(bytes, size_t(length));
                cell.length = quint32(length);
            }
            set->cells_.push_back(cell);
        }
        ++set->rowCount_;
    }
    if (rc != SQLITE_DONE) {
        errorMessage_ = rc == SQLITE_TOOBIG ? QStringLiteral("The result holds too many records.")
                                            : QString::fromUtf8(sqlite3_errmsg(handle_));
        sqlite3_finalize(statement);
        return nullptr;
    }
    sqlite3_finalize(statement);
    error_ = false;
    errorMessage_.clear();
    return set;
}

void InitPluginEntrypoints()
{
    if (sqlite3_initialize() != SQLITE_OK)
        throw std::runtime_error("The SQLite database engine could not be initialised.");
    if (sqlite3_libversion_number() < kOldestEngineVersion)
        throw std::runtime_error(std::string("The SQLite database engine is version ") + sqlite3_libversion()
                                 + "; version 3.31.0 or later is needed.");
}
