#pragma once
// The application object: serves about and Help from whichever window is in front.
#include "platform/application.h"

class App : public Application {
public:
    void Event_EnableMenuItems() override;
    bool Fileabout_Action();
    bool OptionsHelp_Action();
    void Constructor() {}

    // The registered application object; before start-up has registered it, there is
    // none and asking for it raises NilObjectException.
    static App* Instance();
};
