#include "app/menu_bar1.h"

#include "app/app.h"
#include "platform/nil_object.h"

namespace {
MenuBar1* implicitInstance = nullptr;

struct ItemDesign {
    const char* name;
    const char* text;
    const char* shortcut;  // empty: none
};

template <class Item = MenuItem>
void appendItem(MenuItem* bar, const char* menuName, const ItemDesign& design)
{
    auto* item = new Item;
    item->SetName(design.name);
    item->SetAutoEnable(true);
    item->SetText(design.text);
    if (!item->IsSeparator()) item->SetKeyboardShortcut(design.shortcut);
    NilCheck(bar->Child(menuName))->Append(item);
}

void appendMenu(MenuItem* bar, const char* name, const char* text)
{
    auto* menu = new MenuItem;
    menu->SetName(name);
    menu->SetAutoEnable(true);
    menu->SetText(text);
    menu->SetKeyboardShortcut("");
    bar->Append(menu);
}

MenuItem* lookUp(const char* name)
{
    return NilCheck(NilCheck(App::Instance()->MenuBar())->Lookup(name));
}
}  // namespace

MenuBar1* MenuBar1::Instance()
{
    if (!implicitInstance) {
        implicitInstance = new MenuBar1;
        implicitInstance->Constructor();
    }
    return implicitInstance;
}

void MenuBar1::Finalize()
{
    delete implicitInstance;
    implicitInstance = nullptr;
}

void MenuBar1::Constructor()
{
    Untitled0();
    Untitled1();
    Untitled2();
}

void MenuBar1::Untitled0()
{
    appendMenu(this, "FileMenu", "&File");
    appendItem<AppleMenuItem>(this, "FileMenu", {"Fileabout", "about", ""});
    appendItem<QuitMenuItem>(this, "FileMenu", {"FileQuit", "&Quit", "Cmd+Q"});
}

void MenuBar1::Untitled1()
{
    appendMenu(this, "EditMenu", "&Edit");
    const ItemDesign items[] = {
        {"EditUndo", "&Undo", "Cmd+Z"},
        {"UntitledMenu1", "-", ""},
        {"EditCut", "Cu&t", "Cmd+X"},
        {"EditCopy", "&Copy", "Cmd+C"},
        {"EditCopyList", "Copy List", "Cmd+l"},
        {"EditPaste", "&Paste", "Cmd+V"},
        {"EditClear", "&Delete", ""},
        {"UntitledMenu0", "-", ""},
        {"EditSelectAll", "Select &All", "Cmd+A"},
    };
    for (const auto& item : items) appendItem(this, "EditMenu", item);
}

void MenuBar1::Untitled2()
{
    appendMenu(this, "OptionsMenu", "Options");
    const ItemDesign items[] = {
        {"OptionsDefinitiontest", "Definition test", "Cmd+d"},
        {"UntitledSeparator", "-", ""},
        {"OptionsHelp", "Help", ""},
    };
    for (const auto& item : items) appendItem(this, "OptionsMenu", item);
}

AppleMenuItem* Fileabout()
{
    return NilCheck(dynamic_cast<AppleMenuItem*>(lookUp("Fileabout")));
}

MenuItem* OptionsHelp()
{
    return lookUp("OptionsHelp");
}

MenuItem* EditCopyList()
{
    return lookUp("EditCopyList");
}
