// Menu commands reach the front window's handler (names match in any letter case), then
// the application's; enabling runs before every menu and key.
#include "app/menu_bar1.h"
#include "platform/menu_dispatch.h"
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
    int copies = 0, enables = 0;
    void AddMenuHandlers() override { AddMenuHandler("editcopylist", [this] { return ++copies > 0; }); }
    void Event_EnableMenuItems() override { ++enables; }
    static SideWindow* Instance() { return ImplicitInstance<SideWindow>("SideWindow.SideWindow"); }
};
MenuItem* item(const char* name) { return MenuBar1::Instance()->Lookup(name); }
}  // namespace

class MenuDispatchTest : public QObject {
    Q_OBJECT
    TestPackage package_;

private slots:
    void initTestCase() { package_.setWords({{1, "cat", "noun", "a small feline"}}); }
    void cleanup() { StopProgram(); }

    void init()
    {
        QVERIFY(StartProgram(package_));
        for (const char* word : {"cat", "cot"}) Window1::Instance()->Listbox1()->AddRow(word);
    }

    void frontWindowFirstThenTheApplication()
    {
        SideWindow* side = SideWindow::Instance();
        QCOMPARE(Window::Front(), static_cast<Window*>(side));
        QApplication::clipboard()->setText("before");
        DispatchMenuCommand(EditCopyList());
        QCOMPARE(side->copies, 1);
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        // Enabling asks the front window, not the main one, whose Definition test is off
        // here; the application's items serve every window.
        RefreshMenus();
        QVERIFY(side->enables > 0 && EditCopyList()->Enabled() && Fileabout()->Enabled() && OptionsHelp()->Enabled());
        QVERIFY(!Window1::Instance()->OptionsDefinitiontest()->Enabled());
        DispatchMenuCommand(Fileabout());
        QVERIFY(Window::GetImplicitWindow("aboutLV.aboutLV"));
        // Closed, the main window is in front again once the about window goes too.
        side->Close();
        Window::GetImplicitWindow("aboutLV.aboutLV")->Close();
        Settle();
        QCOMPARE(Window::Front(), static_cast<Window*>(Window1::Instance()));
        DispatchMenuCommand(EditCopyList());
        QCOMPARE(QApplication::clipboard()->text(), QString("similar words to \r\rcat\rcot\r"));
    }

    void textCommandsActOnTheFocusedField()
    {
        Window1* w = Window1::Instance();
        auto* edit = static_cast<QLineEdit*>(w->EFfindword()->Widget());
        QApplication::setActiveWindow(w->TopLevelWidget());
        edit->setFocus();
        QApplication::clipboard()->setText("c-t");
        RefreshMenus();
        QVERIFY(item("EditPaste")->Enabled());
        DispatchMenuCommand(item("EditPaste"));
        QCOMPARE(w->EFfindword()->Text(), QString("c-t"));
        DispatchMenuCommand(item("EditSelectAll"));
        QCOMPARE(edit->selectedText(), QString("c-t"));
        DispatchMenuCommand(item("EditCut"));
        QCOMPARE(w->EFfindword()->Text(), QString());
        DispatchMenuCommand(item("EditUndo"));
        QCOMPARE(w->EFfindword()->Text(), QString("c-t"));
        // Copy is the window's own command here: the whole list, not the field's text.
        DispatchMenuCommand(item("EditCopy"));
        QCOMPARE(QApplication::clipboard()->text(), QString("similar words to c-t\r\rcat\rcot\r"));
    }

    void namesInAnyLetterCase()
    {
        QCOMPARE(item("editcopylist"), item("EditCopyList"));
        QCOMPARE(MenuBar1::Instance()->Child("editmenu"), item("EditMenu"));
        QVERIFY(!MenuBar1::Instance()->Child("EditCopyList") && !item("NoSuchItem"));   // not a direct child
    }
};

QTEST_MAIN(MenuDispatchTest)
#include "menu_dispatch_test.moc"
