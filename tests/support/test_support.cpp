#include "test_support.h"

#include "app/menu_bar1.h"
#include "app/startup.h"
#include "help/lexivane_help_text.h"
#include "platform/application.h"
#include "platform/desktop.h"
#include "platform/folder_item.h"
#include "platform/menu_dispatch.h"
#include "platform/runtime.h"

#include <QtTest>
#include <QtWidgets>
#include <sqlite3.h>

void RunSql(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    char* message = nullptr;
    int rc = sqlite3_open(QFile::encodeName(path).constData(), &db);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_free(message);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(path + ": " + text));
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

QStringList Listing(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString what = entry.isSymLink() ? "-> " + entry.symLinkTarget()
                             : entry.isDir()   ? "folder"
                             : entry.isFile()  ? QString::fromLatin1(FileBytes(entry.filePath()).toHex())
                                               : "other";
        entries << QDir(folder).relativeFilePath(entry.filePath()) + " " + what;
    }
    entries.sort();
    return entries;
}

void MakeWordDatabase(const QString& path, const std::vector<WordRecord>& records)
{
    QFile::remove(path);
    const auto quoted = [](QString text) { return "'" + text.replace('\'', "''") + "'"; };
    QString sql = "CREATE TABLE thewords (id INTEGER, word TEXT, type TEXT, definition TEXT); BEGIN;";
    for (const WordRecord& r : records)
        sql += QString("INSERT INTO thewords VALUES (%1, %2, %3, %4);")
                   .arg(r.id).arg(quoted(r.word), quoted(r.type), quoted(r.definition));
    RunSql(path, sql + "COMMIT;");
}

TestPackage::TestPackage()
{
    for (const char* folder : {"lexivane/bin", "lexivane/Resources"}) QDir(dir_.path()).mkpath(folder);
    QFile(executablePath()).open(QIODevice::WriteOnly);
    SetExecutablePathForTesting(executablePath());
}

void TestPackage::setHelpText(const QByteArray& bytes)
{
    QFile file(resourcesPath() + "/LexivaneHelpText.txt");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString ModalText(QWidget* dialog)
{
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (!box) return QString();
    return box->informativeText().isEmpty() ? box->text() : box->text() + "\n" + box->informativeText();
}

void ClickButton(QWidget* dialog, const QString& caption)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->text().compare(caption, Qt::CaseInsensitive) == 0) return button->click();
    QFAIL(qPrintable("no button " + caption));
}

static void pressDefault(QWidget* dialog)
{
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box && box->defaultButton()) box->defaultButton()->click();
    else if (box && !box->buttons().isEmpty()) box->buttons().first()->click();
    else dialog->close();
}

// A timer that hands each visible modal widget to answer; once: only the first.
static QTimer* pollModals(std::function<void(QWidget*)> answer, bool once)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, once] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (once) {
            timer->stop();
            timer->deleteLater();
        }
        answer(modal);
    });
    timer->start(10);
    return timer;
}

void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    pollModals(answer ? answer : pressDefault, true);
}

QStringList MessagesOf(const std::function<void()>& action)
{
    QStringList texts;
    std::unique_ptr<QTimer> answerer(pollModals([&texts](QWidget* modal) {
        texts.append(ModalText(modal));
        pressDefault(modal);
    }, false));
    action();
    Settle();
    return texts;
}

QString AccessibleText(QWidget* widget, QAccessible::Text what, int child)
{
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
    if (control && child >= 0) {
        // A list keeps its rows' interfaces, and hears of changed rows only from an
        // accessibility bridge, which the offscreen platform lacks: read through a fresh one.
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(control));
        control = QAccessible::queryAccessibleInterface(widget)->child(child);
    }
    return control ? control->text(what) : "<not accessible>";
}

bool StartProgram(TestPackage& package)
{
    [[maybe_unused]] static const bool filtersInstalled = (InstallFrameworkFilters(), true);
    SetExecutablePathForTesting(package.executablePath());
    ResetQuitForTesting();
    AnswerNextModal();
    RunFrameworkInitialization(Startup);
    Settle();
    return Window::GetImplicitWindow("Window1.Window1") != nullptr && !QuitRequested();
}

void StopProgram()
{
    Settle();
    CloseAllWindows();
    MenuBar1::Finalize();
    RuntimeUnregisterAppObject();
    LexivaneHelpText_ResetForTesting();
    SetSpeechSinkForTesting({});
    ResetQuitForTesting();
    Settle();
}

void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void RefreshMenus() { UpdateMenuEnabling(); }

bool ChooseMenuItem(const QString& menu, const QString& text)
{
    QAction* chosen = nullptr;
    auto* bar = Window::Front() ? Window::Front()->TopLevelWidget()->findChild<QMenuBar*>() : nullptr;
    for (QAction* top : bar ? bar->actions() : QList<QAction*>()) {
        if (!top->menu() || top->menu()->objectName() != menu) continue;
        QMetaObject::invokeMethod(top->menu(), "aboutToShow");
        for (QAction* item : top->menu()->actions())
            if (item->text() == text && item->isEnabled()) chosen = item;
    }
    if (chosen) chosen->trigger();
    Settle();
    return chosen != nullptr;
}

void ResizeContent(Window* window, QSize size)
{
    QWidget* top = window->TopLevelWidget();
    const QSize wanted = size + top->size() - window->ContentWidget()->size();
    top->resize(wanted);
    QTRY_COMPARE(top->size(), wanted.expandedTo(top->minimumSize()).boundedTo(top->maximumSize()));
}
