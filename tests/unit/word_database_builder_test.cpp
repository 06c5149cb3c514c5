// The word database builder: senses in search order, the licence, the index, no partial file.
#include "word_database_builder.h"

#include <QtTest>
#include <sqlite3.h>

namespace {
// A small dictionary in WordNet's own file format. "cat" has three noun senses; the
// index lists them as 3000 (youth), 1000 (feline), 2000 (CAT scan) - not file order.
const char* kHead = "  1 This software and database is being provided to you, the LICENSEE, by  \n"
                    "  2 Princeton University under the following license.  \n";

const char* kFiles[][2] = {
    {"data.noun",
     "00001000 05 n 02 cat 0 true_cat 0 001 @ 00004000 n 0000 | feline mammal usually having thick soft fur; \"domestic cats\"  \n"
     "00002000 26 n 01 CAT 0 000 | a method of examining body organs  \n"
     "00003000 18 n 01 cat 1 000 | an informal term for a youth or man; \"a nice guy\"  \n"
     "00004000 14 n 01 Apple 0 000 | a computer maker  \n"},
    {"index.noun", "apple n 1 0 1 0 00004000  \ncat n 3 2 @ ~ 3 1 00003000 00001000 00002000  \n"
                   "true_cat n 1 1 @ 1 0 00001000  \n"},
    {"data.verb", "00005000 35 v 01 cat 0 001 @ 00006000 v 0000 01 + 02 00 | beat with a whip  \n"},
    {"index.verb", "cat v 1 1 @ 1 0 00005000  \n"},
    {"data.adj", "00006000 00 a 01 able 0 000 | having the means to do something; \"able to swim\"  \n"
     "00007000 00 s 02 apple-shaped(p) 0 abloom(ip) 0 000 | shaped like an apple  \n"
     "00009000 00 a 01 elect(a) 0 000 | elected but not yet installed; \"président elect\"  \n"},
    // One line ends as a file written on Windows would end it.
    {"index.adj", "able a 1 0 1 0 00006000  \nabloom a 1 0 1 0 00007000  \napple-shaped a 1 0 1 0 00007000  \n"
                  "elect a 1 0 1 0 00009000  \r\n"},
    {"data.adv", "00008000 02 r 01 a_cappella 0 000 | without musical accompaniment  \n"},
    {"index.adv", "a_cappella r 1 0 1 0 00008000  \n"},
};

// Every row of a query on the output, cells joined with "|".
QStringList Query(const QString& output, const char* sql)
{
    QStringList rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(output).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, sql, [](void* rows, int count, char** cells, char**) {
        QStringList row;
        for (int c = 0; c < count; ++c) row << QString::fromUtf8(cells[c]);
        static_cast<QStringList*>(rows)->append(row.join('|'));
        return 0;
    }, &rows, nullptr);
    sqlite3_close(db);
    return rows;
}
}  // namespace

class WordDatabaseBuilderTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString wordnet_ = dir_.filePath("wordnet");

    bool Build(const QString& out, std::string* error) { return BuildWordDatabase(wordnet_.toStdString(), out.toStdString(), nullptr, error); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(wordnet_));
        for (const auto& [name, lines] : kFiles) {
            QFile file(wordnet_ + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(kHead) + lines) > 0);
        }
    }

    void buildsTheWordsInSearchOrder()
    {
        const QString output = dir_.filePath("LexivaneDB");
        std::string error;
        QVERIFY2(Build(output, &error), error.c_str());
        QCOMPARE(Query(output, "SELECT * FROM thewords ORDER BY id"), QStringList({
            "1|a cappella|adverb|without musical accompaniment",
            "2|able|adjective|having the means to do something; \"able to swim\"",
            "3|abloom|adjective|shaped like an apple", "4|Apple|noun|a computer maker",
            "5|apple-shaped|adjective|shaped like an apple", "6|CAT|noun|a method of examining body organs",
            "7|cat|noun|an informal term for a youth or man; \"a nice guy\"",
            "8|cat|noun|feline mammal usually having thick soft fur; \"domestic cats\"", "9|cat|verb|beat with a whip",
            "10|elect|adjective|elected but not yet installed; \"président elect\"",
            "11|true cat|noun|feline mammal usually having thick soft fur; \"domestic cats\""}));
        QCOMPARE(Query(output, "SELECT text FROM licence"), QStringList("This software and database is being provided to "
                 "you, the LICENSEE, by\nPrinceton University under the following license."));
        // The program's LIKE query uses the index and still gets every word's senses in a run.
        const QString plan = Query(output, "EXPLAIN QUERY PLAN SELECT * from thewords where word like 'c_t'").join(' ');
        QVERIFY2(plan.contains("USING INDEX thewords_word"), qPrintable(plan));
        QCOMPARE(Query(output, "SELECT id from thewords where word like 'c_t'"), QStringList({"6", "7", "8", "9"}));
    }

    void failedBuildLeavesNoPartialDatabase()
    {
        QVERIFY(QFile::rename(wordnet_ + "/data.adv", wordnet_ + "/data.adv.away"));
        std::string error;
        const bool built = Build(dir_.filePath("Partial"), &error);
        QVERIFY(QFile::rename(wordnet_ + "/data.adv.away", wordnet_ + "/data.adv"));
        QVERIFY(!built);
        QVERIFY2(QString::fromStdString(error).contains("data.adv"), error.c_str());
        // Failing at the very end, when a folder has the output's name, removes the temporary file too.
        QVERIFY(QDir(dir_.path()).mkdir("Taken") && !Build(dir_.filePath("Taken"), &error));
        QCOMPARE(QDir(dir_.path()).entryList({"Partial*", "Taken*"}, QDir::Files | QDir::Dirs), QStringList("Taken"));
    }
};

QTEST_GUILESS_MAIN(WordDatabaseBuilderTest)
#include "word_database_builder_test.moc"
