#include "platform/read_only_connection.h"

#include "platform/no_create_vfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <iterator>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

FileStamp Stamp(const QByteArray& path, bool followLinks)
{
    struct stat info;
    FileStamp stamp;
    if ((followLinks ? ::stat(path.constData(), &info) : ::lstat(path.constData(), &info)) != 0)
        return stamp;
    stamp.exists = true;
    stamp.regular = S_ISREG(info.st_mode);
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    if (!followLinks && info.st_nlink != 1)
        stamp.regular = false;   // another name elsewhere would see what we write
    return stamp;
}

// The engine's reading of a file name given as a URI: every byte but the unreserved ones
// and the separators percent-encoded, so that "#", "?" and "%" in a folder name stay part
// of the path.
QByteArray FileUri(const QString& path, bool immutable)
{
    const QByteArray bytes = QFile::encodeName(path);
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

QString EngineMessage(sqlite3* handle, int code)
{
    return QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code));
}

// Opens without reading anything yet, so that the way can still change.
sqlite3* OpenAs(const QString& target, ReadOnlyConnection::Way way, QString* message)
{
    using Way = ReadOnlyConnection::Way;
    // The connection is only ever used from one thread at a time, so the engine's own
    // locking per call (a tenth of a large select) is left out.
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(FileUri(target, way == Way::Immutable).constData(), &handle,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                             NoCreateVfs(way == Way::PrivateIndex));
    if (rc == SQLITE_OK)
        rc = sqlite3_extended_result_codes(handle, 1);
    // A reader of a log never copies it into the file when it closes, which would change
    // both (and delete the log).
    if (rc == SQLITE_OK)
        rc = sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // The file is not trusted: no schema object may call a function with side effects, and
    // nothing may alter the schema or the file through the engine's back doors.
    if (rc == SQLITE_OK)
        rc = sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    // Set before the first read, exclusive locking keeps the log's index in the connection's
    // own memory; with no locks to take, a folder we may not write does not stop it either.
    if (rc == SQLITE_OK && way == Way::PrivateIndex)
        rc = sqlite3_exec(handle, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        *message = EngineMessage(handle, rc);
        sqlite3_close_v2(handle);
        return nullptr;
    }
    return handle;
}

// Whether the file's header says its log must be used, read through the engine's own open
// file: a descriptor of ours, once closed, would drop the locks the process holds on it.
bool InLogMode(sqlite3* handle)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(handle, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return false;
    unsigned char header[20] = {};
    return file->pMethods->xRead(file, header, int(sizeof header), 0) == SQLITE_OK && header[19] == 2;
}

// A failure of the log's shared index (one we may not open or make), which reading the log
// with an index of our own avoids.
bool IndexFailure(int code)
{
    return (code & 0xff) == SQLITE_CANTOPEN || code == SQLITE_READONLY_CANTINIT || code == SQLITE_READONLY_RECOVERY
           || code == SQLITE_READONLY_CANTLOCK || code == SQLITE_IOERR_SHMOPEN || code == SQLITE_IOERR_SHMSIZE
           || code == SQLITE_IOERR_SHMMAP || code == SQLITE_IOERR_SHMLOCK;
}

// Why the files cannot be read at all now, or nothing. A log or journal that is no regular
// file is never handed to the engine, which would block opening a FIFO or write through it.
QString Problem(const DatabaseFiles& files)
{
    if (!files.file.exists)
        return QStringLiteral("The database file does not exist.");
    if (!files.file.regular)
        return QStringLiteral("The database file is not a regular file.");
    for (const auto& [stamp, suffix] : {std::pair{&files.log, "-wal"}, std::pair{&files.journal, "-journal"}})
        if (stamp->exists && !stamp->regular)
            return QStringLiteral("The database cannot be read: %1%2 beside it is not a regular file.")
                .arg(QFileInfo(files.target).fileName(), QLatin1String(suffix));
    return QString();
}

} // namespace

DatabaseFiles DatabaseFiles::Look(const QString& path)
{
    // The engine follows links to the file itself, and keeps its log beside that.
    const QFileInfo info(path);
    DatabaseFiles files;
    files.target = info.canonicalFilePath();
    if (files.target.isEmpty())
        files.target = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray name = QFile::encodeName(files.target);
    files.file = Stamp(name, true);
    files.log = Stamp(name + "-wal", true);
    files.index = Stamp(name + "-shm", false);
    files.journal = Stamp(name + "-journal", true);
    return files;
}

ReadOnlyConnection::~ReadOnlyConnection()
{
    Close();
}

void ReadOnlyConnection::SetPath(const QString& path)
{
    Close();
    path_ = path;
    indexFailed_ = false;
}

void ReadOnlyConnection::Close()
{
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
}

sqlite3* ReadOnlyConnection::Release()
{
    sqlite3* handle = handle_;
    handle_ = nullptr;
    if (handle)
        sqlite3_busy_timeout(handle, lockWait_);   // the engine's own wait, which needs no connection of ours
    return handle;
}

