#include "platform/database.h"
#include "platform/folder_item.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

void MakeDatabase(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(text));
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* kWords =
    "CREATE TABLE thewords (id INTEGER PRIMARY KEY, word TEXT, type TEXT, definition TEXT, extra);"
    "INSERT INTO thewords VALUES (4, 'cat', 'noun', 'a feline', 2.5);"
    "INSERT INTO thewords VALUES (5, 'cat', 'verb', NULL, '12abc');"
    "INSERT INTO thewords VALUES (9, 'cot', 'noun', 'a small bed', ' -7 x');"
    "INSERT INTO thewords VALUES (12, 'café', 'noun', 'coffee house', NULL);";

} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }

    std::unique_ptr<Database> Connected(const QString& path)
    {
        auto db = std::make_unique<Database>();
        db->SetDatabaseFile(std::make_shared<FolderItem>(path));
        return db->Connect() ? std::move(db) : nullptr;
    }

private slots:
    void initTestCase()
    {
        InitPluginEntrypoints();
        QVERIFY(dir_.isValid());
        MakeDatabase(Path("words.db"), kWords);
    }

    void missingFileIsNotCreated()
    {
        QVERIFY(!Connected(Path("LexivaneDB")));
        QVERIFY(!QFile::exists(Path("LexivaneDB")));
        Database noFile;
        QVERIFY(!noFile.Connect());
    }

    void nonDatabasesAreRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("cat noun a feline\n");
        QByteArray noise(8192, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("random bytes") << noise;
    }
    void nonDatabasesAreRefusedAndLeftAlone()
    {
        QFETCH(QByteArray, bytes);
        const QString path = Path("not-a-db");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QVERIFY(!Connected(path));
        QCOMPARE(Bytes(path), bytes);
        QVERIFY(!QFile::exists(path + "-journal"));
    }

    void folderIsRefused()
    {
        QVERIFY(QDir(dir_.path()).mkpath("folder.db"));
        QVERIFY(!Connected(Path("folder.db")));
    }

    void selectWithoutConnectionFails()
    {
        Database db;
        QVERIFY(!db.SQLSelect("SELECT 1"));
        QVERIFY(db.Error());
        QVERIFY(!db.ErrorMessage().isEmpty());
    }

    void missingTableGivesTheEngineMessage()
    {
        const QString path = Path("other.db");
        MakeDatabase(path, "CREATE TABLE other (x);");
        auto db = Connected(path);
        QVERIFY(db);
        QVERIFY(!db->SQLSelect("SELECT * from thewords where word like 'c_t'"));
        QVERIFY(db->Error());
        QCOMPARE(db->ErrorMessage(), QString("no such table: thewords"));
        // The next statement that works clears the error.
        QVERIFY(db->SQLSelect("SELECT * FROM other"));
        QVERIFY(!db->Error());
    }

    void recordsComeInEngineOrder()
    {
        auto db = Connected(Path("words.db"));
        QVERIFY(db);
        auto rs = db->SQLSelect("SELECT * from thewords where word like 'c_t'", false);
        QVERIFY(rs);
        QCOMPARE(rs->RecordCount(), 3);
        for (int pass = 0; pass < 2; ++pass) {   // MoveFirst rewinds
            rs->MoveFirst();
            QStringList seen;
            for (; !rs->Eof(); rs->MoveNext())
                seen << rs->Field("word")->StringValue() + ":" + rs->Field("ID")->StringValue();
            QCOMPARE(seen, QStringList({"cat:4", "cat:5", "cot:9"}));
        }
        rs->MoveNext();   // past the end stays at the end
        QVERIFY(rs->Eof());

        auto none = db->SQLSelect("SELECT * FROM thewords WHERE id = 99");
        QVERIFY(none);
        QCOMPARE(none->RecordCount(), 0);
        QVERIFY(none->Eof());
    }

    void fieldsAndValues()
    {
        auto db = Connected(Path("words.db"));
        QVERIFY(db);
        auto rs = db->SQLSelect("select * from thewords");
        QVERIFY(rs);
        QVERIFY(!rs->Field("meaning"));
        DatabaseField* definition = rs->Field("Definition");
        DatabaseField* extra = rs->Field("EXTRA");
        QVERIFY(definition && extra);
        QCOMPARE(rs->Field("id")->IntegerValue(), qint64(4));
        QCOMPARE(extra->StringValue(), QString("2.5"));   // a real as the engine prints it
        QCOMPARE(extra->IntegerValue(), qint64(2));
        rs->MoveNext();
        QCOMPARE(definition->StringValue(), QString());    // NULL
        QCOMPARE(definition->IntegerValue(), qint64(0));
        QCOMPARE(extra->IntegerValue(), qint64(12));        // leading integer of a text
        rs->MoveNext();
        QCOMPARE(extra->IntegerValue(), qint64(-7));
        rs->MoveNext();
        QCOMPARE(rs->Field("word")->StringValue(), QString::fromUtf8("café"));
        rs->MoveNext();
        QVERIFY(rs->Eof());
        QCOMPARE(definition->StringValue(), QString());   // no current record
        QCOMPARE(rs->Field("id")->IntegerValue(), qint64(0));
    }

    void manyRecordsKeepTheirCells()
    {
        const QString path = Path("many.db");
        MakeDatabase(path, "CREATE TABLE t (n INTEGER, s TEXT);"
                           "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 20000)"
                           "INSERT INTO t SELECT i, printf('word %d ', i)"
                           "  || substr(printf('%.*c', 90, 'x'), 1, i % 90) FROM c;");
        auto db = Connected(path);
        QVERIFY(db);
        auto rs = db->SQLSelect("SELECT s, n FROM t ORDER BY n");
        QVERIFY(rs);
        QCOMPARE(rs->RecordCount(), 20000);
        int n = 0;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            ++n;
            const QString expected = QString("word %1 ").arg(n) + QString(n % 90, 'x');
            if (rs->Field("s")->StringValue() != expected || rs->Field("n")->IntegerValue() != n)
                QFAIL(qPrintable(QString("record %1 is wrong").arg(n)));
        }
        QCOMPARE(n, 20000);
    }

    void onlyOneReadingStatementRuns()
    {
        const QString path = Path("words.db");
        const QByteArray before = Bytes(path);
        auto db = Connected(path);
        QVERIFY(db);
        QVERIFY(!db->SQLSelect("SELECT * FROM thewords; DELETE FROM thewords"));
        QVERIFY(db->Error());
        QVERIFY(!db->SQLSelect("DELETE FROM thewords"));
        QVERIFY(db->Error());
        QVERIFY(!db->SQLSelect("SELECT * FROM thewords WHERE word = 'o'clock'"));
        QVERIFY(!db->SQLSelect("  "));
        // A closing semicolon or comment is not a second statement.
        auto rs = db->SQLSelect("SELECT * FROM thewords; -- all\n ;");
        QVERIFY(rs);
        QCOMPARE(rs->RecordCount(), 4);
        db.reset();
        QCOMPARE(Bytes(path), before);
        QCOMPARE(QDir(dir_.path()).entryList({"words.db*"}, QDir::Files), QStringList({"words.db"}));
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "database_test.moc"
