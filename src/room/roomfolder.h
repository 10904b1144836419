// The folder a room is read from. It is "data/" under the working directory
// unless the program is pointed at another folder before the room is read.
#pragma once

#include <QString>

// With a trailing "/"; relative folders are relative to the working directory.
QString roomFolder();
void setRoomFolder(const QString& folder);
// A file of the room, as the folder followed by its name in the scene file.
QString roomFile(const QString& name);
