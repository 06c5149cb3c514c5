// Setting up a definition test from the main list: which words are taken and in which
// order, the question above twenty words, and the definition and answer tag that each
// word's row gets.
#include "definition_test/word_defn_test_w.h"
#include "platform/menu_dispatch.h"
#include "platform/random.h"
#include "search/window1.h"
#include "test_support.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kQuestion = "More than 20 words in list, take 20 words?\nWords will be selected randomly. ";
using Rows = QList<QPair<QString, QString>>;  // word, id list

QString wordOf(int id) { return QString("w%1").arg(id, 3, 10, QChar('0')); }
}  // namespace

class TestSetupTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;

    Window1* main() { return Window1::Instance(); }
    WordDefnTestW* test()
    {
        return static_cast<WordDefnTestW*>(Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"));
    }

    void fillMain(const Rows& rows)
    {
        main()->Listbox1()->DeleteAllRows();
        for (const auto& [word, ids] : rows) {
            main()->Listbox1()->AddRow(word);
            main()->Listbox1()->SetCellTag(main()->Listbox1()->LastIndex(), 0, ids);
        }
    }

    // Rows w001 .. w<n>, each with its own record.
    void fillMain(int n)
    {
        Rows rows;
        for (int id = 1; id <= n; ++id) rows.append({wordOf(id), QString::number(id)});
        fillMain(rows);
    }

    QStringList cells(Listbox* list)
    {
        QStringList result;
        for (int r = 0; r < list->ListCount(); ++r) result << list->Cell(r, 0) + "|" + list->CellTag(r, 0);
        return result;
    }

    // Options > Definition test from the main window. A question is answered with the
    // button of that caption; returns its text, icon and default button, or nothing.
    QString runCommand(const QString& answer = "OK")
    {
        QString asked;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            asked = QString("%1|%2|%3").arg(ModalText(box)).arg(box->icon()).arg(box->defaultButton()->text());
            ClickButton(box, answer);
        });
        answerer.start(10);
        main()->Show();
        DispatchMenuCommand(main()->OptionsDefinitiontest());
        return asked;
    }

    // Every definition row shows the definition of the word row its tag names, each word
    // row has one definition, and the staging list is empty again.
    void verifyTest()
    {
        QVERIFY(test() && test()->TopLevelWidget()->isVisible());
        Listbox* words = test()->ListBox1();
        Listbox* definitions = test()->ListBox2();
        QCOMPARE(definitions->ListCount(), words->ListCount());
        QSet<int> seen;
        for (int r = 0; r < definitions->ListCount(); ++r) {
            const QString tag = definitions->CellTag(r, 0);
            const int row = tag.toInt();
            QVERIFY2(tag == QString::number(row) && row >= -1 && row < words->ListCount(), qPrintable(tag));
            QVERIFY(row == -1 || !seen.contains(row));
            seen << row;
            const QString word = words->Cell(row, 0);
            QCOMPARE(definitions->Cell(r, 0), row == -1 ? QString() : "definition of " + word);
        }
        QCOMPARE(test()->Listbox3()->ListCount(), 0);
        QVERIFY(!test()->isdone);
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        std::vector<WordRecord> records;
        for (int id = 1; id <= 130; ++id) records.push_back({id, wordOf(id), "noun", "definition of " + wordOf(id)});
        records.push_back({200, "multi", "noun", "first sense"});
        records.push_back({201, "multi", "verb", "second sense"});
        records.push_back({202, "multi", "adjective", "third sense"});
        records.push_back({300, "blank", "noun", ""});
        package_->setWords(records);
        QVERIFY(StartProgram(*package_));
    }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void choosesTheTestWords_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u}) {
            for (int rows : {2, 20, 21, 99, 100, 130}) QTest::addRow("%d rows, seed %u", rows, seed) << rows << seed;
        }
    }

    void choosesTheTestWords()
    {
        QFETCH(int, rows);
        QFETCH(quint32, seed);
        fillMain(rows);
        const QStringList mainRows = cells(main()->Listbox1());
        main()->randomize->Seed(seed);
        const QString question = kQuestion + "|" + QString::number(QMessageBox::Question) + "|OK";
        QCOMPARE(runCommand(), rows > 20 ? question : QString());
        verifyTest();
        QCOMPARE(cells(main()->Listbox1()), mainRows);

        QList<int> taken;  // main-list rows, in the test's order
        for (int r = 0; r < test()->ListBox1()->ListCount(); ++r)
            taken << test()->ListBox1()->Cell(r, 0).mid(1).toInt() - 1;
        // The same generator, replayed: rows left out at random below 100 rows, rows drawn
        // until twenty differ from 100 up.
        Random replay;
        replay.Seed(seed);
        QList<int> expected;
        for (int r = 0; r < rows; ++r) expected << r;
        if (rows > 20 && rows < 100) {
            while (expected.size() > 20) expected.removeAt(int(replay.InRange(0, expected.size() - 1)));
        } else if (rows >= 100) {
            expected.clear();
            while (expected.size() < 20) {
                const int r = int(replay.InRange(0, rows - 1));
                if (!expected.contains(r)) expected << r;
            }
        }
        QCOMPARE(taken, expected);
        if (rows > 20 && rows < 100) QVERIFY(std::is_sorted(taken.begin(), taken.end()));
    }

    void cancelClosesTheWindowAndChangesNothingElse_data()
    {
        QTest::addColumn<bool>("earlierTest");
        QTest::newRow("new window") << false;
        QTest::newRow("window with an earlier test") << true;
    }

    void cancelClosesTheWindowAndChangesNothingElse()
    {
        QFETCH(bool, earlierTest);
        fillMain(3);
        if (earlierTest) runCommand();
        WordDefnTestW* opened = WordDefnTestW::Instance();
        const QStringList earlier = cells(opened->ListBox1()) + cells(opened->ListBox2());
        QCOMPARE(earlier.isEmpty(), !earlierTest);
        fillMain(25);
        const QStringList mainRows = cells(main()->Listbox1());
        QVERIFY(!runCommand("Cancel").isEmpty());
        QVERIFY(!test());
        // The closed window is deleted once the event loop runs again: until then it
        // shows that its lists were left alone.
        QCOMPARE(cells(opened->ListBox1()) + cells(opened->ListBox2()), earlier);
        QCOMPARE(cells(main()->Listbox1()), mainRows);
        Settle();
        QCOMPARE(Window::Front(), static_cast<Window*>(main()));
        fillMain(2);
        runCommand();
        verifyTest();
        QCOMPARE(test()->ListBox1()->ListCount(), 2);
    }

    void answerTags_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("same word twice") << Rows{{"w001", "1"}, {"w001", "1"}, {"w002", "2"}}
                                         << QStringList{"0", "1", "2"};
        QTest::newRow("empty or missing definition")
            << Rows{{"w001", "1"}, {"blank", "300"}, {"gone", "999"}, {"w002", "2"}}
            << QStringList{"-1", "-1", "0", "3"};
    }

    void answerTags()
    {
        QFETCH(Rows, rows);
        QFETCH(QStringList, tags);
        fillMain(rows);
        runCommand();
        verifyTest();
        QStringList shown;
        for (int r = 0; r < rows.size(); ++r) {
            QCOMPARE(test()->ListBox1()->Cell(r, 0), rows[r].first);
            shown << test()->ListBox2()->CellTag(r, 0);
        }
        shown.sort();
        QCOMPARE(shown, tags);
    }

    void wordWithSeveralRecordsDrawsOneOfThem()
    {
        fillMain(Rows{{"w001", "1"}, {"multi", "200,201,202"}});
        const QStringList senses = {"first sense", "second sense", "third sense"};
        QSet<QString> shown;
        for (quint32 seed = 1; seed <= 20; ++seed) {
            main()->randomize->Seed(seed);
            runCommand();
            const int row = test()->ListBox2()->CellTag(0, 0) == "1" ? 0 : 1;
            QCOMPARE(test()->ListBox2()->CellTag(row, 0), QString("1"));
            QVERIFY(senses.contains(test()->ListBox2()->Cell(row, 0)));
            shown << test()->ListBox2()->Cell(row, 0);
            QCOMPARE(test()->Listbox3()->ListCount(), 0);
        }
        QVERIFY(shown.size() >= 2);
    }
};

QTEST_MAIN(TestSetupTest)
#include "test_setup_test.moc"
