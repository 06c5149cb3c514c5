// Copy List in the definition test window: the exact clipboard text, with and without
// the answers, before and after Done.
#include "app/menu_bar1.h"
#include "definition_test/word_defn_test_w.h"
#include "platform/menu_dispatch.h"
#include "platform/text_functions.h"
#include "search/window1.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

namespace {
const QStringList kWords = {"ant", "bee", "cat", "dog", "eel", "fox", "gnu", "hen", "ibis", "jay"};
const QStringList kDefinitions = {"a small insect", "it makes honey", "a small feline", "a canine", "",
                                  "a wild canine", "an antelope", "a female bird", "a wading bird",
                                  "a noisy bird"};
// The definitions beside the words: bee's and ant's exchanged, eel's empty one beside
// cat and cat's beside eel, ibis's and jay's exchanged.
const QList<int> kOrder = {1, 0, -1, 3, 2, 5, 6, 7, 9, 8};

const QString kWithoutAnswers = "01.  ant\tit makes honey\r"
                                "02.  bee\ta small insect\r"
                                "03.  cat\t\r"
                                "04.  dog\ta canine\r"
                                "05.  eel\ta small feline\r"
                                "06.  fox\ta wild canine\r"
                                "07.  gnu\tan antelope\r"
                                "08.  hen\ta female bird\r"
                                "09.  ibis\ta noisy bird\r"
                                "10.  jay\ta wading bird\r";
const QString kWithAnswers = "01.  ant\tit makes honey   [2]\r"
                             "02.  bee\ta small insect   [1]\r"
                             "03.  cat\t   [0]\r"
                             "04.  dog\ta canine   [4]\r"
                             "05.  eel\ta small feline   [3]\r"
                             "06.  fox\ta wild canine   [6]\r"
                             "07.  gnu\tan antelope   [7]\r"
                             "08.  hen\ta female bird   [8]\r"
                             "09.  ibis\ta noisy bird   [10]\r"
                             "10.  jay\ta wading bird   [9]\r";
}  // namespace

class TestCopyTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;

    Window1* main() { return Window1::Instance(); }
    WordDefnTestW* test()
    {
        return static_cast<WordDefnTestW*>(Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"));
    }

    void startTest()
    {
        Listbox* list = main()->Listbox1();
        for (int i = 0; i < kWords.size(); ++i) {
            list->AddRow(kWords[i]);
            list->SetCellTag(i, 0, QString::number(i + 1));
        }
        main()->Show();
        DispatchMenuCommand(main()->OptionsDefinitiontest());
        QVERIFY(test());
        // The set-up shuffles; put the definitions where this test wants them.
        Listbox* definitions = test()->ListBox2();
        QMap<int, QString> textOf;
        for (int r = 0; r < definitions->ListCount(); ++r)
            textOf[int(Val(definitions->CellTag(r, 0)))] = definitions->Cell(r, 0);
        for (int r = 0; r < kOrder.size(); ++r) {
            definitions->SetCell(r, 0, textOf.value(kOrder[r]));
            definitions->SetCellTag(r, 0, QString::number(kOrder[r]));
        }
    }

    void clickCheckBox()
    {
        QWidget* box = test()->CBcopyanswers()->Widget();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }

    // Edit > Copy List with the test window in front.
    QString copyList()
    {
        QApplication::clipboard()->setText("untouched");
        RefreshMenus();
        if (!EditCopyList()->Enabled()) return "disabled";
        DispatchMenuCommand(EditCopyList());
        return QApplication::clipboard()->text();
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        std::vector<WordRecord> records;
        for (int i = 0; i < kWords.size(); ++i) records.push_back({i + 1, kWords[i], "noun", kDefinitions[i]});
        package_->setWords(records);
        QVERIFY(StartProgram(*package_));
    }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void copiedText_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("scored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("without answers") << false << false << kWithoutAnswers;
        QTest::newRow("with answers") << true << false << kWithAnswers;
        QTest::newRow("without answers, after Done") << false << true << kWithoutAnswers;
        QTest::newRow("with answers, after Done") << true << true << kWithAnswers;
    }

    void copiedText()
    {
        QFETCH(bool, answers);
        QFETCH(bool, scored);
        QFETCH(QString, expected);
        startTest();
        if (answers) clickCheckBox();
        QCOMPARE(test()->copyanswers, answers);
        const QString before = copyList();
        QCOMPARE(before.toUtf8(), expected.toUtf8());
        if (scored) {
            test()->PushButton1()->Push();
            QVERIFY(test()->isdone);
            QCOMPARE(test()->wronganswers, 5);
            QCOMPARE(copyList().toUtf8(), expected.toUtf8());
        }
        // Copying changes nothing in the window.
        QCOMPARE(test()->ListBox2()->Cell(0, 0), QString("it makes honey"));
        QCOMPARE(test()->ListBox2()->CellTag(2, 0), QString("-1"));
    }

    void checkBoxSwitchesTheAnswersForTheNextCopy()
    {
        startTest();
        QCOMPARE(copyList(), kWithoutAnswers);
        clickCheckBox();
        QCOMPARE(copyList(), kWithAnswers);
        clickCheckBox();
        QCOMPARE(copyList(), kWithoutAnswers);
    }

    void emptyListsGiveTheEmptyText()
    {
        WordDefnTestW::Instance();
        QCOMPARE(test()->ListBox1()->ListCount(), 0);
        QCOMPARE(copyList(), QString());
        clickCheckBox();
        QCOMPARE(copyList(), QString());
    }
};

QTEST_MAIN(TestCopyTest)
#include "test_copy_test.moc"
