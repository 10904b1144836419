// `pellavio --check [FOLDER]`: reads a room folder the way the program does,
// without a display or GL, and reports every mistake a curator can fix, with
// its file and line; optionally writes proof sheets of the painted details.
#pragma once

#include "checkreport.h"

#include <QStringList>

class RoomChecker
{
public:
    // Whether the command line asks for the checker instead of the kiosk.
    static bool isRequested(int argc, char* argv[]);
    // Runs the checker as the whole program: its exit status.
    static int main(int argc, char* argv[]);
    // Runs the checker on the program's arguments (the first is the program): 0 without
    // errors, 1 with errors, 2 when the command line cannot be used.
    static int run(const QStringList& arguments);
    // Every check of the room in `folder`, without printing anything.
    static CheckReport check(const QString& folder, int maxTexture = 8192);
};
