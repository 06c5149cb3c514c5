// Lexivane: finds words by letter pattern, shows their definitions, and builds
// definition-matching tests from the list.
#include "app/menu_bar1.h"
#include "app/startup.h"
#include "help/lexivane_help_text.h"
#include "platform/runtime.h"

int main(int argc, char** argv)
{
    RuntimeInit(argc, argv);
    RunFrameworkInitialization(Startup);
    RuntimeRun();
    // Module state goes in a fixed order: the help text first, the menu bar last.
    LexivaneHelpText_Finalize();
    FrameworkFinalize();
    MenuBar1::Finalize();
    return RuntimeExit();
}
