// The pattern search on small word databases (rows, id tags, count label, no-match and
// error paths, pasted wildcards and quotes) and the search field's key filter.
#include "search/window1.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QtTest>

using Records = std::vector<WordRecord>;
Q_DECLARE_METATYPE(Records)
Q_DECLARE_METATYPE(QueryLimits)

namespace {
// "id:word:type;..." in the engine's order; each definition is "d" and the id.
Records R(const QString& text)
{
    Records out;
    for (const QString& record : text.split(';')) {
        const QStringList p = record.split(':');
        out.push_back({p[0].toLongLong(), p[1], p[2], "d" + p[0]});
    }
    return out;
}

const Records kSmall = R("4:cat:noun;5:cat:verb;9:cot:noun;11:cats:noun;12:dog:noun");
}  // namespace

class PatternSearchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPackage> package_;
    QByteArray databaseBytes_;

    Window1* w() { return Window1::Instance(); }
    Listbox* list() { return w()->Listbox1(); }
    QWidget* field() { return w()->EFfindword()->Widget(); }

    void startWith(const Records& records)
    {
        package_ = std::make_unique<TestPackage>();
        package_->setWords(records);
        databaseBytes_ = FileBytes(package_->databasePath());
        QVERIFY(StartProgram(*package_));
    }

    // Every row as "word|tag", separated by blanks.
    QString rows()
    {
        QStringList out;
        for (int i = 0; i < list()->ListCount(); ++i) out << list()->Cell(i, 0) + "|" + list()->CellTag(i, 0);
        return out.join(' ');
    }

    // Presses "do" with this search text; returns the text of any message box shown.
    QString search(const QString& text)
    {
        w()->EFfindword()->SetText(text);
        return MessagesOf([this] { QTest::mouseClick(w()->PushButton1()->Widget(), Qt::LeftButton); }).join("\n");
    }

    // Starts on kSmall and sends key events to the search field. Steps, "|"-separated: "+Left"
    // holds a key, "-Left" releases it, "=Left" clicks it; others are typed, non-ASCII too.
    void keys(const QString& steps)
    {
        startWith(kSmall);
        w()->EFfindword()->SetFocus();
        const QHash<QString, Qt::Key> named{
            {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"Backspace", Qt::Key_Backspace}};
        for (const QString& step : steps.split('|')) {
            const Qt::Key key = named.value(step.mid(1), Qt::Key_unknown);
            if (key != Qt::Key_unknown)
                QTest::keyEvent(step[0] == '+' ? QTest::Press : step[0] == '-' ? QTest::Release : QTest::Click,
                                field(), key);
            else for (const QChar c : step)
                QTest::sendKeyEvent(QTest::Click, field(), Qt::Key(c.toUpper().unicode()), QString(c), {});
        }
    }

