#pragma once
// The help text: read whole from the package's Resources folder the first time it is
// asked for, then kept for the run. A file that cannot be read gives the empty text, and
// is not tried again until the next run.
#include <QString>

QString LexivaneHelpText();
// Releases the kept text at exit.
void LexivaneHelpText_Finalize();
// Tests start each case as a fresh run.
void LexivaneHelpText_ResetForTesting();
