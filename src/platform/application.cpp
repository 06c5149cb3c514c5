#include "platform/application.h"

#include "platform/folder_item.h"

namespace {
std::unique_ptr<Application> appObject;
}

void Application::AddMenuHandler(const QString& name, std::function<bool()> handler)
{
    handlers_.Add(name, std::move(handler));
}

std::shared_ptr<FolderItem> Application::ExecutableFile() const
{
    return ::ExecutableFile();
}

void RuntimeRegisterAppObject(std::unique_ptr<Application> app)
{
    appObject = std::move(app);
}

Application* GetAppObject()
{
    return appObject.get();
}

void RuntimeUnregisterAppObject()
{
    appObject.reset();
}
