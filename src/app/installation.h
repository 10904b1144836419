// Where the program finds its room and shaders. A checkout's build folder
// holds both in the working directory; an installed program falls back to
// the copies installed beside it, and --data names any room folder.
#pragma once

#include <QString>

// share/pellavio of the installation this program belongs to.
QString installedShareFolder();

// Points the room reader at `dataFolder` when one is given, else at data/ in
// the working directory if it exists, else at the installed demo room; shaders
// missing from the working directory come from the installation.
void chooseRoomAndShaderFolders(const QString& dataFolder);
