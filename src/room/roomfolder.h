// The folder a room is read from. It is "data/" under the working directory
// unless the program is pointed at another folder before the room is read.
#pragma once

#include <QString>

// With a trailing "/"; relative folders are relative to the working directory.
QString roomFolder();
void setRoomFolder(const QString& folder);
// A file of the room, as the folder followed by its name in the scene file.
QString roomFile(const QString& name);
// What the scene file names with `name` when the room may not use it ("an
// absolute path", ...), or empty: a room's files lie inside its folder, so
// absolute names, names that climb out of it with "..", and names of things
// other than regular files (devices, pipes, folders) are refused.
QString roomFileRefusal(const QString& name, const QString& folder = roomFolder());
