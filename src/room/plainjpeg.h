// JPEG files decoded by libjpeg straight into the layout glTexImage2D reads
// (see toGLLayout), with no pass over the pixels after decoding. It takes the
// plain cases only (8-bit colour or grey, the colour models Qt's reader gives
// as they are) and decodes them as Qt's reader does at its default quality, to
// the very same pixels and resolution; anything else, a damaged file or a
// decoder's warning gives a null image, and Qt's reader is then left to it.
// It says nothing at all, so that it may run on any thread.
#pragma once

#include <QByteArray>
#include <QImage>

// Whether the bytes begin as a JPEG file does.
bool isJpegData(const QByteArray& file);

// Null as well for an image over `pixelLimit` pixels, before anything is allocated.
QImage decodePlainJpeg(const QByteArray& file, qint64 pixelLimit);
