#include "definition_test/word_defn_test_w.h"

#include "app/menu_bar1.h"

WordDefnTestW* WordDefnTestW::Instance()
{
    return ImplicitInstance<WordDefnTestW>("WordDefnTestW.WordDefnTestW");
}

void WordDefnTestW::Layout()
{
    SetWidth(600);
    SetHeight(300);
    SetMinWidth(500);
    SetMinHeight(300);
    SetMaxWidth(32000);
    SetMaxHeight(32000);
    SetTitle("Click & Drag Definitions to match Words");
    SetCloseButton(true);
    SetMaximizeButton(true);
    SetMinimizeButton(true);
    SetResizeable(true);
    SetVisible(true);
}

namespace {
void applyListDesign(Listbox* list, int rowHeight, bool horizontalScrollbar, int gridLines,
                     bool dragReorder)
{
    list->SetLocks(false, false, false, false);
    list->SetDefaultRowHeight(rowHeight);
    list->SetColumnCount(1);
    list->SetScrollbarHorizontal(horizontalScrollbar);
    list->SetScrollbarVertical(true);
    list->SetGridLinesHorizontal(gridLines);
    list->SetEnableDragReorder(dragReorder);
}
}  // namespace

void WordDefnTestW::CreateControls()
{
    auto* words = NewControl<Listbox>("ListBox1");
    words->SetTextSize(14);
    words->SetTextUnit(0);
    words->SetBounds(0, 0, 203, 260);
    applyListDesign(words, 22, false, 0, false);
    words->SetAccessibleName("Words");
    words->Open = [this, words] { ListBox1_Open(words); };

    auto* definitions = NewControl<Listbox>("ListBox2");
    definitions->SetTextSize(14);
    definitions->SetTextUnit(0);
    definitions->SetBounds(215, 0, 380, 260);
    applyListDesign(definitions, 22, true, 1, true);
    definitions->SetAccessibleName("Definitions");
    definitions->CellBackgroundPaint = [this, definitions](Graphics& g, int row, int column) {
        return ListBox2_CellBackgroundPaint(definitions, g, row, column);
    };
    definitions->Open = [this, definitions] { ListBox2_Open(definitions); };
    definitions->DragReorderRows = [this, definitions](int newPosition, int parentRow) {
        return ListBox2_DragReorderRows(definitions, newPosition, parentRow);
    };
    definitions->CellClick = [this, definitions](int row, int column, int x, int y) {
        return ListBox2_CellClick(definitions, row, column, x, y);
    };
    definitions->CellDescription = [this, definitions](int row, int column) {
        return ListBox2_CellDescription(definitions, row, column);
    };

    auto* done = NewControl<PushButton>("PushButton1");
    done->SetTextUnit(0);
    done->SetBounds(196, 268, 80, 20);
    done->SetLocks(false, false, false, true);
    done->SetCaption("Done");
    done->SetDefault(false);
    done->Action = [this, done] { PushButton1_Action(done); };
    done->Open = [this, done] { PushButton1_Open(done); };

    auto* cancel = NewControl<PushButton>("PushButton2");
    cancel->SetTextUnit(0);
    cancel->SetBounds(82, 268, 80, 20);
    cancel->SetLocks(false, false, false, true);
    cancel->SetCaption("cancel");
    cancel->SetDefault(false);
    cancel->Action = [this, cancel] { PushButton2_Action(cancel); };

    // The staging list lies left of the content area, hidden; the set-up uses it alone.
    auto* staging = NewControl<Listbox>("Listbox3");
    staging->SetTextUnit(0);
    staging->SetBounds(-105, -7, 100, 100);
    applyListDesign(staging, -1, false, 0, false);
    staging->SetVisible(false);

    auto* answers = NewControl<CheckBox>("CBcopyanswers");
    answers->SetTextUnit(0);
    answers->SetBounds(302, 268, 265, 20);
    answers->SetLocks(false, false, false, true);
    answers->SetCaption("Include answers when copying list.");
    answers->SetValue(false);
    answers->Action = [this, answers] { CBcopyanswers_Action(answers); };
}

void WordDefnTestW::ListBox1_Open(Listbox* list)
{
    list->SetColumnAlignment(0, 3);
}

void WordDefnTestW::ListBox2_Open(Listbox*)
{
    ListBox2()->SetEnableDragReorder(true);
}

void WordDefnTestW::PushButton1_Open(PushButton* button)
{
    button->SetCaption("Done");
}

void WordDefnTestW::PushButton2_Action(PushButton*)
{
    Close();
}

void WordDefnTestW::CBcopyanswers_Action(CheckBox* box)
{
    copyanswers = box->Value();
}

void WordDefnTestW::AddMenuHandlers()
{
    AddMenuHandler("editcopylist", [this] { return editcopylist_Action(); });
}

void WordDefnTestW::Event_Open()
{
    SetTitle("Click & Drag Definitions to match Words");
}

void WordDefnTestW::Event_EnableMenuItems()
{
    EditCopyList()->Enable();
}

void WordDefnTestW::Event_Activate() {}

void WordDefnTestW::Event_Resized()
{
    const int w = Width();
    const int h = Height();
    ListBox1()->SetHeight(h - 40);
    ListBox2()->SetHeight(h - 40);
    ListBox2()->SetWidth(w - 220);
    ListBox1()->Refresh(true);
    ListBox2()->Refresh(true);
    PushButton1()->SetTop(h - 31);
    PushButton2()->SetTop(h - 31);
    PushButton1()->Refresh(true);
    PushButton2()->Refresh(true);
}
