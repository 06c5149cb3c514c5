#pragma once
// What the window tests share: a package of their own with a word database of their
// own, a started program, and answers to the modal messages it shows.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <vector>

class QWidget;

struct WordRecord {
    qint64 id;
    QString word;
    QString type;
    QString definition;
};

// Writes a word database with the table thewords holding exactly these records, in
// this order. Fails the current test when it cannot.
void MakeWordDatabase(const QString& path, const std::vector<WordRecord>& records);
// Runs SQL on a database file (for odd schemas).
void RunSql(const QString& path, const QString& sql);

// A folder that holds the application: <dir>/lexivane/bin/lexivane, the package's
// Resources folder, and the word database beside the package. The program under test
// takes it for its own.
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

// Answers the next modal dialog when it shows: the callback gets the dialog and may
// click any of its buttons; the default presses the dialog's default or first button.
// Returns at once; the answer comes from a timer while the dialog's loop runs.
void AnswerNextModal(std::function<void(QWidget*)> answer = {});
// The text of every modal message answered so far by AnswerAllModals, in order.
QStringList& AnsweredModalTexts();
// Answers every modal message box with its default button and records its text,
// until StopAnsweringModals.
void AnswerAllModals();
void StopAnsweringModals();
// Clicks the button of a message box whose caption matches (letter case ignored).
void ClickButton(QWidget* dialog, const QString& caption);
// The visible text of a message box (text, then informative text).
QString ModalText(QWidget* dialog);

// Starts the program as its entry routine does, on the package's database, answering
// the start message; returns false when the main window did not open.
bool StartProgram(TestPackage& package);
// Closes every window and drops the application object and the menu bar, so that the
// next StartProgram starts afresh.
void StopProgram();

// Runs pending events (and deferred deletes) a few times.
void Settle();
// Opens the menu named (top-level menu name, e.g. "EditMenu") of the front window the
// way the user does, so that the items are enabled afresh, and closes it.
void RefreshMenus();
