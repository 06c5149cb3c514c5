#pragma once
// Files and folders as the program names them. A null pointer stands for nil.
#include <QString>
#include <memory>

class TextInputStream;

class FolderItem {
public:
    explicit FolderItem(QString path);
    QString NativePath() const { return path_; }
    bool Exists() const;
    bool Directory() const;
    std::shared_ptr<FolderItem> Parent() const;                 // nil at the root
    std::shared_ptr<FolderItem> Child(const QString& name) const;  // nil unless this is a folder
    // Nil when it cannot be read, or is not a regular file of at most kMaxTextFileSize bytes
    // (a FIFO, a device, a folder, or a file too big to hold whole in memory).
    std::unique_ptr<TextInputStream> OpenAsTextFile() const;
    static constexpr qint64 kMaxTextFileSize = 4 * 1024 * 1024;

private:
    QString path_;
};

class TextInputStream {
public:
    explicit TextInputStream(QByteArray bytes) : bytes_(std::move(bytes)) {}
    // The whole content. No encoding is declared, so UTF-8 is taken when the bytes are
    // valid UTF-8, Latin-1 otherwise: every byte becomes some character, none is lost.
    QString ReadAll();
    void Close() { bytes_.clear(); }

private:
    QByteArray bytes_;
};

// The folder that holds the application: the parent of the package, which is the
// executable's grandparent (package/bin/executable).
std::shared_ptr<FolderItem> ApplicationFolder();
// The running executable.
std::shared_ptr<FolderItem> ExecutableFile();
// A file named relative to the folder that holds the application (path mode 0).
std::shared_ptr<FolderItem> GetFolderItem(const QString& name, int pathMode);
// Tests stand the program in a package of their own making.
void SetExecutablePathForTesting(const QString& path);
