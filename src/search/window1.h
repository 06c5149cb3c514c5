#pragma once
// The main window: the search field and its "do" button, the result list with its count,
// the definition area and the two options. It owns the word database connection and the
// random-number generator of the definition test for the whole run.
#include "platform/check_box.h"
#include "platform/database.h"
#include "platform/folder_item.h"
#include "platform/label.h"
#include "platform/listbox.h"
#include "platform/push_button.h"
#include "platform/random.h"
#include "platform/text_area.h"
#include "platform/text_field.h"
#include "platform/window.h"

#include <memory>

class Window1 : public Window {
public:
    ~Window1() override;

    // Properties.
    std::shared_ptr<FolderItem> f;
    std::unique_ptr<Database> db;
    bool alwaysOpenDictionary = false;
    std::unique_ptr<Random> randomize;
    bool UseSpeak = false;

    // Window events.
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;
    void Event_Open() override;
    void Event_EnableMenuItems() override;

    // Controls.
    Listbox* Listbox1() const { return Control<Listbox>("Listbox1"); }
    TextField* EFfindword() const { return Control<TextField>("EFfindword"); }
    TextArea* EFdefinition() const { return Control<TextArea>("EFdefinition"); }
    Label* StaticText1() const { return Control<Label>("StaticText1"); }
    PushButton* PushButton1() const { return Control<PushButton>("PushButton1"); }
    Label* StaticText2() const { return Control<Label>("StaticText2"); }
    CheckBox* CheckBox1() const { return Control<CheckBox>("CheckBox1"); }
    Label* StaticText3() const { return Control<Label>("StaticText3"); }
    CheckBox* CheckBox2() const { return Control<CheckBox>("CheckBox2"); }

    // Control events.
    void Listbox1_Change(Listbox* list);
    bool Listbox1_ConstructContextualMenu(Listbox* list, MenuItem* base, int x, int y);
    bool Listbox1_ContextualMenuAction(Listbox* list, MenuItem* hitItem);
    bool EFfindword_KeyDown(TextField* field, const QString& key);
    void PushButton1_Action(PushButton* button);
    void CheckBox1_Action(CheckBox* box);
    void StaticText3_Open(Label* label);
    void CheckBox2_Action(CheckBox* box);

    // Menu items of the window's menu bar.
    MenuItem* OptionsMenu() const { return MenuItemNamed("OptionsMenu"); }
    MenuItem* OptionsHelp() const { return MenuItemNamed("OptionsHelp"); }
    MenuItem* UntitledSeparator() const { return MenuItemNamed("UntitledSeparator"); }
    MenuItem* OptionsDefinitiontest() const { return MenuItemNamed("OptionsDefinitiontest"); }
    MenuItem* EditMenu() const { return MenuItemNamed("EditMenu"); }
    MenuItem* EditSelectAll() const { return MenuItemNamed("EditSelectAll"); }
    MenuItem* UntitledMenu0() const { return MenuItemNamed("UntitledMenu0"); }
    MenuItem* EditClear() const { return MenuItemNamed("EditClear"); }
    MenuItem* EditPaste() const { return MenuItemNamed("EditPaste"); }
    MenuItem* EditCopyList() const { return MenuItemNamed("EditCopyList"); }
    MenuItem* EditCopy() const { return MenuItemNamed("EditCopy"); }
    MenuItem* EditCut() const { return MenuItemNamed("EditCut"); }
    MenuItem* UntitledMenu1() const { return MenuItemNamed("UntitledMenu1"); }
    MenuItem* EditUndo() const { return MenuItemNamed("EditUndo"); }
    MenuItem* FileMenu() const { return MenuItemNamed("FileMenu"); }
    QuitMenuItem* FileQuit() const { return NilCheck(dynamic_cast<QuitMenuItem*>(MenuItemNamed("FileQuit"))); }
    AppleMenuItem* Fileabout() const { return NilCheck(dynamic_cast<AppleMenuItem*>(MenuItemNamed("Fileabout"))); }

    // Menu handlers.
    bool EditCopy_Action();
    bool OptionsDefinitiontest_Action();
    bool EditCopyList_Action();

    // The pattern search.
    void getwords();

    // The open main window, constructed on the first call.
    static Window1* Instance();

private:
    MenuItem* MenuItemNamed(const QString& name) const
    {
        return NilCheck(NilCheck(MenuBar())->Lookup(name));
    }
    // The clipboard text of the list, shared by Copy and Copy List.
    void CopyListToClipboard();
};
