// Without a display the toolkit aborts with advice to reinstall the program:
// the program looks for one first and says what is missing.
#pragma once

#include <QByteArray>

// Empty when the toolkit's default platform will find its X display, or when
// the user chose a platform (a -platform option, QT_QPA_PLATFORM); otherwise
// the one line that says no display was found and how to run under one.
QByteArray missingDisplayMessage(int argc, char** argv);

// Prints that line, if there is one, and tells whether the program must stop.
bool reportMissingDisplay(int argc, char** argv);
