// Reading an image file so that every message about it names it: decoders
// complain without saying which file they were reading.
#pragma once

#include <QImage>
#include <QString>

#include <optional>

// Images over this many pixels are not decoded: a small file can declare a
// huge image, and decoding it would take gigabytes. The default, 8192 x 8192,
// is the largest texture most kiosk graphics cards take.
constexpr qint64 defaultImagePixelLimit = qint64(8192) * 8192;
void setImagePixelLimit(qint64 pixels);

// The image in the file, whatever its suffix says; a null image when it cannot
// be read. A file that cannot be read is one warning naming it; a damaged one
// that reads in part is named in a warning before its decoder's complaints.
// An image over the pixel limit, or a PNG whose chunks declare more bytes than
// the file holds, is not decoded: one warning says why, and it cannot be read.
QImage readImageFile(const QString& path);

// The image if the checks above let it be decoded, else a null image; it logs
// nothing itself, for decoding on a thread whose messages are held elsewhere.
QImage decodeWithinLimits(const QString& path);

// The same image straight in GL layout (see toGLLayout) when the file is a PNG,
// or a plain JPEG that a decoder of our own reads; nothing when the file is left
// to decodeWithinLimits and to being brought to GL layout afterwards.
std::optional<QImage> decodeWithinLimitsInGLLayout(const QString& path);
