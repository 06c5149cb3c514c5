// The result list's context menu: look the selected word up, or take it off the list.
#include "search/window1.h"

#include "platform/desktop.h"
#include "platform/text_functions.h"

bool Window1::Listbox1_ConstructContextualMenu(Listbox* list, MenuItem* base, int, int)
{
    if (list->SelCount() >= 1) {
        base->Append(new MenuItem("Look up in dictionary", ""));
        base->Append(new MenuItem("Remove from list", ""));
        return true;
    }
    return false;
}

bool Window1::Listbox1_ContextualMenuAction(Listbox* list, MenuItem* hitItem)
{
    const QString word = list->Cell(list->ListIndex(), 0);
    if (TextEquals(hitItem->Text(), "Look up in dictionary")) {
        ShowURL("dict:///" + word);
    } else if (TextEquals(hitItem->Text(), "Remove from list")) {
        list->RemoveRow(list->ListIndex());
        list->Refresh(true);
    }
    return false;
}
