#pragma once
// The framework's runtime: start-up, the event loop, quitting, the top-level exception
// handling, and the yield that every loop of the program makes once per pass.
#include <QString>
#include <functional>

class QApplication;

// Runtime initialisation: makes the Qt application object and the framework's filters.
void RuntimeInit(int& argc, char** argv);
// The application-wide filters for the keyboard state and menu shortcuts; RuntimeInit
// installs them, tests that make their own application object call it themselves.
void InstallFrameworkFilters();
// Tests start the program more than once in one process.
void ResetQuitForTesting();
// Calls the program's start-up routine once. An exception it lets out is shown, and then
// the program ends with status 1: before its main window exists it has no way to go on.
void RunFrameworkInitialization(const std::function<void()>& startup);
// Runs the event loop; returns when the application quits. A Quit asked for before the
// loop started ends it at once.
void RuntimeRun();
// Releases the framework's own module state: every window still open is closed.
void FrameworkFinalize();
// Ends the runtime and gives the process's exit status.
int RuntimeExit();

// Asks the application to end with the given exit code. Returns; the loop ends later.
void Quit(int code = 0);
bool QuitRequested();

// Every call from the toolkit into the program goes through here: an exception that a
// handler lets out is shown in a message box and the program keeps running.
void CallFunctionWithExceptionHandling(const std::function<void()>& fn);
// Tests can watch unhandled exceptions instead of answering the message box.
void SetUnhandledExceptionObserver(std::function<void(const QString&)> observer);

// Lets pending events run once they have waited 15 ms (since the event loop or the last
// yield ran them), and never user input, so that a loop over 150,000 rows keeps the window
// painted without a click starting work inside it.
void YieldToFramework();
// True while a yield lets pending events run.
bool Yielding();

void Beep();
// 60 ticks a second since the program started.
qint32 Ticks();
