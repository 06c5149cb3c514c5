#include "platform/runtime.h"

#include "platform/keyboard.h"
#include "platform/menu_dispatch.h"
#include "platform/message_box.h"
#include "platform/nil_object.h"
#include "platform/window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <chrono>
#include <memory>

namespace {
// Deleted by RuntimeExit, never by a static destructor: when the toolkit ends the process
// itself (the X server went away), Qt's own thread storage is gone by then.
QApplication* app = nullptr;
bool quitRequested = false;
int quitCode = 0;
std::function<void(const QString&)> exceptionObserver;

QElapsedTimer& tickClock()
{
    static QElapsedTimer clock = [] { QElapsedTimer c; c.start(); return c; }();
    return clock;
}

bool reportPending = false;
bool yielding = false;

// When pending events last had their turn: in the event loop, in a yield, or just before
// the toolkit called into the program. A loop yields once they have waited 15 ms.
using YieldClock = std::chrono::steady_clock;
YieldClock::time_point eventsRan = YieldClock::now();
void noteEventsRan() { eventsRan = YieldClock::now(); }

QString describe(const QString& exceptionClass, const QString& detail)
{
    QString text = "An exception of class " + exceptionClass + " was not handled.";
    if (!detail.isEmpty() && detail != exceptionClass) text += "\n\n" + detail;
    return text;
}

// Runs fn; says what it let out, or gives a null string when it let nothing out.
QString runCatching(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const NilObjectException&) {
        return describe("NilObjectException", QString());
    } catch (const std::exception& e) {
        return describe("RuntimeException", QString::fromUtf8(e.what()));
    } catch (...) {
        return describe("RuntimeException", QString());
    }
    return QString();
}

// The message shows once the handler's frame is gone: a handler may have failed in the
// middle of painting a list, where a modal loop must not start. Failures that come while
// one message is waiting or showing (a cell that fails at every repaint) go to stderr only.
void report(const QString& message)
{
    if (exceptionObserver) {
        exceptionObserver(message);
        return;
    }
    std::fprintf(stderr, "lexivane: %s\n", qPrintable(message));
    if (reportPending) return;
    reportPending = true;
    QTimer::singleShot(0, [message] {
        MsgBox(message);
        reportPending = false;
    });
}
}  // namespace

void RuntimeInit(int& argc, char** argv)
{
    tickClock();
    app = new QApplication(argc, argv);
    QApplication::setApplicationName("Rivivuzad");
    InstallFrameworkFilters();
}

void InstallFrameworkFilters()
{
    QApplication::setQuitOnLastWindowClosed(false);
    InstallKeyboardObserver();
    InstallMenuShortcutFilter();
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &noteEventsRan);
}

void ResetQuitForTesting()
{
    // QCoreApplication::exit leaves a mark that makes every later event loop (a modal
    // message box too) return at once; only a run of the main loop clears it.
    if (quitRequested && QCoreApplication::instance()) {
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    quitRequested = false;
    quitCode = 0;
}

void RunFrameworkInitialization(const std::function<void()>& startup)
{
    const QString failure = runCatching(startup);
    if (failure.isNull()) return;
    // Without the main window there is nothing to go on with: the message shows, then the
    // program ends with a failure status.
    const QString message = failure + "\n\nThe program ends.";
    std::fprintf(stderr, "lexivane: %s\n", qPrintable(message));
    if (exceptionObserver) exceptionObserver(message);
    else MsgBox(message);
    Quit(1);
}

void RuntimeRun()
{
    if (quitRequested) return;
    QApplication::exec();
}

void FrameworkFinalize()
{
    CloseAllWindows();
}

int RuntimeExit()
{
    delete app;
    app = nullptr;
    return quitCode;
}

void Quit(int code)
{
    quitRequested = true;
    quitCode = code;
    QCoreApplication::exit(code);
}

bool QuitRequested() { return quitRequested; }

void CallFunctionWithExceptionHandling(const std::function<void()>& fn)
{
    noteEventsRan();
    const QString failure = runCatching(fn);
    if (!failure.isNull()) report(failure + "\n\nThe program keeps running.");
}

void SetUnhandledExceptionObserver(std::function<void(const QString&)> observer)
{
    exceptionObserver = std::move(observer);
}

void YieldToFramework()
{
    // Called once per record of a search (200,000 times for "%"): the clock is read only
    // every few calls, a few microseconds of work apart. A search done sooner than the
    // slice lets nothing run in its middle.
    static unsigned calls = 0;
    if (++calls % 16 != 0) return;
    if (YieldClock::now() - eventsRan < std::chrono::milliseconds(15)) return;
    yielding = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    yielding = false;
    noteEventsRan();
}

bool Yielding() { return yielding; }

void Beep()
{
    QApplication::beep();
}

qint32 Ticks()
{
    return static_cast<qint32>(tickClock().elapsed() * 60 / 1000);
}