private slots:
    void cleanup()
    {
        StopProgram();
        // Whatever the searches did, the word database is read only.
        QCOMPARE(FileBytes(package_->databasePath()), databaseBytes_);
        package_.reset();
    }

    void searchReplacesTheList_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("count");
        QTest::newRow("c-t") << kSmall << "c-t" << "cat|4,5 cot|9" << "2";
        QTest::newRow("length counts") << kSmall << "----" << "cats|11" << "1";
        QTest::newRow("no match keeps the count") << kSmall << "zzz" << "" << "4";
        QTest::newRow("contraction in a run") << R("1:be:noun;2:be:contraction of;3:be:verb") << "be" << "be|1,3"
                                              << "1";
        QTest::newRow("contraction in capitals") << R("1:be:noun;2:be:Contraction Of;3:be:verb") << "be" << "be|1,3"
                                                 << "1";
        QTest::newRow("only contractions") << R("1:cat:noun;3:isn't:contraction of") << "isn't" << "" << "0";
        QTest::newRow("adjacent runs only") << R("1:ab:noun;2:ac:noun;3:ab:verb") << "a-" << "ab|1 ac|2 ab|3" << "3";
        QTest::newRow("letter case") << R("1:Cat:noun;2:cat:noun;3:CAT:verb") << "cat" << "Cat|1,2,3" << "1";
        QTest::newRow("empty first word") << R("1::noun;2::verb;3:a:noun") << "" << "|1,2" << "1";
        QTest::newRow("pasted percent and underscore") << kSmall << "_o%" << "cot|9 dog|12" << "2";
        QTest::newRow("pasted quote") << R("1:o'clock:adverb;2:oxclock:noun") << "o'-lock" << "o'clock|1" << "1";
        QTest::newRow("non-ASCII letter") << R("1:café:noun;2:cafes:noun") << "caf-" << "café|1" << "1";
        QTest::newRow("pasted non-ASCII word") << R("1:café:noun;2:cafe:noun;3:cafes:noun") << "café" << "café|1" << "1";
        QTest::newRow("byte-order mark kept") << R("1:\uFEFFcat:noun;2:cat:verb") << "%" << QChar(0xFEFF) + QString("cat|1 cat|2") << "2";
        QTest::newRow("large ids") << R("4294967296:cat:noun;7:cat:verb") << "cat" << "cat|4294967296,7" << "1";
    }

    void searchReplacesTheList()
    {
        QFETCH(Records, records);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QString, count);
        startWith(records);
        QCOMPARE(w()->StaticText3()->Text(), QString("0"));
        // A search before, with a selection: the new one replaces rows and selection.
        QCOMPARE(search("%"), QString());
        list()->SetListIndex(0);
        QCOMPARE(search(text), QString());
        QCOMPARE(rows(), expected);
        QCOMPARE(w()->StaticText3()->Text(), count);
        QCOMPARE(list()->ListIndex(), -1);
        QCOMPARE(w()->EFfindword()->Text(), text);
    }

    void queryErrorShowsTheEngineMessageAndChangesNothing()
    {
        startWith(kSmall);
        // Rows can be selected straight after the search, with no event run between.
        w()->EFfindword()->SetText("c-t");
        w()->getwords();
        list()->SetListIndex(1);
        QCOMPARE(w()->EFdefinition()->Text(), QString("d9"));
        QCOMPARE(search(QString(60000, '-')), QString("LIKE or GLOB pattern too complex"));
        // A result over the bound fails whole: none of its records reach the list.
        w()->db->SetLimits({3, qint64(1) << 20, 1'000'000});
        QCOMPARE(search("%"), QString("too many records: the limit is 3"));
        QCOMPARE(rows(), QString("cat|4,5 cot|9"));
        QCOMPARE(list()->ListIndex(), 1);
        QCOMPARE(w()->EFdefinition()->Text(), QString("d9"));
        QCOMPARE(w()->StaticText3()->Text(), QString("2"));
    }

    void hostileOrBrokenTablesEndInTheEngineStyleMessage_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QueryLimits>("limits");
        QTest::addColumn<QString>("message");
        const QString endless = "CREATE VIEW thewords AS WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c)"
                                " SELECT i AS id, 'w' || i AS word, 'noun' AS type, 'endless' AS definition FROM c";
        QTest::newRow("no table") << "CREATE TABLE words (word)" << "dog" << QueryLimits() << "no such table: thewords";
        // Stepping without end finds no match: only a bound on the engine's work stops it.
        QTest::newRow("endless, no match") << endless << "c-t" << QueryLimits{1000, 1 << 20, 2'000'000}
                                           << "query too long: the limit is 2000000 steps";
        QTest::newRow("endless, all records") << endless << "%" << QueryLimits{5000, 1 << 20, 1'000'000'000}
                                              << "too many records: the limit is 5000";
        QTest::newRow("endless, all bytes") << endless << "%" << QueryLimits{1'000'000, 1 << 18, 1'000'000'000}
                                            << "result too big: the limit is 262144 bytes";
    }

    void hostileOrBrokenTablesEndInTheEngineStyleMessage()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QFETCH(QueryLimits, limits);
        QFETCH(QString, message);
        package_ = std::make_unique<TestPackage>();
        RunSql(package_->databasePath(), sql);
        databaseBytes_ = FileBytes(package_->databasePath());
        QVERIFY(StartProgram(*package_));
        w()->db->SetLimits(limits);
        // One message each time, and the program goes on as before.
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(search(text), message);
            QCOMPARE(list()->ListCount(), 0);
            QCOMPARE(w()->StaticText3()->Text(), QString("0"));
        }
        QTest::keyClicks(field(), "ca");
        QCOMPARE(w()->EFfindword()->Text(), text + "ca");
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters, capitals and minus") << "c-aT" << "c-aT";
        QTest::newRow("first and last letters") << "azAZ" << "azAZ";
        QTest::newRow("digit, space, underscore, percent, quote") << "c4 _%'t" << "ct";
        QTest::newRow("characters next to the letters") << "[`a{" << "a";
        QTest::newRow("non-ASCII letter") << "café" << "caf";
        QTest::newRow("editing keys after a refused key") << "cat|9|=Left|=Left|=Backspace|o|=Right|-" << "oa-t";
        // While the key is held any key goes in; released, the filter refuses again.
        QTest::newRow("held backspace") << "cat|+Backspace|4 %|-Backspace|9" << "ca4 %";
        QTest::newRow("held left") << "cat|+Left|4 %|-Left|9" << "ca4 %t";
        QTest::newRow("held right") << "cat|=Left|+Right|4 %|-Right|9" << "cat4 %";
    }

    void keyFilter()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        keys(steps);
        QCOMPARE(w()->EFfindword()->Text(), expected);
    }

    void pastedTextIsNotFilteredAndReturnSearches()
    {
        // A refused key just before must not block either way of pasting.
        keys("c7");
        QApplication::clipboard()->setText("%");
        w()->EditPaste()->Action()->trigger();
        QCOMPARE(w()->EFfindword()->Text(), QString("c%"));
        // A pasted wildcard acts as one.
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(rows(), QString("cat|4,5 cot|9 cats|11"));
        QCOMPARE(w()->StaticText3()->Text(), QString("3"));
        QTest::keyClicks(field(), "7");
        QApplication::clipboard()->setText(" 1_'");
        QTest::keyClick(field(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w()->EFfindword()->Text(), QString("c% 1_'"));
    }
};

QTEST_MAIN(PatternSearchTest)
#include "pattern_search_test.moc"
