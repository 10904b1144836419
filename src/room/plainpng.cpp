#include "plainpng.h"

#include <QtEndian>

#include <png.h>

namespace {

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

struct PlainLayout
{
    bool plain = false;
    int dotsPerMeterX = 0; // 0: the file says nothing
    int dotsPerMeterY = 0;
};

// What the chunks say, read without decoding: whether Qt's reader would
// bring the pixels to anything but their 8-bit values, and the resolution.
PlainLayout layoutOf(const QByteArray& file)
{
    PlainLayout layout;
    const char* bytes = file.constData();
    for (qint64 at = pngSignature.size(); at + 8 <= file.size();) {
        const qint64 length = qFromBigEndian<quint32>(bytes + at);
        const QByteArray type(bytes + at + 4, 4);
        const char* data = bytes + at + 8;
        if (at + 12 + length > file.size())
            return PlainLayout();
        if (type == "IHDR" && (length < 13 || uchar(data[8]) > 8))
            return PlainLayout();
        if (type == "gAMA" || type == "cHRM" || type == "sRGB" || type == "iCCP" || type == "sBIT")
            return PlainLayout();
        if (type == "pHYs") {
            if (length < 9 || data[8] != 1)
                return PlainLayout();
            layout.dotsPerMeterX = int(qFromBigEndian<quint32>(data));
            layout.dotsPerMeterY = int(qFromBigEndian<quint32>(data + 4));
        }
        if (type == "IEND") {
            layout.plain = true;
            break;
        }
        at += 12 + length;
    }
    return layout;
}

} // namespace

bool isPngData(const QByteArray& file)
{
    return file.startsWith(pngSignature);
}

QImage decodePlainPng(const QByteArray& file, PixelLayout layout)
{
    const PlainLayout chunks = isPngData(file) ? layoutOf(file) : PlainLayout();
    if (!chunks.plain)
        return QImage();
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, file.constData(), size_t(file.size())))
        return QImage();
    QImage image(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull()) {
        png_image_free(&png);
        return QImage();
    }
    // For Qt: B, G, R, A in memory, the bytes of a 32-bit ARGB pixel on this
    // machine. For GL: a negative stride has libpng write the bottom row first.
    const bool forGL = layout == PixelLayout::GL;
    png.format = forGL ? PNG_FORMAT_RGBA : Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    const png_int_32 stride = png_int_32(image.bytesPerLine());
    if (!png_image_finish_read(&png, nullptr, image.bits(), forGL ? -stride : stride, nullptr)
        || png.warning_or_error != 0)
        return QImage();
    if (chunks.dotsPerMeterX > 0 && chunks.dotsPerMeterY > 0) {
        image.setDotsPerMeterX(chunks.dotsPerMeterX);
        image.setDotsPerMeterY(chunks.dotsPerMeterY);
    }
    return image;
}
