// The one way the program ends at once on a fatal error, on Escape or when the
// visitor closes the loading window.
#pragma once

// Flushes the standard streams and ends the process with `status`, running no
// exit handlers or static destructors: the display connection and a GL context
// that may still be drawing are left to the system.
[[noreturn]] void endProcess(int status);
