#include "help/lexivane_help_text.h"

#include "app/app.h"
#include "platform/folder_item.h"
#include "platform/nil_object.h"

namespace {
bool loaded = false;
QString permaText;
}  // namespace

QString LexivaneHelpText()
{
    if (loaded) return permaText;
    // Marked first, so that a failed or broken first attempt is never repeated.
    loaded = true;
    std::shared_ptr<FolderItem> executable = NilCheck(App::Instance())->ExecutableFile();
    std::shared_ptr<FolderItem> folder = NilCheck(executable.get())->Parent();
    std::shared_ptr<FolderItem> package = NilCheck(folder.get())->Parent();
    std::shared_ptr<FolderItem> resources = NilCheck(package.get())->Child("Resources");
    // A name that is not an existing folder stands for no folder at all: a package
    // without its Resources folder shows an empty help text, without a message.
    if (!resources || !resources->Directory()) return permaText;
    std::shared_ptr<FolderItem> file = resources->Child("LexivaneHelpText.txt");
    std::unique_ptr<TextInputStream> stream = NilCheck(file.get())->OpenAsTextFile();
    if (!stream) return permaText;
    permaText = stream->ReadAll();
    stream->Close();
    return permaText;
}

void LexivaneHelpText_Finalize()
{
    permaText = QString();
}

void LexivaneHelpText_ResetForTesting()
{
    loaded = false;
    permaText = QString();
}
