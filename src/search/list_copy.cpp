// Copy and Copy List: the whole result list on the clipboard under a header line.
#include "search/window1.h"

#include "platform/desktop.h"
#include "platform/runtime.h"
#include "platform/text_functions.h"

bool Window1::EditCopy_Action()
{
    CopyListToClipboard();
    return true;
}

bool Window1::EditCopyList_Action()
{
    CopyListToClipboard();
    return true;
}

void Window1::CopyListToClipboard()
{
    Clipboard clipboard;
    QString text = "similar words to " + EFfindword()->Text() + Chr(13) + Chr(13);
    Listbox* list = Listbox1();
    for (int i = 0; i <= list->ListCount() - 1; ++i) {
        text += list->Cell(i, 0) + Chr(13);
        YieldToFramework();
    }
    clipboard.SetText(text);
    clipboard.Close();
}
