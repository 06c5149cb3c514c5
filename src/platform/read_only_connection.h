#pragma once
// A read-only engine connection to a database file that other programs may change, lock or
// link while we read it. Before each statement it looks at the file and at the engine's
// files beside it (the log, the log's index, the rollback journal) and opens afresh where
// they changed in a way the open connection cannot follow, so that every statement reads
// what a fresh read-only connection of the engine reads at that moment.
#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

struct sqlite3;

// One look at a path, as far as it decides how the engine may open it.
struct FileStamp {
    bool exists = false;
    bool regular = false;   // a regular file (for the log's index: also no link, one name only)
    quint64 device = 0, inode = 0;
    // Not the status change time: the engine, run by root, gives the log its owner again
    // at every open, which changes that time and nothing else.
    qint64 size = 0, modified = 0;   // bytes; nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// The database file, links followed as the engine follows them, and the files beside it.
struct DatabaseFiles {
    QString target;
    FileStamp file, log, index, journal;

    static DatabaseFiles Look(const QString& path);
    // The log's index may be shared with other programs: it is there to be made, or a
    // regular file of its own. Otherwise the engine would write through a link into another file.
    bool IndexUsable() const { return !index.exists || index.regular; }
};

class ReadOnlyConnection {
public:
    // How the engine is asked to open the file.
    enum class Way {
        Locked,         // the engine's own locks, log and shared index: it sees every commit itself
        PrivateIndex,   // the log's index in our own memory, no locks: a fresh open sees new commits
        Immutable,      // the file alone: a log-mode file without its log, which the engine would make
    };

    explicit ReadOnlyConnection(QString path = QString()) : path_(std::move(path)) {}
    ~ReadOnlyConnection();
    ReadOnlyConnection(const ReadOnlyConnection&) = delete;
    ReadOnlyConnection& operator=(const ReadOnlyConnection&) = delete;

    void SetPath(const QString& path);
    // How long another program may hold the file locked for writing before a read gives up.
    void SetLockWait(int milliseconds) { lockWait_ = milliseconds; }
    // Starts one read (a connect or a search). From here on, looking at the files, opening
    // them afresh, the first read and the statement, with every run again, wait for other
    // programs at most the lock wait in all; reading itself is not counted.
    void BeginRead() { waited_ = 0; }

    // The connection for the next statement: the open one, or one opened afresh when the
    // files changed so. Nil with the reason when no read can be had now.
    sqlite3* ForNextStatement(QString* message);
    // After a statement with this result code: whether its records may be wrong or missing,
    // so that it must run again on the connection that ForNextStatement then gives. Once the
    // lock wait is spent, no consistent read can be had: false, with the engine's words for
    // that in `gaveUp`.
    bool RunAgain(int code, QString* gaveUp);
    // Hands over the open connection; the caller closes it.
    sqlite3* Release();

private:
    enum class Opened { Yes, No, FilesChangedMeanwhile };

    void Close();
    Opened Open(const DatabaseFiles& files, QString* message);
    // Whether these files differ from the ones opened in a way the open connection cannot follow.
    bool Changed(const DatabaseFiles& now) const;
    bool NeedsReopen(const DatabaseFiles& now) const { return !handle_ || Changed(now); }
    // Whether a statement with this result may have read another program's change half made.
    bool SpoiltByAChange(int code) const;
    // Whether a locked read of a log failed on its shared index, which a private index
    // avoids; if so, the index is given up until the files change.
    bool GiveUpSharedIndex(int code);
    void StartAttempt();
    // Counts an attempt that a change spoilt as time spent waiting for the program that made
    // it; false once the lock wait is spent.
    bool SpendAttempt();
    static int WaitForLock(void* self, int count);

    QString path_;
    int lockWait_ = 3000;
    int waited_ = 0;   // milliseconds of the lock wait spent by this read
    QElapsedTimer attempt_;
    int waitedBeforeAttempt_ = 0;
    sqlite3* handle_ = nullptr;
    Way way_ = Way::Locked;
    DatabaseFiles openedAt_;
    // The log's shared index could not be used (a folder we may not write, an index we may
    // not open): the index is kept privately until the files change.
    bool indexFailed_ = false;
};
