// Reading an image file so that every message about it names it: decoders
// complain without saying which file they were reading.
#pragma once

#include <QImage>
#include <QString>

// The image in the file, whatever its suffix says; a null image when it cannot
// be read. A file that cannot be read is one warning naming it; a damaged one
// that reads in part is named in a warning before its decoder's complaints.
QImage readImageFile(const QString& path);
