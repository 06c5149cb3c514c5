#pragma once
// The application object: one per run, registered with the framework, holding the menu
// bar and the menu handlers that serve whichever window is in front.
#include "platform/menu_item.h"

#include <memory>

class FolderItem;

class Application {
public:
    virtual ~Application() = default;

    MenuItem* MenuBar() const { return menuBar_; }
    void SetMenuBar(MenuItem* bar) { menuBar_ = bar; }
    void AddMenuHandler(const QString& name, std::function<bool()> handler);
    const MenuHandlerTable& MenuHandlers() const { return handlers_; }
    std::shared_ptr<FolderItem> ExecutableFile() const;

    // Raised before a menu opens or a shortcut is matched.
    virtual void Event_EnableMenuItems() {}

private:
    MenuItem* menuBar_ = nullptr;  // owned by the program's menu bar module
    MenuHandlerTable handlers_;
};

// The framework holds the application object until the process ends.
void RuntimeRegisterAppObject(std::unique_ptr<Application> app);
Application* GetAppObject();
// Drops the application object; for tests that start the program more than once.
void RuntimeUnregisterAppObject();
