#include "platform/database.h"

#include "platform/folder_item.h"

#include <QByteArray>
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
Database::~Database() = default;

void Database::SetDatabaseFile(std::shared_ptr<FolderItem> file)
{
    file_ = std::move(file);
}

sqlite3* OpenReadOnlyDatabase(const QString& path, QString* errorMessage)
{
    ReadOnlyConnection connection(path);
    return connection.ForNextStatement(errorMessage) ? connection.Release() : nullptr;
}

bool Database::Connect()
{
    connection_.SetPath(file_ ? file_->NativePath() : QString());
    connected_ = false;
    error_ = true;

    if (!file_) {
        errorMessage_ = QStringLiteral("No database file has been named.");
        return false;
    }
    // The engine takes an empty file for an empty database; an empty file holds no
    // words, so it is refused like any other file that is not a word database. A missing
    // file, a folder and the like the connection refuses itself.
    const QFileInfo info(file_->NativePath());
    if (info.isFile() && info.size() == 0) {
        errorMessage_ = QStringLiteral("The database file is empty.");
        return false;
    }
    connection_.BeginRead();
    if (!connection_.ForNextStatement(&errorMessage_))
        return false;
    connected_ = true;
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
    if (!connected_) {
        errorMessage_ = QStringLiteral("The database is not connected.");
        return nullptr;
    }
    const QByteArray text = sql.toUtf8();
    connection_.BeginRead();
    for (;;) {
        sqlite3* handle = connection_.ForNextStatement(&errorMessage_);
        if (!handle)
            return nullptr;
        int code = SQLITE_OK;
        std::unique_ptr<RecordSet> set = RunSelect(handle, text, &code);
        QString gaveUp;
        if (connection_.RunAgain(code, &gaveUp))
            continue;
        if (!gaveUp.isEmpty()) {
            errorMessage_ = gaveUp;
            return nullptr;
        }
        if (set) {
            error_ = false;
            errorMessage_.clear();
        }
        return set;
    }
}

std::unique_ptr<RecordSet> Database::RunSelect(sqlite3* handle, const QByteArray& text, int* code)
{
    steps_ = 0;
    sqlite3_progress_handler(handle, kStepsPerProgressCall, &Database::Progress, this);
    const char* tail = nullptr;
    sqlite3_stmt* prepared = nullptr;
    const int prepareResult = sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &prepared, &tail);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
    *code = prepareResult;
    if (prepareResult != SQLITE_OK) {
        errorMessage_ = QString::fromUtf8(sqlite3_errmsg(handle));
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
                    // Text and blobs are kept as the engine's text for them (a blob's bytes
                    // read in the file's own encoding, UTF-16 included); a real as the
                    // engine's text and integer for it (asked first: the text is made from
                    // the real).
                    value.type = type == SQLITE_FLOAT ? RecordCell::Real : RecordCell::Text;
                    if (type == SQLITE_FLOAT)
                        value.integer = sqlite3_value_int64(cell);
                    value.bytes = sqlite3_value_text(cell);
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
        *code = SQLITE_NOMEM;
        errorMessage_ = QString::fromUtf8(sqlite3_errstr(SQLITE_NOMEM));
        return nullptr;
    }
    *code = rc;
    if (!limitMessage.isEmpty()) {
        errorMessage_ = limitMessage;
        return nullptr;
    }
    if (rc != SQLITE_DONE) {
        errorMessage_ = rc == SQLITE_INTERRUPT && steps_ > limits_.steps
                            ? QStringLiteral("query too long: the limit is %1 steps").arg(limits_.steps)
                            : QString::fromUtf8(sqlite3_errmsg(handle));
        return nullptr;
    }
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
