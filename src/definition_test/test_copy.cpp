// Copy List in the test window: numbered words with the definitions beside them.
#include "definition_test/word_defn_test_w.h"

#include "platform/desktop.h"
#include "platform/runtime.h"
#include "platform/text_functions.h"

bool WordDefnTestW::editcopylist_Action()
{
    Clipboard clipboard;
    QString text;
    for (int i = 0; i <= ListBox1()->ListCount() - 1; ++i) {
        text += Format(i + 1, "00") + ".  " + ListBox1()->Cell(i, 0) + Chr(9) + ListBox2()->Cell(i, 0);
        if (copyanswers) text += "   [" + Str(Val(ListBox2()->CellTag(i, 0)) + 1) + "]";
        text += Chr(13);
        YieldToFramework();
    }
    clipboard.SetText(text);
    clipboard.Close();
    return true;
}