bool ReadOnlyConnection::Changed(const DatabaseFiles& now) const
{
    // Without locks the engine takes the files for unchanged; with them, it follows commits
    // but not a file that became a log-mode file without a log, whose log it would make.
    // Either way a change of the file or its log calls for a fresh look: they change only
    // when another program writes them.
    return now.target != openedAt_.target || now.file != openedAt_.file || now.log != openedAt_.log
           || now.IndexUsable() != openedAt_.IndexUsable();
}

bool ReadOnlyConnection::SpoiltByAChange(int code) const
{
    // With locks the engine keeps a read consistent; what it cannot follow is a log that
    // was deleted after we looked, which then fails to open. Without locks, a read is sound
    // only when nothing changed while it ran.
    if (way_ == Way::Locked && (code & 0xff) != SQLITE_CANTOPEN)
        return false;
    return Changed(DatabaseFiles::Look(path_));
}

sqlite3* ReadOnlyConnection::ForNextStatement(QString* message)
{
    for (;;) {
        const DatabaseFiles now = DatabaseFiles::Look(path_);
        const QString problem = Problem(now);
        if (!problem.isEmpty()) {
            Close();
            *message = problem;
            return nullptr;
        }
        if (NeedsReopen(now)) {
            if (now.target != openedAt_.target || now.index != openedAt_.index)
                indexFailed_ = false;   // the index may be usable now
            switch (Open(now, message)) {
            case Opened::Yes:
                break;
            case Opened::No:
                return nullptr;
            case Opened::FilesChangedMeanwhile:
                if (SpendAttempt())
                    continue;
                *message = QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY));
                return nullptr;
            }
        }
        StartAttempt();
        return handle_;
    }
}

ReadOnlyConnection::Opened ReadOnlyConnection::Open(const DatabaseFiles& files, QString* message)
{
    Close();
    StartAttempt();
    openedAt_ = files;
    way_ = files.log.exists && (!files.IndexUsable() || indexFailed_) ? Way::PrivateIndex : Way::Locked;
    handle_ = OpenAs(files.target, way_, message);
    // Without its log, a log-mode file read the engine's way would need a new log and index
    // beside it. Nothing else can have committed to it then, so the file is read alone.
    if (handle_ && !files.log.exists && InLogMode(handle_)) {
        Close();
        way_ = Way::Immutable;
        handle_ = OpenAs(files.target, way_, message);
    }
    if (!handle_)
        return Opened::No;
    // Opening took no lock; from the first read on, another program's lock is waited for
    // within this read's lock wait.
    sqlite3_busy_handler(handle_, &ReadOnlyConnection::WaitForLock, this);
    // Opening reads nothing yet; the first read of the schema is what tells a database
    // from any other file (and a file that no one holds locked), so it is done here.
    const int rc = sqlite3_exec(handle_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return Opened::Yes;
    if (SpoiltByAChange(rc)) {
        Close();
        return Opened::FilesChangedMeanwhile;
    }
    if (GiveUpSharedIndex(rc))
        return Open(files, message);
    *message = EngineMessage(handle_, rc);
    Close();
    return Opened::No;
}

bool ReadOnlyConnection::GiveUpSharedIndex(int code)
{
    if (way_ != Way::Locked || !openedAt_.log.exists || !IndexFailure(code))
        return false;
    indexFailed_ = true;
    return true;
}

bool ReadOnlyConnection::RunAgain(int code, QString* gaveUp)
{
    if (!SpoiltByAChange(code)) {
        if (!GiveUpSharedIndex(code))
            return false;
        Close();
        return true;
    }
    Close();
    if (SpendAttempt())
        return true;
    *gaveUp = QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY));
    return false;
}

void ReadOnlyConnection::StartAttempt()
{
    attempt_.start();
    waitedBeforeAttempt_ = waited_;
}

bool ReadOnlyConnection::SpendAttempt()
{
    // The attempt's own waits for locks are counted already; at least a millisecond, so
    // that a program that never stops changing the files ends the read too.
    const qint64 lost = attempt_.elapsed() - (waited_ - waitedBeforeAttempt_);
    waited_ += int(std::max<qint64>(lost, 1));
    return waited_ < lockWait_;
}

int ReadOnlyConnection::WaitForLock(void* self, int count)
{
    // The engine's own steps: short first, for a writer that is about to finish.
    static constexpr int kSteps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    auto* connection = static_cast<ReadOnlyConnection*>(self);
    const int left = connection->lockWait_ - connection->waited_;
    if (left <= 0)
        return 0;
    const int step = std::min(kSteps[std::min<size_t>(size_t(count), std::size(kSteps) - 1)], left);
    QElapsedTimer slept;
    slept.start();
    const int asked = sqlite3_sleep(step);
    // A loaded machine may sleep longer than asked: what passed counts.
    connection->waited_ += int(std::max<qint64>({qint64(asked), slept.elapsed(), 1}));
    return 1;
}
