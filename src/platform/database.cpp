#include "platform/database.h"

#include "platform/folder_item.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <new>
#include <sqlite3.h>
#include <stdexcept>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "cells keep integers least significant byte first");

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

// The engine's reading of a file name given as a URI: every byte but the unreserved ones
// and the separators percent-encoded, so that "#", "?" and "%" in a folder name stay part
// of the path.
QByteArray FileUri(const QString& path, bool immutable)
{
    const QByteArray bytes = QFile::encodeName(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    QByteArray uri = "file:";
    for (const char c : bytes) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                           || c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            uri += c;
        } else {
            static const char hex[] = "0123456789ABCDEF";
            uri += '%';
            uri += hex[(uchar(c) >> 4) & 0xF];
            uri += hex[uchar(c) & 0xF];
        }
    }
    return immutable ? uri + "?immutable=1" : uri;
}

constexpr int kStepsPerProgressCall = 10000;

// The engine's UTF-8 as a text with every character it holds: the toolkit's plain decoding
// would drop a byte-order mark at its start.
QString EngineText(const char* bytes, qsizetype length)
{
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes, length));
}

// The engine's UTF-8 into a text. Words are nearly all ASCII, which is widened byte by byte
// into the text's own buffer when no one else holds it: the general decoder costs several
// times more on a short text, and a new buffer an allocation.
void Utf8ToText(const char* bytes, quint32 length, QString& text)
{
    if (length == 0) {
        text = QString::fromUtf8(bytes, 0);
        return;
    }
    if (!text.isDetached())
        text = QString();
    if (text.size() != qsizetype(length))
        text.resize(qsizetype(length));
    const uchar* p = reinterpret_cast<const uchar*>(bytes);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    uchar any = 0;
    quint32 i = 0;
#if defined(__SSE2__)
    // Eight bytes at a time, widened in one step.
    quint64 anyWide = 0;
    for (; i + 8 <= length; i += 8) {
        quint64 eight;
        std::memcpy(&eight, p + i, sizeof eight);
        anyWide |= eight;
        const __m128i bytes8 = _mm_cvtsi64_si128(qint64(eight));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes8, _mm_setzero_si128()));
    }
    any = (anyWide & 0x8080808080808080ULL) ? 0x80 : 0;
#endif
    for (; i < length; ++i) {
        any |= p[i];
        out[i] = p[i];
    }
    if (any >= 0x80)
        text = EngineText(bytes, qsizetype(length));
}

} // namespace

// ---- DatabaseField ----

const QString& DatabaseField::NewStringValue(const RecordCell& cell) const
{
    switch (cell.type) {
    case RecordCell::Null:
        textBytes_ = nullptr;
        text_ = QString();
        return text_;
    case RecordCell::Integer:
        textBytes_ = nullptr;
        text_ = QString::number(cell.integer);
        return text_;
    case RecordCell::Real:
    case RecordCell::Text:
        break;
    }
    // StringValue has found that the bytes differ from the last text's.
    if (!text_.isDetached())
        text_.swap(otherText_);
    Utf8ToText(cell.bytes, cell.length, text_);
    textBytes_ = cell.bytes;
    textLength_ = cell.length;
    return text_;
}

qint64 DatabaseField::ConvertedIntegerValue(const RecordCell& cell) const
{
    switch (cell.type) {
    case RecordCell::Null:
        return 0;
    case RecordCell::Integer:
        return cell.integer;
    case RecordCell::Real:
        return cell.integer;   // the engine's own, kept when the record was read
    case RecordCell::Text:
        return LeadingInteger(cell.bytes, cell.bytes + cell.length);
    }
    return 0;
}

// ---- RecordSet ----

RecordSet::RecordSet() = default;
RecordSet::~RecordSet()
{
    if (!spare_)
        return;
    for (auto& block : blocks_)
        if (spare_->blocks.size() < kSpareBlocks)
            spare_->blocks.push_back(std::move(block));
    if (records_.capacity() <= kSpareRecords && records_.capacity() > spare_->records.capacity()) {
        records_.clear();
        spare_->records.swap(records_);
    }
}

int RecordSet::RecordCount() const
{
    return int(records_.size());
}

void RecordSet::MoveFirst()
{
    current_ = 0;
}

void RecordSet::MoveNext()
{
    if (current_ < records_.size())
        ++current_;
}

bool RecordSet::Eof() const
{
    return current_ >= records_.size();
}

DatabaseField* RecordSet::FieldByName(const QString& name)
{
    // The exact spelling, which callers nearly always use, before a comparison without case.
    size_t column = 0;
    while (column < columnNames_.size() && columnNames_[column] != name)
        ++column;
    if (column == columnNames_.size()) {
        column = 0;
        while (column < columnNames_.size()
               && QString::compare(columnNames_[column], name, Qt::CaseInsensitive) != 0)
            ++column;
    }
    DatabaseField* field = column < columnNames_.size() ? &fields_[column] : nullptr;
    if (asked_.size() < 16)
        asked_.emplace_back(QString(name.constData(), name.size()), field);   // a copy that no one else changes
    return field;
}

