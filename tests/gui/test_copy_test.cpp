// Copy List in the definition test window: the exact text, with and without answers, before and after Done.
#include "app/menu_bar1.h"
#include "definition_test/word_defn_test_w.h"
#include "platform/menu_dispatch.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

namespace {
// The lines copied with the answers, for a test of ten words (numbers of two digits) with
// three pairs of definitions exchanged and an empty definition (answer 0) beside cat.
const QStringList kLines = {
    "01.  ant\tit makes honey   [2]", "02.  bee\ta small insect   [1]", "03.  cat\t   [0]",
    "04.  dog\ta canine   [4]",       "05.  eel\ta small feline   [3]", "06.  fox\ta wild canine   [6]",
    "07.  gnu\tan antelope   [7]",    "08.  hen\ta female bird   [8]",  "09.  ibis\ta noisy bird   [10]",
    "10.  jay\ta wading bird   [9]",
};
const QRegularExpression kLine(R"(^\d\d\.  (\w+)\t(.*)   \[(\d+)\]$)");

QString expected(bool answers)
{
    QString text;
    for (const QString& line : kLines) text += (answers ? line : line.left(line.lastIndexOf("   ["))) + "\r";
    return text;
}
}  // namespace

class TestCopyTest : public QObject {
    Q_OBJECT

    TestPackage package_;
    WordDefnTestW* test() { return WordDefnTestW::Instance(); }
    void clickCheckBox() { QTest::mouseClick(test()->CBcopyanswers()->Widget(), Qt::LeftButton, {}, QPoint(8, 10)); }

    // Edit > Copy List with the test window in front.
    QString copyList()
    {
        QApplication::clipboard()->setText("untouched");
        RefreshMenus();
        DispatchMenuCommand(EditCopyList());
        return QApplication::clipboard()->text();
    }

private slots:
    void init()
    {
        package_.setWords({{1, "ant", "noun", "a small insect"}});
        QVERIFY(StartProgram(package_));
    }
    void cleanup() { StopProgram(); }

    void copiedTextFollowsTheCheckBoxBeforeAndAfterDone()
    {
        // Before the set-up fills the lists, the copy is the empty text, answers or not.
        QCOMPARE(Window::Front(), static_cast<Window*>(test()));
        QCOMPARE(copyList(), QString());
        clickCheckBox();
        QCOMPARE(copyList(), QString());
        for (int r = 0; r < kLines.size(); ++r) {
            const QRegularExpressionMatch m = kLine.match(kLines[r]);
            test()->ListBox1()->AddRow(m.captured(1));
            test()->ListBox2()->AddRow(m.captured(2));
            test()->ListBox2()->SetCellTag(r, 0, QString::number(m.captured(3).toInt() - 1));
        }
        QCOMPARE(copyList(), expected(true));
        clickCheckBox();
        QCOMPARE(copyList(), expected(false));
        test()->PushButton1()->Push();
        QCOMPARE(test()->wronganswers, 5);
        QCOMPARE(copyList(), expected(false));
        clickCheckBox();
        QCOMPARE(copyList(), expected(true));
    }
};

QTEST_MAIN(TestCopyTest)
#include "test_copy_test.moc"
