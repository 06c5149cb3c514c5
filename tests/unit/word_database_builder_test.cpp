#include "word_database_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

// A small dictionary in WordNet's own file format. "cat" has three noun senses; the
// index lists them as 3000 (youth), 1000 (feline), 2000 (CAT scan) - not file order.
const char* kHead =
    "  1 This software and database is being provided to you, the LICENSEE, by  \n"
    "  2 Princeton University under the following license.  \n";

const char* kFiles[][2] = {
    {"data.noun",
     "00001000 05 n 02 cat 0 true_cat 0 001 @ 00004000 n 0000 | feline mammal usually having thick soft fur; \"domestic cats\"  \n"
     "00002000 26 n 01 CAT 0 000 | a method of examining body organs  \n"
     "00003000 18 n 01 cat 1 000 | an informal term for a youth or man; \"a nice guy\"  \n"
     "00004000 14 n 01 Apple 0 000 | a computer maker  \n"},
    {"index.noun",
     "apple n 1 0 1 0 00004000  \n"
     "cat n 3 2 @ ~ 3 1 00003000 00001000 00002000  \n"
     "true_cat n 1 1 @ 1 0 00001000  \n"},
    {"data.verb", "00005000 35 v 01 cat 0 001 @ 00006000 v 0000 01 + 02 00 | beat with a whip  \n"},
    {"index.verb", "cat v 1 1 @ 1 0 00005000  \n"},
    {"data.adj",
     "00006000 00 a 01 able 0 000 | having the means to do something; \"able to swim\"  \n"
     "00007000 00 s 02 apple-shaped(p) 0 abloom(ip) 0 000 | shaped like an apple  \n"},
    {"index.adj",
     "able a 1 0 1 0 00006000  \n"
     "abloom a 1 0 1 0 00007000  \n"
     "apple-shaped a 1 0 1 0 00007000  \n"},
    {"data.adv", "00008000 02 r 01 a_cappella 0 000 | without musical accompaniment  \n"},
    {"index.adv", "a_cappella r 1 0 1 0 00008000  \n"},
};

} // namespace

class WordDatabaseBuilderTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString wordnet_;

    QStringList Query(const QString& output, const char* sql)
    {
        QStringList rows;
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(output).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            rows << QString("error: ") + sqlite3_errmsg(db);
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)));
            rows << cells.join('|');
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return rows;
    }

    bool Build(const QString& output, std::string* error)
    {
        return BuildWordDatabase(wordnet_.toStdString(), output.toStdString(), nullptr, error);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        wordnet_ = dir_.filePath("wordnet");
        QVERIFY(QDir().mkpath(wordnet_));
        for (const auto& [name, lines] : kFiles) {
            QFile file(wordnet_ + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(kHead) + lines);
        }
    }

    void buildsTheWordsInSearchOrder()
    {
        const QString output = dir_.filePath("LexivaneDB");
        std::string error;
        QVERIFY2(Build(output, &error), error.c_str());
        const QStringList expected = {
            "1|a cappella|adverb|without musical accompaniment",
            "2|able|adjective|having the means to do something; \"able to swim\"",
            "3|abloom|adjective|shaped like an apple",
            "4|Apple|noun|a computer maker",
            "5|apple-shaped|adjective|shaped like an apple",
            "6|CAT|noun|a method of examining body organs",
            "7|cat|noun|an informal term for a youth or man; \"a nice guy\"",
            "8|cat|noun|feline mammal usually having thick soft fur; \"domestic cats\"",
            "9|cat|verb|beat with a whip",
            "10|true cat|noun|feline mammal usually having thick soft fur; \"domestic cats\"",
        };
        QCOMPARE(Query(output, "SELECT * FROM thewords ORDER BY id"), expected);
        QCOMPARE(Query(output, "SELECT text FROM licence"),
                 QStringList("This software and database is being provided to you, the LICENSEE, by\n"
                             "Princeton University under the following license."));
        // The program's LIKE query uses the index and still gets every word's senses in a run.
        const QStringList plan = Query(output, "EXPLAIN QUERY PLAN SELECT * from thewords where word like 'c_t'");
        QVERIFY2(plan.join(' ').contains("USING INDEX thewords_word"), qPrintable(plan.join(' ')));
        QCOMPARE(Query(output, "SELECT id from thewords where word like 'c_t'"),
                 QStringList({"6", "7", "8", "9"}));
    }

    void failedBuildLeavesNoPartialDatabase()
    {
        QVERIFY(QFile::rename(wordnet_ + "/data.adv", wordnet_ + "/data.adv.away"));
        std::string error;
        const bool built = Build(dir_.filePath("Partial"), &error);
        QVERIFY(QFile::rename(wordnet_ + "/data.adv.away", wordnet_ + "/data.adv"));
        QVERIFY(!built);
        QVERIFY2(QString::fromStdString(error).contains("data.adv"), error.c_str());
        // Failing at the very end, when the finished file cannot take the output's name
        // (a folder has it), removes the temporary file too.
        QVERIFY(QDir(dir_.path()).mkdir("Taken"));
        QVERIFY(!Build(dir_.filePath("Taken"), &error));
        QCOMPARE(QDir(dir_.path()).entryList({"Partial*", "Taken*"}, QDir::Files | QDir::Dirs),
                 QStringList("Taken"));
    }
};

QTEST_GUILESS_MAIN(WordDatabaseBuilderTest)
#include "word_database_builder_test.moc"
