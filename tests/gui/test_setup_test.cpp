// Setting up a definition test from the main list: the words taken, the question, the answer tags.
#include "definition_test/word_defn_test_w.h"
#include "platform/menu_dispatch.h"
#include "search/window1.h"
#include "test_support.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kQuestion = "More than 20 words in list, take 20 words?\nWords will be selected randomly. |"
                          + QString::number(QMessageBox::Question) + "|OK";
QString wordOf(int id) { return QString("w%1").arg(id, 3, 10, QChar('0')); }
QStringList numbered(int n)
{
    QStringList rows;
    for (int id = 1; id <= n; ++id) rows << wordOf(id) + "|" + QString::number(id);
    return rows;
}
}  // namespace

class TestSetupTest : public QObject {
    Q_OBJECT

    TestPackage package_;
    Listbox* mainList() { return Window1::Instance()->Listbox1(); }
    WordDefnTestW* test() { return WordDefnTestW::Instance(); }
    bool testOpen() { return Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"); }

    QStringList cells(Listbox* list)
    {
        QStringList result;
        for (int r = 0; r < list->ListCount(); ++r) result << list->Cell(r, 0) + "|" + list->CellTag(r, 0);
        return result;
    }

    // Options > Definition test on these rows ("word|ids") of the main list; a question is answered
    // with the button `answer`. Returns the question's text, icon and default button, if asked.
    QString runCommand(const QStringList& rows, const QString& answer = "OK")
    {
        mainList()->DeleteAllRows();
        for (const QString& row : rows) {
            mainList()->AddRow(row.section('|', 0, 0));
            mainList()->SetCellTag(mainList()->LastIndex(), 0, row.section('|', 1));
        }
        QString asked;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            asked = QString("%1|%2|%3").arg(ModalText(box)).arg(box->icon()).arg(box->defaultButton()->text());
            ClickButton(box, answer);
        });
        answerer.start(10);
        Window1::Instance()->Show();
        DispatchMenuCommand(Window1::Instance()->OptionsDefinitiontest());
        return asked;
    }

    // Each word row has its own definition once, tagged with the row, or an empty one tagged
    // -1 ("blank" has an empty definition, "gone" none); the staging list is empty again.
    void verifyTest()
    {
        QVERIFY(testOpen() && test()->TopLevelWidget()->isVisible() && !test()->isdone);
        QCOMPARE(test()->Listbox3()->ListCount(), 0);
        QStringList want, shown = cells(test()->ListBox2());
        for (int r = 0; r < test()->ListBox1()->ListCount(); ++r) {
            const QString word = test()->ListBox1()->Cell(r, 0);
            want << (word == "blank" || word == "gone" ? "|-1" : "definition of " + word + "|" + QString::number(r));
        }
        want.sort();
        shown.sort();
        QCOMPARE(shown, want);
    }

private slots:
    void init()
    {
        std::vector<WordRecord> records;
        for (int id = 1; id <= 130; ++id) records.push_back({id, wordOf(id), "noun", "definition of " + wordOf(id)});
        records.insert(records.end(), {{200, "multi", "noun", "first sense"}, {201, "multi", "verb", "second sense"},
                                       {202, "multi", "adjective", "third sense"}, {300, "blank", "noun", ""},
                                       {400, "pair", "noun", "definition of pair"}, {401, "pair", "verb", "definition of pair"},
                                       {500, "two\rlines", "noun", "definition of two\rlines"}});
        package_.setWords(records);
        QVERIFY(StartProgram(package_));
    }
    void cleanup() { StopProgram(); }

    // Up to 20 rows: all; below 100: 20 left by random removals; from 100: 20 distinct draws.
    void choosesTheTestWords_data()
    {
        QTest::addColumn<QStringList>("rows");
        for (int n : {2, 20, 21, 99, 100, 130}) QTest::addRow("%d rows", n) << numbered(n);
        QTest::newRow("same word twice") << QStringList{"w001|1", "w001|1", "w002|2"};
        QTest::newRow("empty or missing definition") << QStringList{"w001|1", "blank|300", "gone|999", "w002|2"};
        QTest::newRow("word of two records") << QStringList{"w001|1", "pair|400,401"};
        QTest::newRow("definition of two lines") << QStringList{"two\rlines|500", "w001|1"};
    }

    void choosesTheTestWords()
    {
        QFETCH(QStringList, rows);
        const int n = int(rows.size());
        Window1::Instance()->randomize->Seed(quint32(n));
        QCOMPARE(runCommand(rows), n > 20 ? kQuestion : QString());
        verifyTest();
        QCOMPARE(cells(mainList()), rows);
        Random replay;  // the same generator, replayed
        replay.Seed(quint32(n));
        QStringList taken = n < 100 ? rows : QStringList();
        while (n > 20 && taken.size() > 20) taken.removeAt(int(replay.InRange(0, taken.size() - 1)));
        while (n >= 100 && taken.size() < 20) {
            const QString row = rows[int(replay.InRange(0, n - 1))];
            if (!taken.contains(row)) taken << row;
        }
        QCOMPARE(cells(test()->ListBox1()), taken.replaceInStrings(QRegularExpression("\\|.*"), "|"));
    }

    // Also a window with an earlier test; the main list stays, the next command opens anew.
    void cancelClosesTheWindow()
    {
        for (bool earlierTest : {false, true}) {
            if (earlierTest) runCommand(numbered(3));
            QVERIFY(!runCommand(numbered(25), "Cancel").isEmpty());
            QVERIFY(!testOpen());
            QCOMPARE(cells(mainList()), numbered(25));
            Settle();
        }
        runCommand(numbered(2));
        verifyTest();
    }

    // Each of twenty rows of one word with three records draws one of its definitions.
    void wordWithSeveralRecordsDrawsOneOfThem()
    {
        Window1::Instance()->randomize->Seed(1);
        runCommand(QStringList(20, "multi|200,201,202"));
        QSet<QString> shown;
        for (const QString& cell : cells(test()->ListBox2())) shown << cell.section('|', 0, 0);
        QCOMPARE(shown, (QSet<QString>{"first sense", "second sense", "third sense"}));
    }
};

QTEST_MAIN(TestSetupTest)
#include "test_setup_test.moc"
