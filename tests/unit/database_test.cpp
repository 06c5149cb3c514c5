// The SQL layer: a read-only connection, one select at a time, records in the engine's order.
#include "platform/database.h"
#include "platform/folder_item.h"
#include "test_support.h"

#include <QtTest>
#include <limits>
#include <sqlite3.h>

Q_DECLARE_METATYPE(QueryLimits)

class DatabaseTest : public QObject {
    Q_OBJECT
    static constexpr const char* kBoundsSelect = "SELECT s, k FROM b";
    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }

    std::unique_ptr<Database> Connected(const QString& path)
    {
        auto db = std::make_unique<Database>();
        db->SetDatabaseFile(std::make_shared<FolderItem>(path));
        return db->Connect() ? std::move(db) : nullptr;
    }

    // A database file of the test's own, made by the statements, then connected.
    std::unique_ptr<Database> Made(const QString& name, const char* sql)
    {
        RunSql(Path(name), sql);
        return Connected(Path(name));
    }

private slots:
    void initTestCase()
    {
        InitPluginEntrypoints();
        RunSql(Path("words.db"),
            "CREATE TABLE thewords (id INTEGER PRIMARY KEY, word TEXT, type TEXT, definition TEXT);"
            "INSERT INTO thewords VALUES (4, 'cat', 'noun', 'a feline'), (5, 'cat', 'verb', NULL),"
            "(9, 'cot', 'noun', 'a small bed'), (12, 'café', 'noun', 'coffee house');");
    }

    void walDatabaseInAFolderNamedLikeAnAddress()
    {
        // Folder names that mean something in an address must stay part of the path; a
        // write-ahead-log database must not get its shared-memory and log files beside it.
        const QString folder = Path("a b#c?d%25e&f=g");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/LexivaneDB";
        RunSql(path, "PRAGMA journal_mode = WAL; CREATE TABLE thewords (id INTEGER, word TEXT);"
                     "INSERT INTO thewords VALUES (1, 'cat');");
        const QByteArray before = FileBytes(path);
        QVERIFY(before.size() > 100 && before[18] == 2);   // the file says it is in WAL mode
        auto db = Connected(path);
        auto rs = db ? db->SQLSelect("SELECT * from thewords where word like 'c_t'") : nullptr;
        QVERIFY(rs && rs->RecordCount() == 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"LexivaneDB"}));
        db.reset();
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"LexivaneDB"}));
        QCOMPARE(FileBytes(path), before);
    }

    // Text and integer as the engine's own C interface gives them, whatever the stored type.
    void valuesReadAsTheEngineReadsThem_data()
    {
        QTest::addColumn<QString>("value");   // SQL
        QTest::addColumn<qint64>("integer");
        constexpr qint64 kMax = std::numeric_limits<qint64>::max(), kMin = std::numeric_limits<qint64>::min();
        QTest::newRow("integer") << "4294967296" << qint64(4294967296);
        QTest::newRow("id stored as text") << "'12'" << qint64(12);
        QTest::newRow("text with blanks and a sign") << "' -7 x'" << qint64(-7);
        QTest::newRow("text with letters after") << "'12abc'" << qint64(12);
        QTest::newRow("text too large") << "'99999999999999999999'" << kMax;
        QTest::newRow("text one below the largest") << "'9223372036854775806'" << kMax - 1;
        QTest::newRow("text one past the largest") << "'9223372036854775808'" << kMax;
        QTest::newRow("text of the smallest") << "'-9223372036854775808'" << kMin;
        QTest::newRow("text one above the smallest") << "'-9223372036854775807'" << kMin + 1;
        QTest::newRow("text one past the smallest") << "'-9223372036854775809'" << kMin;
        QTest::newRow("integer of eight bytes") << "-9223372036854775808" << kMin;
        QTest::newRow("NULL") << "NULL" << qint64(0);
        QTest::newRow("real") << "2.5" << qint64(2);
        QTest::newRow("negative real") << "-2.5" << qint64(-2);
        QTest::newRow("real just below 3") << "2.9999999999999996" << qint64(2);
        QTest::newRow("real of 19 digits") << "1234567890123456789.0" << qint64(1234567890123456768);
        QTest::newRow("infinity") << "9e999" << kMax;
        QTest::newRow("minus infinity") << "-9e999" << kMin;
        QTest::newRow("byte-order mark first") << "char(65279) || 'cat'" << qint64(0);
        QTest::newRow("blob") << "x'3432'" << qint64(42);
    }

    void valuesReadAsTheEngineReadsThem()
    {
        QFETCH(QString, value);
        QFETCH(qint64, integer);
        const QString sql = "SELECT " + value + " AS v";
        auto db = Connected(Path("words.db"));
        auto rs = db ? db->SQLSelect(sql) : nullptr;
        QVERIFY(rs && rs->RecordCount() == 1);
        rs->MoveFirst();
        sqlite3* engine = nullptr;
        sqlite3_stmt* statement = nullptr;
        sqlite3_open(":memory:", &engine);
        QCOMPARE(sqlite3_prepare_v2(engine, sql.toUtf8().constData(), -1, &statement, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
        const qint64 engineInteger = sqlite3_column_int64(statement, 0);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        const QByteArray engineText(text, sqlite3_column_bytes(statement, 0));
        sqlite3_finalize(statement);
        sqlite3_close(engine);
        QCOMPARE(engineInteger, integer);
        QCOMPARE(rs->Field("v")->IntegerValue(), integer);
        QCOMPARE(rs->Field("v")->StringValue().toUtf8(), engineText);
    }

    // Records one after another whose texts differ in one byte only: each reads as its own,
    // the short, the eight-byte and the long, and those of a block of their own.
    void textsOfOneLengthToldApart_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("differing");   // the position of the one byte that differs
        for (int length : {1, 7, 8, 9, 16}) QTest::addRow("%d bytes, the last differs", length) << length << length - 1;
        QTest::newRow("9 bytes, the first differs") << 9 << 0;
        QTest::newRow("longer than a quarter block") << 300'000 << 299'999;
        QTest::newRow("longer than a block") << (3 << 20) << (3 << 20) - 1;
    }

    void textsOfOneLengthToldApart()
    {
        QFETCH(int, length);
        QFETCH(int, differing);
        const auto text = [&](char c) { return QString(differing, 'x') + c + QString(length - differing - 1, 'x'); };
        const auto sql = [&](char c) {
            return QString("SELECT replace(hex(zeroblob(%1)), '00', 'x') || '%2' || replace(hex(zeroblob(%3)), '00', 'x') AS v")
                .arg(differing).arg(c).arg(length - differing - 1);
        };
        auto db = Connected(Path("words.db"));
        auto rs = db ? db->SQLSelect(QStringList{sql('a'), sql('b'), sql('b'), sql('a')}.join(" UNION ALL ")) : nullptr;
        QVERIFY(rs && rs->RecordCount() == 4);
        rs->MoveFirst();
        for (char c : {'a', 'b', 'b', 'a'}) {
            QVERIFY(rs->Field("v")->StringValue() == text(c));
            rs->MoveNext();
        }
    }

    // Each bound of a select lets through a result of exactly its size and refuses one past
    // it: 5000 records of a 62-byte text and a one-byte integer (65 bytes kept each), and
    // the steps the engine reports to a progress handler called every 10,000 of them.
    void boundsOfASelectExactlyReached_data()
    {
        RunSql(Path("bounds.db"), "CREATE TABLE b (s TEXT, k INTEGER);"
                                  "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000)"
                                  "INSERT INTO b SELECT printf('%062d', i), 127 FROM c;");
        sqlite3* engine = nullptr;
        sqlite3_stmt* statement = nullptr;
        qint64 steps = 0;
        sqlite3_open_v2(Path("bounds.db").toUtf8().constData(), &engine, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_progress_handler(engine, 10000, [](void* n) { *static_cast<qint64*>(n) += 10000; return 0; }, &steps);
        sqlite3_prepare_v2(engine, kBoundsSelect, -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {}
        sqlite3_finalize(statement);
        sqlite3_close(engine);
        QTest::addColumn<QueryLimits>("limits");
        QTest::addColumn<QString>("message");   // none when the select succeeds
        const qint64 none = qint64(1) << 40, bytes = 5000 * 65;
        QTest::newRow("records at the bound") << QueryLimits{5000, none, none} << "";
        QTest::newRow("records one past") << QueryLimits{4999, none, none} << "too many records: the limit is 4999";
        QTest::newRow("bytes at the bound") << QueryLimits{none, bytes, none} << "";
        QTest::newRow("bytes one past") << QueryLimits{none, bytes - 1, none} << "result too big: the limit is 324999 bytes";
        QTest::newRow("steps at the bound") << QueryLimits{none, none, steps} << "";
        QTest::newRow("steps one past") << QueryLimits{none, none, steps - 1}
                                        << QString("query too long: the limit is %1 steps").arg(steps - 1);
    }

    void boundsOfASelectExactlyReached()
    {
        QFETCH(QueryLimits, limits);
        QFETCH(QString, message);
        auto db = Connected(Path("bounds.db"));
        QVERIFY(db);
        db->SetLimits(limits);
        auto rs = db->SQLSelect(kBoundsSelect);
        QCOMPARE(db->ErrorMessage(), message);
        QCOMPARE(rs ? rs->RecordCount() : -1, message.isEmpty() ? 5000 : -1);
    }

    // A name is known by its characters, also when the caller rewrites them in place.
    void fieldNamesRewrittenInPlace()
    {
        auto db = Connected(Path("words.db"));
        auto rs = db ? db->SQLSelect("SELECT * from thewords where id = 4") : nullptr;
        QVERIFY(rs);
        rs->MoveFirst();
        QChar characters[] = {u'w', u'o', u'r', u'd'};
        const QString name = QString::fromRawData(characters, 4);
        QCOMPARE(rs->Field(name)->StringValue(), QString("cat"));
        std::copy_n(u"type", 4, characters);
        QCOMPARE(rs->Field(name)->StringValue(), QString("noun"));
    }

    void recordsAndFieldsInEngineOrder()
    {
        auto db = Connected(Path("words.db"));
        auto rs = db ? db->SQLSelect("SELECT * from thewords where word like 'c_t'", false) : nullptr;
        QVERIFY(rs && rs->RecordCount() == 3);
        for (int pass = 0; pass < 2; ++pass) {   // MoveFirst rewinds
            QStringList seen;
            for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
                seen << rs->Field("word")->StringValue() + ":" + rs->Field("ID")->StringValue();
            QCOMPARE(seen, QStringList({"cat:4", "cat:5", "cot:9"}));
        }
        rs->MoveNext();   // past the end stays at the end
        QVERIFY(rs->Eof());
        auto none = db->SQLSelect("SELECT * FROM thewords WHERE id = 99");
        QVERIFY(none && none->RecordCount() == 0 && none->Eof());

        rs = db->SQLSelect("select * from thewords");
        DatabaseField* definition = rs->Field("Definition");
        QVERIFY(definition && !rs->Field("meaning"));
        QStringList values;   // a field follows the current record; NULL reads as empty
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) values << rs->Field("word")->StringValue() + "|" + definition->StringValue();
        QCOMPARE(values, QStringList({"cat|a feline", "cat|", "cot|a small bed", QString::fromUtf8("café|coffee house")}));
        QVERIFY(definition->StringValue().isEmpty() && rs->Field("id")->IntegerValue() == 0);   // no record
    }

    void manyRecordsKeepTheirCells()
    {
        auto db = Made("many.db",
            "CREATE TABLE t (n INTEGER, s TEXT, m INTEGER);"
            "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 20000)"
            "INSERT INTO t SELECT i, CASE WHEN i % 7 = 0 THEN 'é' ELSE '' END || printf('word %d ', i)"
            " || substr(printf('%.*c', 90, 'x'), 1, i % 90), (i - 10000) * (1 << (i % 49)) FROM c;");
        auto rs = db ? db->SQLSelect("SELECT s, n, m FROM t ORDER BY n") : nullptr;
        QVERIFY(rs && rs->RecordCount() == 20000);
        // A second record set alive beside the first keeps its own records.
        auto other = db->SQLSelect("SELECT n FROM t WHERE n <= 3");
        QVERIFY(other && other->RecordCount() == 3);
        rs->MoveFirst();
        for (int n = 1; n <= 20000; ++n, rs->MoveNext()) {   // texts of every length, integers of every size
            const QString s = QString(n % 7 == 0 ? "é" : "") + QString("word %1 ").arg(n) + QString(n % 90, 'x');
            const qint64 m = qint64(n - 10000) * (qint64(1) << (n % 49));
            // The fields asked in another order now and then.
            const bool sFirst = n % 5 != 0;
            const bool sRight = sFirst && rs->Field("s")->StringValue() == s;
            const bool numbersRight = rs->Field("n")->IntegerValue() == n && rs->Field("m")->IntegerValue() == m;
            QVERIFY2(!rs->Eof() && numbersRight && (sRight || rs->Field("s")->StringValue() == s), qPrintable(s));
        }
        QVERIFY(rs->Eof());
        QStringList small;
        for (other->MoveFirst(); !other->Eof(); other->MoveNext()) small << other->Field("n")->StringValue();
        QCOMPARE(small, QStringList({"1", "2", "3"}));
    }

    void recordsEndingAtTheEndOfTheirMemory()
    {
        // Records of sixteen bytes (two texts of six digits and a small number) fill the
        // record set's memory to its last byte; their last cells read like any other.
        auto db = Made("edge.db",
            "CREATE TABLE t (a TEXT, b TEXT, k INTEGER);"
            "WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM c WHERE i < 70000)"
            "INSERT INTO t SELECT printf('%06d', i), printf('%06d', i / 2), i % 100 FROM c;");
        auto rs = db ? db->SQLSelect("SELECT * FROM t") : nullptr;
        QVERIFY(rs && rs->RecordCount() == 70001);
        const QString a = "a", b = "b", k = "k";
        int i = 0, firstWrong = -1;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++i) {
            const bool right = rs->Field(k)->IntegerValue() == i % 100 && rs->Field(b)->StringValue().toInt() == i / 2
                               && rs->Field(a)->StringValue().toInt() == i;
            if (!right && firstWrong < 0) firstWrong = i;
        }
        QCOMPARE(firstWrong, -1);
    }

    void failedSelectsReportAnErrorAndWriteNothing()
    {
        Database unconnected;
        QVERIFY(!unconnected.Connect() && !unconnected.SQLSelect("SELECT 1"));
        QVERIFY(unconnected.Error() && !unconnected.ErrorMessage().isEmpty());
        const QByteArray before = FileBytes(Path("words.db"));
        auto db = Connected(Path("words.db"));
        QVERIFY(db);
        for (const char* refused : {"SELECT * FROM thewords; DELETE FROM thewords", "DELETE FROM thewords",
                                    "SELECT * FROM thewords WHERE word = 'o'clock'", "  ", "SELECT * from other"})
            QVERIFY2(!db->SQLSelect(refused) && db->Error(), refused);
        QCOMPARE(db->ErrorMessage(), QString("no such table: other"));   // as the engine words it
        // The next success clears it; a closing semicolon or comment is no second statement.
        auto rs = db->SQLSelect("SELECT * FROM thewords; -- all\n ;");
        QVERIFY(rs && rs->RecordCount() == 4 && !db->Error());
        db.reset();
        QCOMPARE(FileBytes(Path("words.db")), before);
        QCOMPARE(QDir(dir_.path()).entryList({"words.db*"}, QDir::Files), QStringList({"words.db"}));
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "database_test.moc"