Q_ALWAYS_INLINE size_t RecordSet::CellSize(RecordCell::Type type, qint64 integer, quint32 length)
{
    if (type == RecordCell::Null)
        return 1;
    // An integer takes the fewest bytes that give the value back by sign extension.
    if (type == RecordCell::Integer)
        return 1 + (64 - quint32(__builtin_clrsbll(integer)) + 7) / 8;
    const quint32 stored = StoredLength(type, length);
    return 1 + (stored < 63 ? 0 : sizeof stored) + stored;
}

Q_ALWAYS_INLINE size_t RecordSet::PutCell(char* p, RecordCell::Type type, qint64 integer, const void* bytes, quint32 length)
{
    const size_t size = CellSize(type, integer, length);
    if (type == RecordCell::Null) {
        *p = char(RecordCell::Null);
    } else if (type == RecordCell::Integer) {
        *p++ = char(RecordCell::Integer | ((size - 1) << 2));
        const quint64 value = quint64(integer);
        std::memcpy(p, &value, size - 1);   // least significant first on the machines we build for
    } else {
        const quint32 stored = StoredLength(type, length);
        const bool shortText = stored < 63;
        *p++ = char(type | ((shortText ? stored : 63) << 2));
        if (!shortText) {
            std::memcpy(p, &stored, sizeof stored);
            p += sizeof stored;
        }
        if (type == RecordCell::Real) {
            std::memcpy(p, &integer, sizeof integer);
            p += sizeof integer;
        }
        if (length > 0)
            std::memcpy(p, bytes, length);
    }
    return size;
}

