// The definition test window itself: its design, how it follows a resize, how it
// closes, and its Copy List while it is the front window.
#include "app/menu_bar1.h"
#include "definition_test/word_defn_test_w.h"
#include "platform/menu_dispatch.h"
#include "search/window1.h"
#include "test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QListView>
#include <QtTest>

namespace {
const QString kTitle = "Click & Drag Definitions to match Words";
}

class DefinitionTestWindowTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;

    Window1* main() { return Window1::Instance(); }
    WordDefnTestW* test()
    {
        return static_cast<WordDefnTestW*>(Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"));
    }

    // Options > Definition test, given from the main window.
    void runCommand()
    {
        main()->Show();
        DispatchMenuCommand(main()->OptionsDefinitiontest());
        QVERIFY(test());
    }

    QRect geometryOf(RectControl* control) { return control->Widget()->geometry(); }

    // Resizes the window by its frame, as the user does, to a content area of w x h.
    void resizeContent(int w, int h)
    {
        QWidget* top = test()->TopLevelWidget();
        const int menuBar = top->height() - test()->ContentWidget()->height();
        top->resize(w, h + menuBar);
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "ant", "noun", "a small insect"}, {2, "bee", "noun", "it makes honey"}});
        QVERIFY(StartProgram(*package_));
        main()->Listbox1()->AddRow("ant");
        main()->Listbox1()->SetCellTag(0, 0, "1");
        main()->Listbox1()->AddRow("bee");
        main()->Listbox1()->SetCellTag(1, 0, "2");
    }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void designValues()
    {
        runCommand();
        WordDefnTestW* w = test();
        QCOMPARE(w->Title(), kTitle);
        QCOMPARE(w->ContentWidget()->size(), QSize(600, 300));
        QCOMPARE(w->ContentWidget()->minimumSize(), QSize(500, 300));
        QVERIFY(w->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(w->TopLevelWidget()->isVisible());
        QStringList names;
        for (const auto& control : w->Controls()) names << control->Name();
        QCOMPARE(names, (QStringList{"ListBox1", "ListBox2", "PushButton1", "PushButton2", "Listbox3",
                                     "CBcopyanswers"}));
        QCOMPARE(geometryOf(w->ListBox1()), QRect(0, 0, 203, 260));
        QCOMPARE(geometryOf(w->ListBox2()), QRect(215, 0, 380, 260));
        QCOMPARE(geometryOf(w->PushButton1()), QRect(196, 268, 80, 20));
        QCOMPARE(geometryOf(w->PushButton2()), QRect(82, 268, 80, 20));
        QCOMPARE(geometryOf(w->Listbox3()), QRect(-105, -7, 100, 100));
        QCOMPARE(geometryOf(w->CBcopyanswers()), QRect(302, 268, 265, 20));
        QVERIFY(!w->Listbox3()->Widget()->isVisible());
        QVERIFY(w->ListBox1()->Widget()->isVisible() && w->ListBox2()->Widget()->isVisible());
        QCOMPARE(w->PushButton1()->Caption(), QString("Done"));
        QCOMPARE(w->PushButton2()->Caption(), QString("cancel"));
        QCOMPARE(w->CBcopyanswers()->Caption(), QString("Include answers when copying list."));
        QVERIFY(!w->CBcopyanswers()->Value());
        QVERIFY(w->ListBox2()->EnableDragReorder());
        QVERIFY(!w->ListBox1()->EnableDragReorder());
        for (Listbox* list : {w->ListBox1(), w->ListBox2()}) {
            QCOMPARE(list->TextSize(), 14.0);
            QCOMPARE(list->DefaultRowHeight(), 22);
            auto* view = qobject_cast<QListView*>(list->Widget());
            QCOMPARE(view->visualRect(view->model()->index(0, 0)).height(), 22);
        }
        // The words stand flush right, the definitions flush left.
        auto alignment = [](Listbox* list) {
            auto* view = qobject_cast<QListView*>(list->Widget());
            return view->model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(w->ListBox1()), Qt::AlignRight);
        QCOMPARE(alignment(w->ListBox2()), Qt::AlignLeft);
    }

    void resizeArithmetic_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("content");
        QTest::newRow("larger") << QSize(800, 450) << QSize(800, 450);
        QTest::newRow("only wider") << QSize(750, 300) << QSize(750, 300);
        QTest::newRow("only taller") << QSize(600, 420) << QSize(600, 420);
        QTest::newRow("below the minimum") << QSize(300, 200) << QSize(500, 300);
    }

    void resizeArithmetic()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, content);
        runCommand();
        resizeContent(size.width(), size.height());
        QTRY_COMPARE(test()->ContentWidget()->size(), content);
        QCOMPARE(QSize(test()->Width(), test()->Height()), content);
        const int W = content.width(), H = content.height();
        QCOMPARE(geometryOf(test()->ListBox1()), QRect(0, 0, 203, H - 40));
        QCOMPARE(geometryOf(test()->ListBox2()), QRect(215, 0, W - 220, H - 40));
        QCOMPARE(geometryOf(test()->PushButton1()), QRect(196, H - 31, 80, 20));
        QCOMPARE(geometryOf(test()->PushButton2()), QRect(82, H - 31, 80, 20));
        QCOMPARE(geometryOf(test()->CBcopyanswers()), QRect(302, H - 32, 265, 20));
        QCOMPARE(geometryOf(test()->Listbox3()), QRect(-105, -7, 100, 100));
        // Back to the design size the buttons stand one pixel lower than they began.
        resizeContent(600, 300);
        QTRY_COMPARE(test()->ContentWidget()->size(), QSize(600, 300));
        QCOMPARE(geometryOf(test()->ListBox1()), QRect(0, 0, 203, 260));
        QCOMPARE(geometryOf(test()->ListBox2()), QRect(215, 0, 380, 260));
        QCOMPARE(test()->PushButton1()->Top(), 269);
        QCOMPARE(test()->PushButton2()->Top(), 269);
        QCOMPARE(test()->CBcopyanswers()->Top(), 268);
    }

    void cancelAndTheCloseBoxClose_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("scored");
        QTest::newRow("cancel") << false << false;
        QTest::newRow("cancel after Done") << false << true;
        QTest::newRow("close box") << true << false;
    }

    void cancelAndTheCloseBoxClose()
    {
        QFETCH(bool, closeBox);
        QFETCH(bool, scored);
        runCommand();
        QTest::mouseClick(test()->CBcopyanswers()->Widget(), Qt::LeftButton, {},
                          QPoint(8, test()->CBcopyanswers()->Height() / 2));
        QVERIFY(test()->copyanswers);
        test()->clickedcell = 1;
        if (scored) test()->PushButton1()->Push();
        QCOMPARE(test()->isdone, scored);
        if (closeBox) test()->TopLevelWidget()->close();
        else QTest::mouseClick(test()->PushButton2()->Widget(), Qt::LeftButton);
        QVERIFY(!test());
        Settle();
        // The next command builds a window of its own.
        runCommand();
        QCOMPARE(test()->Title(), kTitle);
        QCOMPARE(test()->PushButton1()->Caption(), QString("Done"));
        QVERIFY(!test()->CBcopyanswers()->Value());
        QVERIFY(!test()->copyanswers);
        QVERIFY(!test()->isdone);
        QCOMPARE(test()->clickedcell, 0);
    }

    void checkBoxAndCopyAnswersCarryOverToTheNextTest()
    {
        runCommand();
        QCheckBox* box = qobject_cast<QCheckBox*>(test()->CBcopyanswers()->Widget());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(test()->copyanswers);
        runCommand();
        QVERIFY(test()->copyanswers);
        QVERIFY(box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(!test()->copyanswers);
    }

    void copyListBelongsToTheTestWindowWhileInFront()
    {
        // Opened by its accessor alone the window is empty, and it is in front.
        WordDefnTestW* w = WordDefnTestW::Instance();
        QCOMPARE(w->ListBox1()->ListCount(), 0);
        QCOMPARE(Window::Front(), static_cast<Window*>(w));
        RefreshMenus();
        QVERIFY(EditCopyList()->Enabled());
        // The main window's own list is not what is copied.
        QApplication::clipboard()->setText("untouched");
        DispatchMenuCommand(EditCopyList());
        QCOMPARE(QApplication::clipboard()->text(), QString());
        // With the main window in front again, Copy List is the main window's.
        main()->Show();
        RefreshMenus();
        QVERIFY(EditCopyList()->Enabled());
        DispatchMenuCommand(EditCopyList());
        QVERIFY(QApplication::clipboard()->text().contains("bee"));
        // Typed as a shortcut in the test window, Copy List is the test window's.
        w->Show();
        QApplication::clipboard()->setText("untouched");
        QTest::keyClick(w->ListBox2()->Widget(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString());
    }
};

QTEST_MAIN(DefinitionTestWindowTest)
#include "definition_test_window_test.moc"
