#include "app/startup.h"

#include "app/app.h"
#include "app/menu_bar1.h"
#include "platform/database.h"
#include "search/window1.h"

void Startup()
{
    InitPluginEntrypoints();
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
    MakeDefaultView();
}

void InitFileTypes()
{
    // The program opens no documents.
}

void NewAppInstance()
{
    auto app = std::make_unique<App>();
    app->Constructor();
    app->SetMenuBar(MenuBar1::Instance());
    RuntimeRegisterAppObject(std::move(app));
}

void ApplicationAddMenuHandlers()
{
    App* app = App::Instance();
    app->AddMenuHandler("Fileabout", [app] { return app->Fileabout_Action(); });
    app->AddMenuHandler("OptionsHelp", [app] { return app->OptionsHelp_Action(); });
}

void MakeDefaultView()
{
    Window1::Instance();
}
