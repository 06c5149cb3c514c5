#include "search/window1.h"

#include "app/menu_bar1.h"

Window1* Window1::Instance()
{
    return ImplicitInstance<Window1>("Window1.Window1");
}

Window1::~Window1()
{
    f.reset();
    db.reset();
    randomize.reset();
}

void Window1::Layout()
{
    SetMenuBar(MenuBar1::Instance());
    SetWidth(600);
    SetHeight(400);
    SetMinWidth(600);
    SetMinHeight(400);
    SetMaxWidth(600);
    SetMaxHeight(32000);
    SetTitle("Rivivuzad");
    SetVisible(true);
    SetCloseButton(false);
    SetResizeable(true);
    SetMaximizeButton(false);
    SetMinimizeButton(true);
}

void Window1::CreateControls()
{
    auto* listbox1 = NewControl<Listbox>("Listbox1");
    listbox1->SetTextSize(14);
    listbox1->SetTextUnit(0);
    listbox1->SetBounds(0, 1, 353, 399);
    listbox1->SetLocks(true, true, false, true);
    listbox1->SetColumnCount(1);
    listbox1->SetScrollbarVertical(true);
    listbox1->SetScrollbarHorizontal(false);
    listbox1->SetDefaultRowHeight(-1);
    listbox1->SetEnableDragReorder(false);
    listbox1->SetAccessibleName("Words");
    listbox1->Change = [this, listbox1] { Listbox1_Change(listbox1); };
    listbox1->ConstructContextualMenu = [this, listbox1](MenuItem* base, int x, int y) {
        return Listbox1_ConstructContextualMenu(listbox1, base, x, y);
    };
    listbox1->ContextualMenuAction = [this, listbox1](MenuItem* hit) {
        return Listbox1_ContextualMenuAction(listbox1, hit);
    };

    auto* findword = NewControl<TextField>("EFfindword");
    findword->SetTextSize(16);
    findword->SetTextUnit(0);
    findword->SetBounds(365, 53, 216, 25);
    findword->SetLocks(false, false, false, false);
    findword->SetAlignment(2);
    findword->SetReadOnly(false);
    findword->SetAccessibleName("Search");
    findword->KeyDown = [this, findword](const QString& key) { return EFfindword_KeyDown(findword, key); };

    auto* definition = NewControl<TextArea>("EFdefinition");
    definition->SetTextSize(14);
    definition->SetTextUnit(0);
    definition->SetBounds(354, 169, 246, 211);
    definition->SetLocks(false, true, false, true);
    definition->SetReadOnly(true);
    definition->SetScrollbarVertical(true);
    definition->SetAccessibleName("Definitions");

    auto* title = NewControl<Label>("StaticText1");
    title->SetBounds(423, 4, 100, 20);
    title->SetLocks(false, false, false, false);
    title->SetBold(true);
    title->SetTextAlign(1);
    title->SetMultiline(false);
    title->SetText("Search");

    auto* doButton = NewControl<PushButton>("PushButton1");
    doButton->SetTextUnit(0);
    doButton->SetBounds(527, 90, 54, 20);
    doButton->SetLocks(false, false, false, false);
    doButton->SetCaption("do");
    doButton->SetDefault(true);
    doButton->Action = [this, doButton] { PushButton1_Action(doButton); };

    auto* hint = NewControl<Label>("StaticText2");
    hint->SetTextSize(10);
    hint->SetBounds(376, 23, 194, 20);
    hint->SetLocks(false, false, false, false);
    hint->SetBold(true);
    hint->SetTextAlign(1);
    hint->SetMultiline(false);
    hint->SetText("( a minus sign \"-\" searches for letter)");

    auto* dictionary = NewControl<CheckBox>("CheckBox1");
    dictionary->SetTextSize(10);
    dictionary->SetTextUnit(0);
    dictionary->SetBounds(355, 123, 148, 32);
    dictionary->SetLocks(false, false, false, false);
    dictionary->SetBold(true);
    dictionary->SetCaption("Always open Dictionary on selected word");
    dictionary->SetValue(false);
    dictionary->Action = [this, dictionary] { CheckBox1_Action(dictionary); };

    auto* count = NewControl<Label>("StaticText3");
    count->SetBounds(365, 90, 131, 20);
    count->SetLocks(false, false, false, false);
    count->SetBold(false);
    count->SetTextAlign(1);
    count->SetMultiline(false);
    count->SetText("0");
    count->Open = [this, count] { StaticText3_Open(count); };

    auto* speak = NewControl<CheckBox>("CheckBox2");
    speak->SetTextSize(10);
    speak->SetTextUnit(0);
    speak->SetBounds(509, 130, 72, 20);
    speak->SetLocks(false, false, false, false);
    speak->SetBold(false);
    speak->SetCaption("Speak");
    speak->SetValue(false);
    speak->Action = [this, speak] { CheckBox2_Action(speak); };
}

void Window1::StaticText3_Open(Label* label)
{
    label->SetHelpTag("number of words");
}

void Window1::AddMenuHandlers()
{
    AddMenuHandler("EditCopy", [this] { return EditCopy_Action(); });
    AddMenuHandler("OptionsDefinitiontest", [this] { return OptionsDefinitiontest_Action(); });
    AddMenuHandler("EditCopyList", [this] { return EditCopyList_Action(); });
}

void Window1::Event_EnableMenuItems()
{
    if (Listbox1()->ListCount() < 1) {
        EditCopy()->SetEnabled(false);
        EditCopyList()->SetEnabled(false);
    } else {
        EditCopy()->Enable();
        EditCopyList()->Enable();
    }
    if (Listbox1()->ListCount() < 2) OptionsDefinitiontest()->SetEnabled(false);
    else OptionsDefinitiontest()->Enable();
}
