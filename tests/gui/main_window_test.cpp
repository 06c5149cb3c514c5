// The main window as it stands after start-up: design, menus and their enabling, resizing,
// the default button, and the top-level handling of a handler's exception.
#include "app/app.h"
#include "app/menu_bar1.h"
#include "platform/runtime.h"
#include "search/window1.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

class MainWindowTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    Window1* w() { return Window1::Instance(); }

    void fillList(int rows)
    {
        w()->Listbox1()->DeleteAllRows();
        for (int i = 0; i < rows; ++i) {
            w()->Listbox1()->AddRow("word" + QString::number(i));
            w()->Listbox1()->SetCellTag(i, 0, QString::number(i + 1));
        }
    }

    QMenu* menuNamed(const QString& name)
    {
        auto* bar = w()->TopLevelWidget()->findChild<QMenuBar*>();
        for (QAction* action : bar->actions())
            if (action->menu() && action->menu()->objectName() == name) return action->menu();
        return nullptr;
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "cat", "noun", "a small feline"}});
        QVERIFY(StartProgram(*package_));
    }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void designValuesAfterStartUp()
    {
        QCOMPARE(w()->Title(), QString("Rivivuzad"));
        QCOMPARE(w()->ContentWidget()->size(), QSize(600, 400));
        QCOMPARE(w()->ContentWidget()->minimumWidth(), 600);
        QCOMPARE(w()->ContentWidget()->maximumWidth(), 600);
        QVERIFY(!(w()->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(w()->StaticText3()->Text(), QString("0"));
        QCOMPARE(w()->StaticText3()->HelpTag(), QString("number of words"));
        QCOMPARE(w()->Listbox1()->ListCount(), 0);
        QCOMPARE(w()->EFdefinition()->Text(), QString());
        QVERIFY(w()->EFdefinition()->ReadOnly());
        QVERIFY(!w()->CheckBox1()->Value());
        QVERIFY(!w()->alwaysOpenDictionary && !w()->UseSpeak);
        QVERIFY(w()->randomize);
        QVERIFY(w()->EFfindword()->HasFocus() || QApplication::focusWidget() == w()->EFfindword()->Widget());
        const QStringList tabOrder = {"Listbox1", "EFfindword", "EFdefinition", "StaticText1", "PushButton1",
                                      "StaticText2", "CheckBox1", "StaticText3", "CheckBox2"};
        QStringList names;
        for (const auto& control : w()->Controls()) names << control->Name();
        QCOMPARE(names, tabOrder);
        QCOMPARE(w()->Listbox1()->Widget()->geometry(), QRect(0, 1, 353, 399));
        QCOMPARE(w()->EFdefinition()->Widget()->geometry(), QRect(354, 169, 246, 211));
        QCOMPARE(w()->CheckBox2()->Widget()->geometry(), QRect(509, 130, 72, 20));
        // No other control has a tooltip.
        for (const auto& control : w()->Controls())
            if (control->Name() != "StaticText3") QCOMPARE(control->HelpTag(), QString());
    }

    void secondAccessorCallConstructsNothing()
    {
        AnsweredModalTexts().clear();
        AnswerAllModals();
        Window1* first = w();
        QCOMPARE(Window1::Instance(), first);
        Settle();
        StopAnsweringModals();
        QVERIFY(AnsweredModalTexts().isEmpty());
    }

    void menuTreeInOrder()
    {
        const QStringList expected = {"&File", "about", "&Quit", "&Edit", "&Undo", "-", "Cu&t", "&Copy",
                                      "Copy List", "&Paste", "&Delete", "-", "Select &All", "Options",
                                      "Definition test", "-", "Help"};
        QStringList texts;
        MenuItem* bar = MenuBar1::Instance();
        for (int i = 0; i < bar->Count(); ++i) {
            texts << bar->Item(i)->Text();
            for (int j = 0; j < bar->Item(i)->Count(); ++j) texts << bar->Item(i)->Item(j)->Text();
        }
        QCOMPARE(texts, expected);
        QCOMPARE(bar->Lookup("EditCopyList")->Action()->shortcut(), QKeySequence("Ctrl+L"));
        QCOMPARE(bar->Lookup("OptionsDefinitiontest")->Action()->shortcut(), QKeySequence("Ctrl+D"));
        QCOMPARE(bar->Lookup("FileQuit")->Action()->shortcut(), QKeySequence("Ctrl+Q"));
        // The global accessors and the window's find the same objects.
        QCOMPARE(EditCopyList(), w()->EditCopyList());
        QCOMPARE(static_cast<MenuItem*>(Fileabout()), static_cast<MenuItem*>(w()->Fileabout()));
        QCOMPARE(MenuBar1::Instance(), MenuBar1::Instance());
    }

    void enablingFollowsTheRowCount_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("test");
        QTest::newRow("empty") << 0 << false << false;
        QTest::newRow("one row") << 1 << true << false;
        QTest::newRow("two rows") << 2 << true << true;
    }

    void enablingFollowsTheRowCount()
    {
        QFETCH(int, rows);
        QFETCH(bool, copy);
        QFETCH(bool, test);
        fillList(rows);
        // As when the menu opens...
        QMenu* edit = menuNamed("EditMenu");
        QVERIFY(edit);
        QMetaObject::invokeMethod(edit, "aboutToShow");
        QCOMPARE(w()->EditCopy()->Enabled(), copy);
        QCOMPARE(w()->EditCopyList()->Enabled(), copy);
        QCOMPARE(w()->OptionsDefinitiontest()->Enabled(), test);
        QVERIFY(w()->Fileabout()->Enabled());
        QVERIFY(w()->OptionsHelp()->Enabled());
        QVERIFY(w()->FileQuit()->Enabled());
        // ...and as when a shortcut is typed: a disabled Copy List does nothing.
        QApplication::clipboard()->setText("untouched");
        w()->EFfindword()->SetText("c-t");
        w()->TopLevelWidget()->activateWindow();
        QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_L, Qt::ControlModifier);
        const QString clip = QApplication::clipboard()->text();
        QCOMPARE(clip != "untouched", copy);
    }

    void resizingMovesOnlyTheLockedControls()
    {
        QWidget* top = w()->TopLevelWidget();
        const int extra = top->height() - 400;
        top->resize(700, 400 + extra + 250);
        QTRY_COMPARE(w()->Height(), 650);
        QCOMPARE(w()->Width(), 600);
        QCOMPARE(w()->Listbox1()->Widget()->geometry(), QRect(0, 1, 353, 649));
        QCOMPARE(w()->EFdefinition()->Widget()->geometry(), QRect(354, 169, 246, 461));
        QCOMPARE(w()->EFfindword()->Widget()->geometry(), QRect(365, 53, 216, 25));
        QCOMPARE(w()->PushButton1()->Widget()->geometry(), QRect(527, 90, 54, 20));
        QCOMPARE(w()->CheckBox1()->Widget()->geometry(), QRect(355, 123, 148, 32));
        top->resize(600, 100);
        QTRY_COMPARE(w()->Height(), 400);
        QCOMPARE(w()->Listbox1()->Height(), 399);
    }

    void returnPressesTheDefaultButton()
    {
        int presses = 0;
        w()->PushButton1()->Action = [&] { ++presses; };
        w()->EFfindword()->SetFocus();
        QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_Return);
        QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_Enter);
        QCOMPARE(presses, 2);
    }

    void handlerExceptionIsReportedAndTheProgramGoesOn()
    {
        QStringList reports;
        SetUnhandledExceptionObserver([&](const QString& text) { reports << text; });
        w()->PushButton1()->Action = [] { throw NilObjectException(); };
        w()->PushButton1()->Push();
        w()->PushButton1()->Action = [] { throw std::runtime_error("broken <b>handler</b>"); };
        w()->PushButton1()->Push();
        SetUnhandledExceptionObserver({});
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].contains("NilObjectException"));
        QVERIFY(reports[1].contains("broken <b>handler</b>"));
        // The message box itself shows the text as it stands.
        w()->PushButton1()->Action = [] { throw NilObjectException(); };
        QString shown;
        AnswerNextModal([&](QWidget* box) {
            shown = ModalText(box);
            QCOMPARE(qobject_cast<QMessageBox*>(box)->textFormat(), Qt::PlainText);
            ClickButton(box, "OK");
        });
        w()->PushButton1()->Push();
        QTRY_VERIFY(shown.contains("NilObjectException"));
        QCOMPARE(w()->Listbox1()->ListCount(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
