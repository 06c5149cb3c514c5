// Answering by swapping definitions, and scoring with colours.
#include "definition_test/word_defn_test_w.h"

#include "platform/runtime.h"
#include "platform/text_functions.h"

namespace {
bool isRight(Listbox* list, int row)
{
    return Val(list->CellTag(row, 0)) == row;
}
}  // namespace

bool WordDefnTestW::ListBox2_CellClick(Listbox*, int row, int, int, int)
{
    clickedcell = row;
    return false;
}

bool WordDefnTestW::ListBox2_DragReorderRows(Listbox* list, int newPosition, int)
{
    const int src = clickedcell;
    const int dst = newPosition;
    // A drop that is not on a row of the list swaps nothing.
    if (src < 0 || src >= list->ListCount() || dst < 0 || dst >= list->ListCount()) return true;
    if (isdone && (isRight(list, src) || isRight(list, dst))) return true;
    const QString keptText = list->Cell(dst, 0);
    const QString keptTag = list->CellTag(dst, 0);
    list->SetCell(dst, 0, list->Cell(src, 0));
    list->SetCellTag(dst, 0, list->CellTag(src, 0));
    list->SetCell(src, 0, keptText);
    list->SetCellTag(src, 0, keptTag);
    return true;
}

bool WordDefnTestW::ListBox2_CellBackgroundPaint(Listbox* list, Graphics& g, int row, int column)
{
    if (!isdone || row > list->ListCount() - 1) return false;
    const double t = Val(list->CellTag(row, column));
    if (t == -1) g.SetForeColor(RGB(255, 255, 255));
    else if (t == row) g.SetForeColor(RGB(100, 100, 255));
    else g.SetForeColor(RGB(255, 100, 100));
    g.FillRect(0, 0, g.Width(), g.Height());
    return true;
}

QString WordDefnTestW::ListBox2_CellDescription(Listbox* list, int row, int column)
{
    // The same rule as the colours: an empty definition (white) is neither.
    if (!isdone || row > list->ListCount() - 1) return QString();
    const double t = Val(list->CellTag(row, column));
    if (t == -1) return QString();
    return t == row ? "right" : "wrong";
}

void WordDefnTestW::PushButton1_Action(PushButton* button)
{
    if (TextEquals(button->Caption(), "Done")) {
        endtime = Ticks();
        testtaketime = endtime - starttime;
        isdone = true;
        const QString legend = " blue = correct, red = wrong";
        // Pressed again while wrong rows remain, the title keeps its one legend.
        if (!Title().endsWith(legend)) SetTitle(Title() + legend);
        Refresh(true);
        ListBox2()->SetVisible(false);
        ListBox2()->Refresh(true);
        ListBox2()->SetVisible(true);
        ListBox2()->Refresh(true);
        wronganswers = 0;
        for (int i = 0; i <= ListBox2()->ListCount() - 1; ++i) {
            const qint64 t = qint64(Val(ListBox2()->CellTag(i, 0)));
            if (t > -1 && t != i) wronganswers += 1;
            YieldToFramework();
        }
        if (wronganswers == 0) button->SetCaption("close");
    } else if (TextEquals(button->Caption(), "close")) {
        Close();
    }
}
