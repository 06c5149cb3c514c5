#include "help/about_lv.h"

#include "platform/desktop.h"
#include "platform/text_functions.h"

aboutLV* aboutLV::Instance()
{
    return ImplicitInstance<aboutLV>("aboutLV.aboutLV");
}

void aboutLV::Layout()
{
    SetWidth(324);
    SetHeight(236);
    SetMinWidth(64);
    SetMinHeight(64);
    SetMaxWidth(32000);
    SetMaxHeight(32000);
    SetTitle("About Rivivuzad");
    SetCloseButton(true);
    SetResizeable(true);
    SetMinimizeButton(false);
    SetMaximizeButton(false);
    SetVisible(true);
}

void aboutLV::CreateControls()
{
    auto* label = NewControl<Label>("StaticText1");
    label->SetTextUnit(0);
    label->SetBounds(56, 16, 172, 97);
    label->SetLocks(false, false, false, false);
    label->SetMultiline(true);
    label->SetTextAlign(0);
    label->SetText("Lexivane" + Chr(13) + Chr(13) + "v 0.6.01" + Chr(13) + Chr(13)
                   + "the Lexivane developers");

    auto* ok = NewControl<PushButton>("PushButton1");
    ok->SetTextUnit(0);
    ok->SetBounds(191, 125, 80, 20);
    ok->SetLocks(false, false, false, false);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->Action = [this, ok] { PushButton1_Action(ok); };

    auto* website = NewControl<PushButton>("PushButton2");
    website->SetTextUnit(0);
    website->SetBounds(41, 125, 116, 20);
    website->SetLocks(false, false, false, false);
    website->SetCaption("GoTo WebSite");
    website->SetDefault(false);
    website->Action = [this, website] { PushButton2_Action(website); };
}

void aboutLV::PushButton1_Action(PushButton*)
{
    Close();
}

void aboutLV::PushButton2_Action(PushButton*)
{
    ShowURL(kMakerWebSite);
}
