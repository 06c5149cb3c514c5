#include "help/whelp.h"

#include "help/lexivane_help_text.h"

Whelp* Whelp::Instance()
{
    return ImplicitInstance<Whelp>("Whelp.Whelp");
}

void Whelp::Layout()
{
    SetWidth(428);
    SetHeight(411);
    SetMinWidth(428);
    SetMinHeight(411);
    SetMaxWidth(32000);
    SetMaxHeight(32000);
    SetTitle("Rivivuzad Help");
    SetCloseButton(true);
    SetResizeable(true);
    SetMinimizeButton(false);
    SetMaximizeButton(false);
    SetVisible(true);
}

void Whelp::CreateControls()
{
    auto* text = NewControl<TextArea>("EditField1");
    text->SetTextUnit(0);
    text->SetBounds(0, 0, 428, 367);
    text->SetLocks(true, true, true, true);
    text->SetScrollbarVertical(true);
    text->SetReadOnly(true);
    text->SetAccessibleName("Help");

    auto* ok = NewControl<PushButton>("PushButton1");
    ok->SetTextUnit(0);
    ok->SetBounds(174, 379, 80, 20);
    ok->SetLocks(false, false, false, true);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->Action = [this, ok] { PushButton1_Action(ok); };
}

void Whelp::PushButton1_Action(PushButton*)
{
    Close();
}

void Whelp::Event_Open()
{
    TextArea* area = NilCheck(EditField1());
    area->SetText(LexivaneHelpText());
}
