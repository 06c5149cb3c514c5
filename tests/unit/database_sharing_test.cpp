// The word database read while other programs change, lock or link it: every read gives
// what a fresh read-only connection of the engine gives at that moment, never a change in
// progress, and nothing is made or written beside the file where it must not be.
#include "platform/database.h"
#include "platform/folder_item.h"
#include "test_support.h"

#include <QtTest>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Pages of another table first, so that compacting the file moves the words' pages.
const QString kWords = "CREATE TABLE filler (b); INSERT INTO filler SELECT randomblob(3000) FROM"
                       " (WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 50) SELECT i FROM c);"
                       "CREATE TABLE thewords (id INTEGER, word TEXT); INSERT INTO thewords VALUES (1, 'cat');";

// The words that the program's search for c-t gives, or the error.
QString Words(Database& db)
{
    auto rs = db.SQLSelect("SELECT * from thewords where word like 'c_t'");
    if (!rs) return "error: " + db.ErrorMessage();
    QStringList words;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) words << rs->Field("word")->StringValue();
    return words.join(' ');
}

// Another program's connection.
class Writer {
public:
    explicit Writer(const QString& path) { sqlite3_open(QFile::encodeName(path).constData(), &handle_); }
    ~Writer() { sqlite3_close(handle_); }
    void Run(const QString& sql)
    {
        char* message = nullptr;
        const int rc = sqlite3_exec(handle_, sql.toUtf8().constData(), nullptr, nullptr, &message);
        QVERIFY2(rc == SQLITE_OK, message);
    }
    sqlite3* handle_ = nullptr;
};

// A log-mode file whose second word a writer committed to the log and left there.
void MakeLogLeftBeside(const QString& path)
{
    RunSql(path, "PRAGMA journal_mode = WAL;" + kWords);
    Writer writer(path);
    sqlite3_db_config(writer.handle_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    writer.Run("INSERT INTO thewords VALUES (2, 'cot')");
}

// A file layer under the reader's, through which a test plays another program at the very
// moment a race needs it: as the reader opens the file, asks for its shared lock, or has
// read its first page. Waits for a lock may be counted instead of slept.
namespace race {
std::function<void()> onOpen;
std::function<void()> onSharedLock;
std::function<void(char* page)> onFirstPage;
bool countSleeps = false;
qint64 slept = 0;   // microseconds

sqlite3_vfs* engine = nullptr;
const sqlite3_io_methods* fileMethods = nullptr;
sqlite3_io_methods hooked;

int Lock(sqlite3_file* file, int level)
{
    if (level == SQLITE_LOCK_SHARED && onSharedLock) onSharedLock();
    return fileMethods->xLock(file, level);
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    const int rc = fileMethods->xRead(file, buffer, amount, offset);
    if (offset == 0 && amount >= 512 && onFirstPage) std::exchange(onFirstPage, {})(static_cast<char*>(buffer));
    return rc;
}

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    const bool reader = (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READONLY);
    if (reader && onOpen) std::exchange(onOpen, {})();
    const int rc = engine->xOpen(engine, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !reader || !file->pMethods) return rc;
    if (!fileMethods) {
        fileMethods = file->pMethods;
        hooked = *fileMethods;
        hooked.xLock = Lock;
        hooked.xRead = Read;
    }
    if (file->pMethods == fileMethods) file->pMethods = &hooked;
    return rc;
}

int Sleep(sqlite3_vfs*, int microseconds)
{
    if (!countSleeps) return engine->xSleep(engine, microseconds);
    slept += microseconds;
    return microseconds;
}

// The engine's own layer with the hooks, made the default before any connection opens.
void Install()
{
    engine = sqlite3_vfs_find(nullptr);
    static sqlite3_vfs vfs = *engine;
    vfs.zName = "race";
    vfs.xOpen = Open;
    vfs.xSleep = Sleep;
    sqlite3_vfs_register(&vfs, 1);
}
} // namespace race

} // namespace

class DatabaseSharingTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int folders_ = 0;

    // The path of LexivaneDB in a new folder of its own.
    QString NewDatabasePath()
    {
        const QString folder = dir_.filePath(QString::number(++folders_));
        QDir().mkpath(folder);
        return folder + "/LexivaneDB";
    }

    std::unique_ptr<Database> Connected(const QString& path)
    {
        auto db = std::make_unique<Database>();
        QueryLimits limits;
        limits.lockWait = 250;
        db->SetLimits(limits);
        db->SetDatabaseFile(std::make_shared<FolderItem>(path));
        return db->Connect() ? std::move(db) : nullptr;
    }

private slots:
    void initTestCase() { InitPluginEntrypoints(); }
    void cleanup()
    {
        race::onOpen = {};
        race::onSharedLock = {};
        race::onFirstPage = {};
        race::countSleeps = false;
    }

    void commitsDeletionsAndCompaction_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("rollback journal") << "DELETE";
        QTest::newRow("write-ahead log") << "WAL";
    }

    void commitsDeletionsAndCompaction()
    {
        QFETCH(QString, mode);
        const QString path = NewDatabasePath();
        RunSql(path, "PRAGMA journal_mode = " + mode + ";" + kWords);
        auto db = Connected(path);
        QVERIFY(db);
        QCOMPARE(Words(*db), "cat");
        RunSql(path, "INSERT INTO thewords VALUES (2, 'cot')");   // a program that commits and ends
        QCOMPARE(Words(*db), "cat cot");
        {
            Writer writer(path);   // one that stays: its log stays beside the file
            writer.Run("INSERT INTO thewords VALUES (3, 'cut')");
            QCOMPARE(Words(*db), "cat cot cut");
            writer.Run("DELETE FROM filler; DELETE FROM thewords WHERE id = 1; VACUUM");
            QCOMPARE(Words(*db), "cot cut");
        }
        if (mode != "DELETE") return;
        // Turned into a log-mode file, left without a log: read without making one.
        RunSql(path, "PRAGMA journal_mode = WAL");
        QCOMPARE(Words(*db), "cot cut");
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::System), QStringList{"LexivaneDB"});
    }

    // A writer that committed and ended without copying its log into the file leaves those
    // records in the log alone: they are read, at every start, and neither file changes.
    void recordsCommittedToALogAreRead_data()
    {
        QTest::addColumn<bool>("indexLeft");
        QTest::newRow("log and its index left") << true;
        QTest::newRow("log left, its index gone") << false;
    }

    void recordsCommittedToALogAreRead()
    {
        QFETCH(bool, indexLeft);
        const QString path = NewDatabasePath(), folder = QFileInfo(path).path();
        MakeLogLeftBeside(path);
        if (!indexLeft) QVERIFY(QFile::remove(path + "-shm"));
        const QByteArray file = FileBytes(path), log = FileBytes(path + "-wal");
        QVERIFY(log.size() > 32);
        for (int run = 0; run < 2; ++run) {
            auto db = Connected(path);
            QVERIFY(db);
            QCOMPARE(Words(*db), "cat cot");
        }
        QCOMPARE(FileBytes(path), file);
        QCOMPARE(FileBytes(path + "-wal"), log);
        QStringList made = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        made.removeAll("LexivaneDB-shm");   // the log's index may be made
        QCOMPARE(made, QStringList({"LexivaneDB", "LexivaneDB-wal"}));
    }

    // Another program's change, with its pages already in the file, is never read: while it
    // holds the file, reads fail after a short wait; once it died, a reader cannot roll it back.
    void changeInProgress()
    {
        const QString path = NewDatabasePath(), crashed = NewDatabasePath();
        RunSql(path, kWords);
        auto db = Connected(path);
        QVERIFY(db);
        {
            Writer writer(path);
            writer.Run("PRAGMA cache_size = 2; BEGIN; UPDATE thewords SET word = 'cpt';"
                       "INSERT INTO filler SELECT randomblob(3000) FROM filler;");
            QVERIFY(FileBytes(path).contains("cpt"));
            QCOMPARE(Words(*db), "error: database is locked");
            QVERIFY(!Connected(path));
            QVERIFY(QFile::copy(path, crashed) && QFile::copy(path + "-journal", crashed + "-journal"));
        }
        QCOMPARE(Words(*db), "cat");
        const QStringList left = Listing(QFileInfo(crashed).path());
        Database reader;
        reader.SetDatabaseFile(std::make_shared<FolderItem>(crashed));
        QVERIFY(!reader.Connect());
        QCOMPARE(reader.ErrorMessage(), "attempt to write a readonly database");   // the engine's words
        QCOMPARE(Listing(QFileInfo(crashed).path()), left);
    }

    void writerHoldingTheLogExclusively()
    {
        const QString path = NewDatabasePath();
        RunSql(path, "PRAGMA journal_mode = WAL;" + kWords);
        {
            Writer writer(path);
            writer.Run("PRAGMA locking_mode = EXCLUSIVE; INSERT INTO thewords VALUES (2, 'cot')");
            QVERIFY(QFile::exists(path + "-wal"));
            QVERIFY(!Connected(path));
        }
        auto db = Connected(path);
        QVERIFY(db);
        QCOMPARE(Words(*db), "cat cot");
    }

    // An index that is not a regular file of its own is never used: the log is read with an
    // index in memory, and neither the file, the log nor the index's other name changes.
    void indexThatMayNotBeShared_data()
    {
        QTest::addColumn<QString>("index");
        QTest::newRow("hard link") << "hard link";
        QTest::newRow("symbolic link") << "symbolic link";
    }

    void indexThatMayNotBeShared()
    {
        QFETCH(QString, index);
        const QString path = NewDatabasePath(), elsewhere = NewDatabasePath() + "-other";
        MakeLogLeftBeside(path);
        QFile other(elsewhere);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write(QByteArray(32768, 'k')) == 32768);
        other.close();
        QVERIFY(QFile::remove(path + "-shm"));
        const QByteArray shm = QFile::encodeName(path + "-shm");
        if (index == "hard link") QCOMPARE(::link(QFile::encodeName(elsewhere).constData(), shm.constData()), 0);
        if (index == "symbolic link") QVERIFY(QFile::link(elsewhere, path + "-shm"));
        const QStringList before = Listing(QFileInfo(path).path());
        auto db = Connected(path);
        QVERIFY(db);
        QCOMPARE(Words(*db), "cat cot");
        db.reset();
        QCOMPARE(Listing(QFileInfo(path).path()), before);
        QCOMPARE(FileBytes(elsewhere), QByteArray(32768, 'k'));
    }

    // A linked database is read with the files beside the file it points to; a stray log
    // beside the link changes nothing, and nothing is made beside either.
    void linkedDatabase()
    {
        const QString linked = NewDatabasePath(), target = NewDatabasePath() + "-target";
        MakeLogLeftBeside(target);
        QVERIFY(QFile::link(target, linked));
        auto db = Connected(linked);
        QVERIFY(db);
        QCOMPARE(Words(*db), "cat cot");
        db.reset();

        const QString strayLinked = NewDatabasePath(), logless = NewDatabasePath() + "-target";
        RunSql(logless, "PRAGMA journal_mode = WAL;" + kWords);
        QVERIFY(QFile::link(logless, strayLinked));
        QVERIFY(QFile::copy(target + "-wal", strayLinked + "-wal"));
        const QStringList linkFolder = Listing(QFileInfo(strayLinked).path());
        const QStringList targetFolder = Listing(QFileInfo(logless).path());
        db = Connected(strayLinked);
        QVERIFY(db);
        QCOMPARE(Words(*db), "cat");
        db.reset();
        QCOMPARE(Listing(QFileInfo(strayLinked).path()), linkFolder);
        QCOMPARE(Listing(QFileInfo(logless).path()), targetFolder);
    }

    // A writer ends its log (copies it into the file and deletes it) just after the reader
    // looked at the files: the engine, finding a log-mode file without a log, would make
    // one. The file is read alone instead, and nothing is made beside it.
    void logEndedBetweenTheLookAndTheOpen()
    {
        const QString path = NewDatabasePath(), ended = NewDatabasePath();
        MakeLogLeftBeside(path);
        QVERIFY(QFile::copy(path, ended) && QFile::copy(path + "-wal", ended + "-wal"));
        RunSql(ended, "PRAGMA wal_checkpoint(TRUNCATE)");
        QVERIFY(!QFile::exists(ended + "-wal"));
        race::onOpen = [&] {
            QFile::remove(path + "-wal");
            QFile::remove(path + "-shm");
            QFile::remove(path);
            QFile::rename(ended, path);
        };
        auto db = Connected(path);
        QVERIFY(db);
        QCOMPARE(Words(*db), "cat cot");
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList{"LexivaneDB"});

        // The same in a search on a connection that opened the file without a log: a writer
        // turns it into a log-mode file and ends its log before the search takes its lock.
        const QString rollback = NewDatabasePath();
        RunSql(rollback, kWords);
        db = Connected(rollback);
        QVERIFY(db);
        race::onSharedLock = [&] {
            race::onSharedLock = {};
            RunSql(rollback, "PRAGMA journal_mode = WAL; INSERT INTO thewords VALUES (2, 'cot')");
        };
        QCOMPARE(Words(*db), "cat cot");
        QCOMPARE(Listing(QFileInfo(rollback).path()).size(), 1);
    }

    // Two writers take turns holding the file while a search reopens it: however often it
    // has to wait, one search waits for them at most the lock wait in all.
    void writersTakingTurnsAtTheLock_data()
    {
        QTest::addColumn<int>("wait");
        QTest::newRow("short wait") << 250;
        QTest::newRow("the program's wait: its longest steps too") << QueryLimits().lockWait;
    }

    void writersTakingTurnsAtTheLock()
    {
        QFETCH(int, wait);
        const QString path = NewDatabasePath();
        RunSql(path, kWords);
        auto db = Connected(path);
        QVERIFY(db);
        QueryLimits limits;
        limits.lockWait = wait;
        db->SetLimits(limits);
        RunSql(path, "INSERT INTO thewords VALUES (2, 'cot')");   // the next search reopens
        Writer first(path), second(path);
        first.Run("BEGIN EXCLUSIVE");
        int turn = 0;
        race::onSharedLock = [&] {
            if (turn == 0 && race::slept >= wait * 600) {
                first.Run("COMMIT");
                turn = 1;
            } else if (turn == 1) {
                second.Run("BEGIN EXCLUSIVE");
                turn = 2;
            }
        };
        race::slept = 0;
        race::countSleeps = true;
        QCOMPARE(Words(*db), "error: database is locked");
        QCOMPARE(turn, 2);
        QVERIFY2(race::slept <= wait * 1000, qPrintable(QString("waited %1 ms").arg(race::slept / 1000)));
        second.Run("COMMIT");
        QCOMPARE(Words(*db), "cat cot");
    }

    // A writer's commit lands while the reopened connection, which takes no locks, reads the
    // file's first page, so that the page is read half old, half new: the read runs again.
    void commitDuringTheFirstRead()
    {
        const QString path = NewDatabasePath();
        RunSql(path, "PRAGMA journal_mode = WAL;" + kWords);   // a log-mode file without its log
        auto db = Connected(path);
        QVERIFY(db);
        RunSql(path, "INSERT INTO thewords VALUES (2, 'cot')");   // the next search reopens
        race::onFirstPage = [&](char* page) {
            RunSql(path, "INSERT INTO thewords VALUES (3, 'cut')");
            std::memset(page, 0, 16);
        };
        QCOMPARE(Words(*db), "cat cot cut");
        QVERIFY(!race::onFirstPage);

        // A writer that commits during every read: the search gives up after the lock wait.
        int commits = 0;
        std::function<void(char*)> commit = [&](char*) {
            if (++commits == 5000) return;   // far past the wait: a search that never gives up ends here
            RunSql(path, QString("INSERT INTO thewords VALUES (%1, 'cxt')").arg(commits + 10));
            race::onFirstPage = commit;
        };
        commit(nullptr);   // the first before the search, so that it opens afresh
        QCOMPARE(Words(*db), "error: database is locked");
        QVERIFY(commits > 1);
    }

    void blobInAUtf16File()
    {
        const QString path = NewDatabasePath();
        RunSql(path, "PRAGMA encoding = 'UTF-16le'; CREATE TABLE thewords (id INTEGER, word TEXT, definition);"
                     "INSERT INTO thewords VALUES (1, 'cat', CAST('a small feline' AS BLOB));");
        auto db = Connected(path);
        auto rs = db ? db->SQLSelect("select * from thewords where id = 1") : nullptr;
        QVERIFY(rs);
        rs->MoveFirst();
        QCOMPARE(rs->Field("definition")->StringValue(), "a small feline");
    }

    // Files beside the database read by a program that may only read them, or that lie in a
    // folder it cannot write: read in another process, which must not block.
    void readByAUserWhoMayOnlyRead_data()
    {
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("words");
        QTest::newRow("log without index, read-only folder") << "read-only folder" << "cat cot";
        QTest::newRow("index the user may not open") << "-shm 0600" << "cat cot";
        QTest::newRow("FIFO as the index") << "-shm FIFO" << "cat cot";
        QTest::newRow("FIFO as the log")
            << "-wal FIFO" << "error: The database cannot be read: LexivaneDB-wal beside it is not a regular file.";
        QTest::newRow("FIFO as the journal")
            << "-journal FIFO" << "error: The database cannot be read: LexivaneDB-journal beside it is not a regular file.";
    }

    void readByAUserWhoMayOnlyRead()
    {
        QFETCH(QString, beside);
        QFETCH(QString, words);
        if (geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty()
            || QStandardPaths::findExecutable("unshare").isEmpty())
            QSKIP("needs root, setpriv and unshare");
        const QString path = NewDatabasePath(), folder = QFileInfo(path).path();
        MakeLogLeftBeside(path);
        QVERIFY(QFile::remove(path + "-shm"));
        const QByteArray suffix = beside.section(' ', 0, 0).toLatin1();
        if (suffix == "-journal") RunSql(path, "PRAGMA journal_mode = DELETE");   // the log copied back
        if (suffix == "-wal") QVERIFY(QFile::remove(path + "-wal"));
        if (beside.endsWith("FIFO")) {
            QCOMPARE(mkfifo(QFile::encodeName(path + suffix).constData(), 0644), 0);
        } else if (suffix == "-shm") {
            QFile index(path + suffix);
            QVERIFY(index.open(QIODevice::WriteOnly) && index.write(QByteArray(32768, 0)) == 32768);
            index.close();
            QCOMPARE(chmod(QFile::encodeName(index.fileName()).constData(), 0600), 0);
        }
        for (const QString& p : {dir_.path(), folder, path, path + "-wal"})   // readable by all, as installed
            chmod(QFile::encodeName(p).constData(), QFileInfo(p).isDir() ? 0755 : 0644);
        const QStringList before = Listing(folder);

        QProcess reader;
        const QString self = QCoreApplication::applicationFilePath();
        if (beside == "read-only folder")
            reader.start("unshare", {"-m", "sh", "-c",
                                     "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" \"$1\""
                                     " && exec \"$2\" --read \"$3\"",
                                     "sh", folder, self, path});
        else
            reader.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", self, "--read", path});
        const bool ended = reader.waitForFinished(120000);
        if (!ended) reader.kill();
        QVERIFY2(ended, "the reader blocked");
        QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()), words);
        QCOMPARE(Listing(folder), before);
    }
};

// A reader in a process of its own: prints the words of the c-t search, or the error.
static int ReadAsAnotherProcess(const char* path)
{
    InitPluginEntrypoints();
    Database db;
    db.SetDatabaseFile(std::make_shared<FolderItem>(QString::fromLocal8Bit(path)));
    std::fputs(qPrintable(db.Connect() ? Words(db) : "error: " + db.ErrorMessage()), stdout);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--read") == 0) return ReadAsAnotherProcess(argv[2]);
    race::Install();
    QCoreApplication app(argc, argv);
    DatabaseSharingTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "database_sharing_test.moc"
