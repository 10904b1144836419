// PNG files decoded without Qt's reader, whose libpng error handler writes to
// the process's error stream, where the reader of a worker thread cannot catch
// what it says: this decoder says nothing at all. It takes the plain cases only
// (8 bits a channel or fewer, no gamma or colour profile, a resolution in
// metres or none), decoded to the very pixels Qt's reader gives; anything else,
// a damaged file or a decoder's warning gives a null image, and the file is
// then read by Qt's reader on the main thread with its messages in place.
#pragma once

#include <QByteArray>
#include <QImage>

// Whether the bytes begin as a PNG file does.
bool isPngData(const QByteArray& file);

// How the pixels of a 32-bit ARGB image lie in memory: as Qt lays them out, or
// rows bottom first and bytes R, G, B, A, as glTexImage2D reads them (see toGLLayout).
enum class PixelLayout { Qt, GL };

QImage decodePlainPng(const QByteArray& file, PixelLayout layout = PixelLayout::Qt);
