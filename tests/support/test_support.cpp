#include "test_support.h"

#include "app/menu_bar1.h"
#include "app/startup.h"
#include "help/lexivane_help_text.h"
#include "platform/application.h"
#include "platform/desktop.h"
#include "platform/folder_item.h"
#include "platform/menu_dispatch.h"
#include "platform/runtime.h"
#include "platform/window.h"
#include "search/window1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <sqlite3.h>

void RunSql(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        QFAIL("cannot make the test database");
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(text));
}

void MakeWordDatabase(const QString& path, const std::vector<WordRecord>& records)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        QFAIL("cannot make the test database");
    }
    sqlite3_exec(db, "CREATE TABLE thewords (id INTEGER, word TEXT, type TEXT, definition TEXT);"
                     "BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO thewords VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (const WordRecord& r : records) {
        const QByteArray word = r.word.toUtf8(), type = r.type.toUtf8(), definition = r.definition.toUtf8();
        sqlite3_bind_int64(insert, 1, r.id);
        sqlite3_bind_text(insert, 2, word.constData(), int(word.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, type.constData(), int(type.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, definition.constData(), int(definition.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

TestPackage::TestPackage()
{
    QDir(dir_.path()).mkpath("lexivane/bin");
    QDir(dir_.path()).mkpath("lexivane/Resources");
    QFile exe(executablePath());
    exe.open(QIODevice::WriteOnly);
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
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        QString text = box->text();
        if (!box->informativeText().isEmpty()) text += "\n" + box->informativeText();
        return text;
    }
    return QString();
}

void ClickButton(QWidget* dialog, const QString& caption)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text().compare(caption, Qt::CaseInsensitive) == 0) {
            button->click();
            return;
        }
    }
    QFAIL(qPrintable("no button " + caption));
}

namespace {
void pressDefault(QWidget* dialog)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        if (QAbstractButton* button = box->defaultButton()) {
            button->click();
            return;
        }
        const auto buttons = box->buttons();
        if (!buttons.isEmpty()) {
            buttons.first()->click();
            return;
        }
    }
    dialog->close();
}

QPointer<QTimer> answerAllTimer;
}  // namespace

void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        if (answer) answer(modal);
        else pressDefault(modal);
    });
    timer->start();
}

QStringList& AnsweredModalTexts()
{
    static QStringList texts;
    return texts;
}

void AnswerAllModals()
{
    if (answerAllTimer) return;
    answerAllTimer = new QTimer;
    answerAllTimer->setInterval(10);
    QObject::connect(answerAllTimer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        AnsweredModalTexts().append(ModalText(modal));
        pressDefault(modal);
    });
    answerAllTimer->start();
}

void StopAnsweringModals()
{
    delete answerAllTimer;
}

bool StartProgram(TestPackage& package)
{
    static bool filters = false;
    if (!filters) {
        InstallFrameworkFilters();
        filters = true;
    }
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

void RefreshMenus()
{
    UpdateMenuEnabling();
}
