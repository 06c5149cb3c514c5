#pragma once
// What the tests share: a package with its own word database, a started program, answers
// to the modal messages it shows, and the user's ways into menus and window sizes.
#include "platform/window.h"

#include <QAccessible>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

struct WordRecord { qint64 id; QString word, type, definition; };

// A database whose table thewords holds these records in this order; SQL run on a file.
void MakeWordDatabase(const QString& path, const std::vector<WordRecord>& records);
void RunSql(const QString& path, const QString& sql);
// A file's bytes, or "<none>" when it cannot be read.
QByteArray FileBytes(const QString& path);
// Every entry under a folder with what it is: a file's bytes, a link's target, "folder" or
// "other"; nothing but regular files is opened (a FIFO would block). What a program wrote shows.
QStringList Listing(const QString& folder);

// An installed package (lexivane/bin/lexivane, lexivane/Resources, LexivaneDB) the program runs from.
class TestPackage {
public:
    TestPackage();
    QString folder() const { return dir_.path(); }
    QString databasePath() const { return dir_.filePath("LexivaneDB"); }
    QString resourcesPath() const { return dir_.filePath("lexivane/Resources"); }
    QString executablePath() const { return dir_.filePath("lexivane/bin/lexivane"); }
    void setWords(const std::vector<WordRecord>& records) { MakeWordDatabase(databasePath(), records); }
    void setHelpText(const QByteArray& bytes);

private:
    QTemporaryDir dir_;
};

// Answers the next modal dialog: the callback's way, or with its default (or first) button.
void AnswerNextModal(std::function<void(QWidget*)> answer = {});
// Runs the action answering every message box so; returns their texts.
QStringList MessagesOf(const std::function<void()>& action);
// Clicks the message box's button of this caption (letter case ignored).
void ClickButton(QWidget* dialog, const QString& caption);
// The visible text of a message box (text, then informative text).
QString ModalText(QWidget* dialog);

// What a screen reader reads of a widget, or of row `child` of a list.
QString AccessibleText(QWidget* widget, QAccessible::Text what = QAccessible::Name, int child = -1);

// Starts the program as its entry routine does, answering the start message; false when no
// main window opened. StopProgram closes and drops everything, so the next start is afresh.
bool StartProgram(TestPackage& package);
void StopProgram();

// Runs pending events (and deferred deletes) a few times.
void Settle();
// Enables the menu items afresh for the front window, as before a menu opens.
void RefreshMenus();
// Chooses an item from the front window's menu bar as the user does: the menu of this
// object name ("EditMenu") opens, enabling its items; false when the item is off or missing.
bool ChooseMenuItem(const QString& menu, const QString& text);
// Asks for this content size and waits until the window has it (or its limits).
void ResizeContent(Window* window, QSize size);

template <class W>
int OpenCount()   // how many windows of this class are open
{
    const std::vector<Window*> open = Window::OpenWindows();
    return int(std::count_if(open.begin(), open.end(), [](Window* w) { return dynamic_cast<W*>(w); }));
}
