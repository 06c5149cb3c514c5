#include "platform/folder_item.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString& ExecutablePathOverride()
{
    static QString path;
    return path;
}

} // namespace

FolderItem::FolderItem(QString path) : path_(std::move(path)) {}

bool FolderItem::Exists() const
{
    return !path_.isEmpty() && QFileInfo::exists(path_);
}

bool FolderItem::Directory() const
{
    return !path_.isEmpty() && QFileInfo(path_).isDir();
}

std::shared_ptr<FolderItem> FolderItem::Parent() const
{
    if (path_.isEmpty())
        return nullptr;
    const QString absolute = QDir::cleanPath(QFileInfo(path_).absoluteFilePath());
    if (QDir(absolute).isRoot())
        return nullptr;
    return std::make_shared<FolderItem>(QFileInfo(absolute).absolutePath());
}

std::shared_ptr<FolderItem> FolderItem::Child(const QString& name) const
{
    // The child itself need not exist: that is how a file about to be looked for is named.
    if (!Directory())
        return nullptr;
    return std::make_shared<FolderItem>(QDir(path_).filePath(name));
}

std::unique_ptr<TextInputStream> FolderItem::OpenAsTextFile() const
{
    // The type is looked at without opening: opening a FIFO waits for a writer. A link is
    // followed, so a link to a device counts as that device.
    const QByteArray path = QFile::encodeName(path_);
    struct stat info;
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode)
        || info.st_size > kMaxTextFileSize)
        return nullptr;
    // Non-blocking, in case a FIFO took the file's place since the look: its read ends at
    // once. A file that grew meanwhile is read one byte past the bound, which tells.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    QByteArray bytes = file.read(kMaxTextFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxTextFileSize)
        return nullptr;
    return std::make_unique<TextInputStream>(std::move(bytes));
}

QString TextInputStream::ReadAll()
{
    // Stateless, so that a multi-byte sequence cut off at the end counts as an error
    // instead of being held back waiting for more input.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes_);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes_);
    // The stream is read to its end; a second ReadAll has nothing left to give.
    bytes_ = QByteArray();
    return text;
}

void SetExecutablePathForTesting(const QString& path)
{
    ExecutablePathOverride() = path;
}

std::shared_ptr<FolderItem> ExecutableFile()
{
    if (!ExecutablePathOverride().isEmpty())
        return std::make_shared<FolderItem>(ExecutablePathOverride());
    if (QCoreApplication::instance())
        return std::make_shared<FolderItem>(QCoreApplication::applicationFilePath());
    // Before the application object exists the kernel still knows the executable.
    return std::make_shared<FolderItem>(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}

std::shared_ptr<FolderItem> ApplicationFolder()
{
    std::shared_ptr<FolderItem> item = ExecutableFile();
    for (int up = 0; up < 3 && item; ++up)   // bin, then the package, then its folder
        item = item->Parent();
    return item;
}

std::shared_ptr<FolderItem> GetFolderItem(const QString& name, int pathMode)
{
    if (pathMode != 0)   // any other mode: the name is a path of its own
        return name.isEmpty() ? nullptr : std::make_shared<FolderItem>(name);
    const std::shared_ptr<FolderItem> folder = ApplicationFolder();
    return folder ? folder->Child(name) : nullptr;
}
