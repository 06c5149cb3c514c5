#include "app/app.h"

#include "app/menu_bar1.h"
#include "help/about_lv.h"
#include "help/whelp.h"
#include "platform/nil_object.h"

App* App::Instance()
{
    return NilCheck(dynamic_cast<App*>(GetAppObject()));
}

void App::Event_EnableMenuItems()
{
    NilCheck(Fileabout())->Enable();
    NilCheck(OptionsHelp())->Enable();
}

bool App::Fileabout_Action()
{
    NilCheck(aboutLV::Instance())->Show();
    return true;
}

bool App::OptionsHelp_Action()
{
    NilCheck(Whelp::Instance())->Show();
    return true;
}