char* RecordSet::Reserve(size_t length)
{
    if (length > freeLength_) {
        if (length > kBlockSize / 4) {
            bytes_ += length;
            return ownBlocks_.emplace_back(new char[length + kReadAhead]).get();
        }
        if (spare_ && !spare_->blocks.empty()) {
            blocks_.push_back(std::move(spare_->blocks.back()));
            spare_->blocks.pop_back();
        } else {
            blocks_.emplace_back(new char[kBlockSize + kReadAhead]);
        }
        free_ = blocks_.back().get();
        freeLength_ = kBlockSize;
    }
    char* at = free_;
    bytes_ += length;
    free_ += length;
    freeLength_ -= length;
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

namespace {

sqlite3* OpenReadOnly(const QString& path, bool immutable, QString* errorMessage)
{
    // The connection is only ever used from one thread at a time, so the engine's own
    // locking per call (a tenth of a large select) is left out.
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(FileUri(path, immutable).constData(), &handle,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    // A reader of a log never copies it into the file when it closes, which would change
    // both (and delete the log).
    if (rc == SQLITE_OK && !immutable)
        rc = sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // The file is not trusted: no schema object may call a function with side effects, and
    // nothing may alter the schema or the file through the engine's back doors.
    if (rc == SQLITE_OK)
        rc = sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    // Opening reads nothing yet; the first read of the schema is what tells a database
    // from any other file, so it is done here rather than at the first search.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        *errorMessage = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(handle);
        return nullptr;
    }
    return handle;
}

} // namespace

sqlite3* OpenReadOnlyDatabase(const QString& path, QString* errorMessage)
{
    // Immutable, the engine takes no lock and makes no journal, shared-memory or log file
    // beside the database, whatever journal mode it was left in; but it reads the file
    // alone. Records committed to a write-ahead log that was never copied back would be
    // missing, so where such a log lies beside the file it is read too (the engine may
    // keep the log's index beside it). Should that fail, the file is still read alone.
    if (QFileInfo::exists(path + "-wal")) {
        if (sqlite3* handle = OpenReadOnly(path, false, errorMessage))
            return handle;
    }
    return OpenReadOnly(path, true, errorMessage);
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
    handle_ = OpenReadOnlyDatabase(file_->NativePath(), &errorMessage_);
    if (!handle_)
        return false;
    sqlite3_progress_handler(handle_, kStepsPerProgressCall, &Database::Progress, this);
    error_ = false;
    errorMessage_.clear();
    return true;
}

int Database::Progress(void* self)
{
    Database* db = static_cast<Database*>(self);
    db->steps_ += kStepsPerProgressCall;
    return db->steps_ > db->limits_.steps ? 1 : 0;
}

std::unique_ptr<RecordSet> Database::SQLSelect(const QString& sql, bool fastForwardCursor)
{
    // Every record is read into memory either way, so a forward-only cursor gains nothing.
    Q_UNUSED(fastForwardCursor);
    error_ = true;
    steps_ = 0;
    if (!handle_) {
        errorMessage_ = QStringLiteral("The database is not connected.");
        return nullptr;
    }

    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* prepared = nullptr;
    const int prepareResult = sqlite3_prepare_v2(handle_, text.constData(), int(text.size()), &prepared, &tail);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
    if (prepareResult != SQLITE_OK) {
        errorMessage_ = QString::fromUtf8(sqlite3_errmsg(handle_));
        return nullptr;
    }
    if (!statement) {
        errorMessage_ = QStringLiteral("The statement text holds no statement.");
        return nullptr;
    }
    // One call runs one statement: text after the first one is refused, not run.
    if (!OnlyFillerLeft(tail, text.constData() + text.size())) {
        errorMessage_ = QStringLiteral("The statement text holds more than one statement.");
        return nullptr;
    }

    auto set = std::make_unique<RecordSet>();
    set->spare_ = spare_;
    set->records_.swap(spare_->records);
    const int columns = sqlite3_column_count(statement.get());
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(statement.get(), c);
        set->columnNames_.push_back(EngineText(name, name ? qsizetype(std::strlen(name)) : 0));
    }
    set->fields_.resize(size_t(columns));
    for (int c = 0; c < columns; ++c) {
        set->fields_[size_t(c)].set_ = set.get();
        set->fields_[size_t(c)].column_ = c;
    }

    struct Value {
        RecordCell::Type type;
        qint64 integer;
        const void* bytes;
        quint32 length;
    };
    std::vector<Value> values(static_cast<size_t>(columns));
    const qint64 recordLimit = std::min<qint64>(limits_.records, std::numeric_limits<int>::max());
    int rc;
    QString limitMessage;
    try {
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            if (qint64(set->records_.size()) >= recordLimit) {
                limitMessage = QStringLiteral("too many records: the limit is %1").arg(recordLimit);
                break;
            }
            // Each cell is written where the record would go as soon as it is read, which
            // serves nearly every record; one that does not fit is written again, whole,
            // where Reserve finds room for it.
            char* const record = set->free_;
            char* const room = set->free_ + set->freeLength_;
            char* p = record;
            bool fits = true;
            size_t length = 0;
            for (int c = 0; c < columns; ++c) {
                // The value itself rather than the statement's accessors, which each check
                // the statement again: one connection, one thread.
                sqlite3_value* cell = sqlite3_column_value(statement.get(), c);
                Value& value = values[size_t(c)];
                const int type = sqlite3_value_type(cell);
                value.integer = 0;
                value.bytes = nullptr;
                value.length = 0;
                if (type == SQLITE_INTEGER) {
                    value.type = RecordCell::Integer;
                    value.integer = sqlite3_value_int64(cell);
                } else if (type == SQLITE_NULL) {
                    value.type = RecordCell::Null;
                } else {
                    // Text and blobs are kept as bytes; a real as the engine's own text and
                    // integer for it (asked first: the text is made from the real).
                    value.type = type == SQLITE_FLOAT ? RecordCell::Real : RecordCell::Text;
                    if (type == SQLITE_FLOAT)
                        value.integer = sqlite3_value_int64(cell);
                    value.bytes = type == SQLITE_BLOB ? sqlite3_value_blob(cell) : sqlite3_value_text(cell);
                    value.length = quint32(sqlite3_value_bytes(cell));
                    if (!value.bytes && value.length > 0)
                        throw std::bad_alloc();   // the engine could not make the text
                }
                const size_t size = RecordSet::CellSize(value.type, value.integer, value.length);
                fits = fits && size <= size_t(room - p);
                if (fits)
                    p += RecordSet::PutCell(p, value.type, value.integer, value.bytes, value.length);
                length += size;
            }
            if (qint64(set->bytes_ + length) > limits_.bytes) {
                limitMessage = QStringLiteral("result too big: the limit is %1 bytes").arg(limits_.bytes);
                break;
            }
            if (fits) {
                set->free_ = p;
                set->freeLength_ = size_t(room - p);
                set->bytes_ += length;
                set->records_.push_back(record);
            } else {
                char* at = set->Reserve(length);
                set->records_.push_back(at);
                for (const Value& value : values)
                    at += RecordSet::PutCell(at, value.type, value.integer, value.bytes, value.length);
            }
        }
    } catch (const std::bad_alloc&) {
        set.reset();
        errorMessage_ = QString::fromUtf8(sqlite3_errstr(SQLITE_NOMEM));
        return nullptr;
    }
    if (!limitMessage.isEmpty()) {
        errorMessage_ = limitMessage;
        return nullptr;
    }
    if (rc != SQLITE_DONE) {
        errorMessage_ = rc == SQLITE_INTERRUPT && steps_ > limits_.steps
                            ? QStringLiteral("query too long: the limit is %1 steps").arg(limits_.steps)
                            : QString::fromUtf8(sqlite3_errmsg(handle_));
        return nullptr;
    }
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
