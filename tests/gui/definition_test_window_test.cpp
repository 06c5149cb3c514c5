// The definition test window itself: its design, how it follows a resize, how it
// closes, and its Copy List (the exact text, with and without answers, before and after Done).
#include "app/menu_bar1.h"
#include "definition_test/word_defn_test_w.h"
#include "platform/menu_dispatch.h"
#include "search/window1.h"
#include "test_support.h"

#include <QClipboard>
#include <QListView>
#include <QScrollBar>
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
}  // namespace

class DefinitionTestWindowTest : public QObject {
    Q_OBJECT

    TestPackage package_;
    Window1* main() { return Window1::Instance(); }
    WordDefnTestW* test() { return WordDefnTestW::Instance(); }
    void runCommand() { main()->Show(); DispatchMenuCommand(main()->OptionsDefinitiontest()); }
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
        main()->Listbox1()->AddRow("ant");
        main()->Listbox1()->SetCellTag(0, 0, "1");
    }
    void cleanup() { StopProgram(); }

    void designAndResize_data()
    {
        QTest::addColumn<QList<QSize>>("resizes");
        QTest::newRow("new window") << QList<QSize>{};
        QTest::newRow("larger") << QList<QSize>{{800, 450}};
        QTest::newRow("below the minimum") << QList<QSize>{{300, 200}};
        QTest::newRow("back to the design size, buttons one lower") << QList<QSize>{{800, 450}, {600, 300}};
    }

    void designAndResize()
    {
        QFETCH(QList<QSize>, resizes);
        runCommand();
        WordDefnTestW* w = test();
        const int menuBar = w->TopLevelWidget()->height() - w->ContentWidget()->height();
        for (const QSize& size : resizes) {
            w->TopLevelWidget()->resize(size.width(), size.height() + menuBar);
            QTRY_COMPARE(w->ContentWidget()->size(), size.expandedTo(QSize(500, 300)));
        }
        const QSize content = resizes.isEmpty() ? QSize(600, 300) : resizes.last().expandedTo(QSize(500, 300));
        const int W = content.width(), H = content.height(), buttons = resizes.isEmpty() ? 268 : H - 31;
        QStringList names;
        QList<QRect> rects;
        for (const auto& c : w->Controls()) names << c->Name() + (c->Widget()->isVisible() ? "" : "(hidden)");
        for (const auto& c : w->Controls()) rects << c->Widget()->geometry();
        QCOMPARE(names.join(" "), QString("ListBox1 ListBox2 PushButton1 PushButton2 Listbox3(hidden) CBcopyanswers"));
        QCOMPARE(rects, (QList<QRect>{{0, 0, 203, H - 40}, {215, 0, W - 220, H - 40}, {196, buttons, 80, 20},
                                      {82, buttons, 80, 20}, {-105, -7, 100, 100}, {302, H - 32, 265, 20}}));
        QCOMPARE(w->Title(), QString("Click & Drag Definitions to match Words"));
        QVERIFY(w->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint);   // it has a close box
        // Words and definitions in rows of one height, so that each word stays beside its
        // definition; only the definitions can be dragged.
        QStringList rows;
        for (Listbox* list : {w->ListBox1(), w->ListBox2()}) {
            auto* view = qobject_cast<QListView*>(list->Widget());
            const QModelIndex row = view->model()->index(0, 0);
            const bool draggable = view->dragEnabled() && row.flags() & Qt::ItemIsDragEnabled;
            rows << QString("%1 high%2").arg(view->visualRect(row).height()).arg(draggable ? ", draggable" : "");
        }
        QCOMPARE(rows, QStringList({"22 high", "22 high, draggable"}));
        QStringList spoken;   // what a screen reader calls each control
        for (const auto& c : w->Controls()) spoken << AccessibleText(c->Widget());
        QCOMPARE(spoken, QStringList({"Words", "Definitions", "Done", "cancel", "",
                                      "Include answers when copying list."}));
        // The words stand flush right.
        const QModelIndex first = qobject_cast<QListView*>(w->ListBox1()->Widget())->model()->index(0, 0);
        QCOMPARE(first.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }

    // Scrolled to its end, the list shows the end of its widest definition, wherever that
    // stands; a definition of megabytes with no blank shows and scrolls without a hang.
    void everyDefinitionCanBeReadWhole_data()
    {
        QTest::addColumn<QString>("widest");
        QTest::newRow("wider than the list, above a shorter one")
            << QString("a definition far wider than the list that shows it,").repeated(3);
        QTest::newRow("two megabytes with no blank") << QString(2 << 20, QChar('m'));
    }

    void everyDefinitionCanBeReadWhole()
    {
        QFETCH(QString, widest);
        runCommand();
        Listbox* list = test()->ListBox2();
        list->DeleteAllRows();
        for (const QString& text : {QString("short"), widest, QString("a little longer")}) list->AddRow(text);
        Settle();
        auto* view = qobject_cast<QListView*>(list->Widget());
        const qreal width = QFontMetricsF(view->font()).horizontalAdvance(widest);
        QScrollBar* bar = view->horizontalScrollBar();
        QVERIFY2(bar->maximum() + view->viewport()->width() > width, qPrintable(QString::number(bar->maximum())));
        // Its text is drawn wherever it is scrolled to, up to the end.
        const QRect row = view->visualRect(view->model()->index(1, 0));
        for (int at : {bar->maximum() / 2, bar->maximum()}) {
            bar->setValue(at);
            const QImage shot = view->viewport()->grab().toImage();
            int ink = 0;
            for (int x = 0; x < shot.width(); ++x) ink += qGray(shot.pixel(x, row.center().y())) < 128;
            QVERIFY2(ink > 0, qPrintable(QString("nothing drawn at %1").arg(at)));
        }
        // Kept, and read to a screen reader, whole.
        QVERIFY(list->Cell(1, 0) == widest && AccessibleText(view, QAccessible::Name, 1) == widest);
    }

    // The check box carries over to the next test; closing, scored or not, starts afresh.
    void checkBoxCarriesOverUntilTheWindowCloses_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"cancel", "cancel after Done", "close box"}) QTest::newRow(how) << QString(how);
    }

    void checkBoxCarriesOverUntilTheWindowCloses()
    {
        QFETCH(QString, how);
        runCommand();
        clickCheckBox();
        runCommand();
        QVERIFY(test()->copyanswers && test()->CBcopyanswers()->Value());
        if (how.endsWith("Done")) test()->PushButton1()->Push();
        QCOMPARE(test()->isdone, how.endsWith("Done"));
        if (how == "close box") test()->TopLevelWidget()->close();
        else QTest::mouseClick(test()->PushButton2()->Widget(), Qt::LeftButton);
        QVERIFY(!Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"));
        Settle();
        // A new window, empty and in front: Copy List is enabled and copies its empty lists.
        QCOMPARE(Window::Front(), static_cast<Window*>(WordDefnTestW::Instance()));
        QVERIFY(!test()->CBcopyanswers()->Value() && !test()->copyanswers && !test()->isdone);
        QApplication::clipboard()->setText("untouched");
        RefreshMenus();
        QVERIFY(EditCopyList()->Enabled());
        QTest::keyClick(test()->ListBox2()->Widget(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString());
    }

    void copiedTextFollowsTheCheckBoxBeforeAndAfterDone()
    {
        const auto expected = [](bool answers) {
            QString text;
            for (const QString& line : kLines) text += (answers ? line : line.left(line.lastIndexOf("   ["))) + "\r";
            return text;
        };
        static const QRegularExpression line(R"(^\d\d\.  (\w+)\t(.*)   \[(\d+)\]$)");
        for (int r = 0; r < kLines.size(); ++r) {
            const QRegularExpressionMatch m = line.match(kLines[r]);
            test()->ListBox1()->AddRow(m.captured(1));
            test()->ListBox2()->AddRow(m.captured(2));
            test()->ListBox2()->SetCellTag(r, 0, QString::number(m.captured(3).toInt() - 1));
        }
        QCOMPARE(Window::Front(), static_cast<Window*>(test()));
        QCOMPARE(copyList(), expected(false));
        clickCheckBox();
        QCOMPARE(copyList(), expected(true));
        test()->PushButton1()->Push();
        QCOMPARE(test()->wronganswers, 5);
        QCOMPARE(copyList(), expected(true));
        clickCheckBox();
        QCOMPARE(copyList(), expected(false));
    }
};

QTEST_MAIN(DefinitionTestWindowTest)
#include "definition_test_window_test.moc"
