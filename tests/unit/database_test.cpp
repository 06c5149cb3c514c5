#include "platform/database.h"
#include "platform/folder_item.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

bool MakeDatabase(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

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
        QVERIFY(MakeDatabase(Path("words.db"),
            "CREATE TABLE thewords (id INTEGER PRIMARY KEY, word TEXT, type TEXT, definition TEXT, extra);"
            "INSERT INTO thewords VALUES (4, 'cat', 'noun', 'a feline', 2.5);"
            "INSERT INTO thewords VALUES (5, 'cat', 'verb', NULL, '12abc');"
            "INSERT INTO thewords VALUES (9, 'cot', 'noun', 'a small bed', ' -7 x');"
            "INSERT INTO thewords VALUES (12, 'café', 'noun', 'coffee house', NULL);"));
    }

    void connectRefusesWhatIsNoWordDatabase_data()
    {
        QTest::addColumn<QByteArray>("bytes");   // "<none>": no file at all
        QByteArray noise(8192, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("missing") << QByteArray("<none>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("cat noun a feline\n");
        QTest::newRow("random bytes") << noise;
    }
    void connectRefusesWhatIsNoWordDatabase()
    {
        QFETCH(QByteArray, bytes);
        const QString path = Path(QTest::currentDataTag());
        QFile file(path);
        if (bytes != "<none>" && (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()))
            QFAIL("cannot write the file");
        file.close();
        QVERIFY(!Connected(path));
        QCOMPARE(Bytes(path), bytes);   // neither created nor changed
        QVERIFY(!QFile::exists(path + "-journal"));

        QVERIFY(QDir(dir_.path()).mkpath("folder"));
        QVERIFY(!Connected(Path("folder")));
    }

    void failedSelectsReportAnError()
    {
        Database unconnected;
        QVERIFY(!unconnected.Connect());   // no file named
        QVERIFY(!unconnected.SQLSelect("SELECT 1"));
        QVERIFY(unconnected.Error() && !unconnected.ErrorMessage().isEmpty());

        QVERIFY(MakeDatabase(Path("other.db"), "CREATE TABLE other (x);"));
        auto db = Connected(Path("other.db"));
        QVERIFY(db);
        QVERIFY(!db->SQLSelect("SELECT * from thewords where word like 'c_t'"));
        QVERIFY(db->Error());
        QCOMPARE(db->ErrorMessage(), QString("no such table: thewords"));
        QVERIFY(db->SQLSelect("SELECT * FROM other"));   // the next success clears it
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
        QVERIFY(none && none->RecordCount() == 0 && none->Eof());
    }

    void fieldsAndValues()
    {
        auto db = Connected(Path("words.db"));
        auto rs = db ? db->SQLSelect("select * from thewords") : nullptr;
        QVERIFY(rs);
        QVERIFY(!rs->Field("meaning"));
        DatabaseField* definition = rs->Field("Definition");
        DatabaseField* extra = rs->Field("EXTRA");
        QVERIFY(definition && extra);
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
        QVERIFY(MakeDatabase(Path("many.db"),
            "CREATE TABLE t (n INTEGER, s TEXT);"
            "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 20000)"
            "INSERT INTO t SELECT i, printf('word %d ', i) || substr(printf('%.*c', 90, 'x'), 1, i % 90) FROM c;"));
        auto db = Connected(Path("many.db"));
        auto rs = db ? db->SQLSelect("SELECT s, n FROM t ORDER BY n") : nullptr;
        QVERIFY(rs && rs->RecordCount() == 20000);
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
        const QByteArray before = Bytes(Path("words.db"));
        auto db = Connected(Path("words.db"));
        QVERIFY(db);
        for (const char* refused : {"SELECT * FROM thewords; DELETE FROM thewords", "DELETE FROM thewords",
                                    "SELECT * FROM thewords WHERE word = 'o'clock'", "  "}) {
            QVERIFY2(!db->SQLSelect(refused) && db->Error(), refused);
        }
        // A closing semicolon or comment is not a second statement.
        auto rs = db->SQLSelect("SELECT * FROM thewords; -- all\n ;");
        QVERIFY(rs && rs->RecordCount() == 4);
        db.reset();
        QCOMPARE(Bytes(Path("words.db")), before);
        QCOMPARE(QDir(dir_.path()).entryList({"words.db*"}, QDir::Files), QStringList({"words.db"}));
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "database_test.moc"
