#pragma once
// The menu bar: File, Edit and Options, made once and shared by every window.
#include "platform/menu_item.h"

class MenuBar1 : public MenuItem {
public:
    void Constructor();
    void Untitled0();  // File
    void Untitled1();  // Edit
    void Untitled2();  // Options

    // The one menu bar, made on the first call.
    static MenuBar1* Instance();
    // Releases the menu bar at exit.
    static void Finalize();
};

// The items of the application's menu bar, found by name.
AppleMenuItem* Fileabout();
MenuItem* OptionsHelp();
MenuItem* EditCopyList();
