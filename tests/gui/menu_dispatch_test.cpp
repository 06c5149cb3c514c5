// Menu commands reach the front window's handler (names match in any letter case), then
// the application's, then the framework's own; enabling runs before every menu and key.
#include "app/app.h"
#include "app/menu_bar1.h"
#include "platform/menu_dispatch.h"
#include "platform/runtime.h"
#include "platform/text_field.h"
#include "search/window1.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

namespace {
// A second window that binds Copy List under a lower-case name, as the test window does.
class SideWindow : public Window {
public:
    int copies = 0;
    int enables = 0;
    void AddMenuHandlers() override
    {
        AddMenuHandler("editcopylist", [this] { ++copies; return true; });
    }
    void Event_EnableMenuItems() override { ++enables; }
    static SideWindow* Instance() { return ImplicitInstance<SideWindow>("SideWindow.SideWindow"); }
};
}  // namespace

class MenuDispatchTest : public QObject {
    Q_OBJECT
    TestPackage* package_ = nullptr;

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "cat", "noun", "a small feline"}, {2, "cot", "noun", "a bed"}});
        QVERIFY(StartProgram(*package_));
        Window1* w = Window1::Instance();
        w->Listbox1()->AddRow("cat");
        w->Listbox1()->AddRow("cot");
    }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void frontWindowHandlerWinsWhateverTheLetterCase()
    {
        SideWindow* side = SideWindow::Instance();
        QCOMPARE(Window::Front(), static_cast<Window*>(side));
        QApplication::clipboard()->setText("before");
        DispatchMenuCommand(EditCopyList());
        QCOMPARE(side->copies, 1);
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));

        // Enabling asks the front window, not the main window: Definition test has no
        // command there, Copy List has one.
        RefreshMenus();
        QVERIFY(side->enables > 0);
        QVERIFY(EditCopyList()->Enabled());
        QVERIFY(!Window1::Instance()->OptionsDefinitiontest()->Enabled());

        // Closed, the main window is in front again and serves the command itself.
        side->Close();
        Settle();
        QCOMPARE(Window::Front(), static_cast<Window*>(Window1::Instance()));
        DispatchMenuCommand(EditCopyList());
        QCOMPARE(QApplication::clipboard()->text(), QString("similar words to \r\rcat\rcot\r"));
    }

    void applicationHandlersServeEveryWindow()
    {
        SideWindow::Instance();
        RefreshMenus();
        QVERIFY(Fileabout()->Enabled());
        QVERIFY(OptionsHelp()->Enabled());
        QVERIFY(Window::GetImplicitWindow("aboutLV.aboutLV") == nullptr);
        DispatchMenuCommand(Fileabout());
        QVERIFY(Window::GetImplicitWindow("aboutLV.aboutLV") != nullptr);
    }

    void textCommandsActOnTheFocusedField()
    {
        Window1* w = Window1::Instance();
        auto* edit = static_cast<QLineEdit*>(w->EFfindword()->Widget());
        w->EFfindword()->SetFocus();
        QApplication::setActiveWindow(w->TopLevelWidget());
        edit->setFocus();
        QApplication::clipboard()->setText("c-t");
        MenuItem* paste = MenuBar1::Instance()->Lookup("EditPaste");
        RefreshMenus();
        QVERIFY(paste->Enabled());
        DispatchMenuCommand(paste);
        QCOMPARE(w->EFfindword()->Text(), QString("c-t"));
        DispatchMenuCommand(MenuBar1::Instance()->Lookup("EditSelectAll"));
        QCOMPARE(edit->selectedText(), QString("c-t"));
        DispatchMenuCommand(MenuBar1::Instance()->Lookup("EditCut"));
        QCOMPARE(w->EFfindword()->Text(), QString());
        DispatchMenuCommand(MenuBar1::Instance()->Lookup("EditUndo"));
        QCOMPARE(w->EFfindword()->Text(), QString("c-t"));
        // Copy is the window's own command here: the whole list, not the field's text.
        DispatchMenuCommand(MenuBar1::Instance()->Lookup("EditCopy"));
        QCOMPARE(QApplication::clipboard()->text(), QString("similar words to c-t\r\rcat\rcot\r"));
    }

    void quitIsTheFrameworksCommand()
    {
        QVERIFY(!QuitRequested());
        DispatchMenuCommand(MenuBar1::Instance()->Lookup("FileQuit"));
        QVERIFY(QuitRequested());
    }

    void menuItemsAreFoundByNameInAnyLetterCase()
    {
        MenuItem* bar = MenuBar1::Instance();
        QCOMPARE(bar->Lookup("editcopylist"), bar->Lookup("EditCopyList"));
        QCOMPARE(bar->Child("editmenu"), bar->Lookup("EditMenu"));
        QVERIFY(bar->Child("EditCopyList") == nullptr);  // not a direct child
        QVERIFY(bar->Lookup("NoSuchItem") == nullptr);
        QCOMPARE(ToolkitShortcut("Cmd+l"), QString("Ctrl+L"));
        QCOMPARE(ToolkitShortcut("Cmd+Q"), QString("Ctrl+Q"));
    }
};

QTEST_MAIN(MenuDispatchTest)
#include "menu_dispatch_test.moc"
