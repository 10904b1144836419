#include "picture.h"

#include "imagefile.h"
#include "sharedimages.h"

#include <QFile>
#include <QtGlobal>

namespace {

// Reads an image whatever its suffix says and brings it into the byte order and
// row order glTexImage2D expects. The printed resolution is kept, because the
// panel's size in the room follows from it.
QImage keepingResolution(const QImage& loaded)
{
    QImage image = toGLLayout(loaded);
    if (!loaded.isNull()) {
        image.setDotsPerMeterX(loaded.dotsPerMeterX());
        image.setDotsPerMeterY(loaded.dotsPerMeterY());
    }
    return image;
}

QImage decodeForGL(const QString& path)
{
    return keepingResolution(readImageFile(path));
}

// On a worker thread: what the decoder says is caught there, and the file is
// read again on the main thread if it said anything or was refused.
QImage decodeOnWorkerForGL(const QString& path)
{
    return keepingResolution(decodeWithinLimits(path));
}

bool readForGL(const QString& path, QImage& into)
{
    into = SharedImages::read(path, decodeForGL);
    return !into.isNull();
}

// Panels without a map of their own share the blank map of their folder.
QString detailMapPathFor(const QString& imagePath)
{
    const QString candidate = imagePath.section('.', 0, -2) + ".png";
    if (QFile::exists(candidate))
        return candidate;
    return candidate.section('/', 0, -2) + "/blank.png";
}

// One side follows from the other through the image's aspect ratio; an image
// without a physical size has no aspect ratio, so that side collapses to 0. An
// image that could not be read has been reported already.
float followingSide(float givenSide, float followingMM, float givenMM, const QImage& image, const QString& path)
{
    if (givenMM == 0.0f) {
        if (!image.isNull())
            qWarning("Picture %s has no physical size: the side to follow from its aspect ratio is 0",
                     qPrintable(path.isEmpty() ? QStringLiteral("image") : path));
        return 0.0f;
    }
    return givenSide * followingMM / givenMM;
}

} // namespace

// Rows bottom first and every pixel as the bytes R, G, B, A, kept in a 32-bit
// ARGB image: what glTexImage2D reads with GL_RGBA and GL_UNSIGNED_BYTE, and
// what the detail maps are searched in.
QImage toGLLayout(const QImage& image)
{
    // RGB32 already holds 0xffRRGGBB, as the conversion would: one copy of a large panel spared.
    const bool asARGB = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage source = asARGB ? image : image.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* from = reinterpret_cast<const quint32*>(source.constScanLine(source.height() - 1 - y));
        auto* to = reinterpret_cast<quint32*>(result.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const quint32 p = from[x];
            to[x] = ((p << 16) & 0xff0000u) | ((p >> 16) & 0xffu) | (p & 0xff00ff00u);
        }
    }
    return result;
}

void prefetchPictureImages(SharedImages& shared, const QStringList& imagePaths)
{
    QStringList files;
    for (const QString& path : imagePaths)
        files << path << detailMapPathFor(path);
    shared.prefetch(files, decodeOnWorkerForGL);
}

Picture::Picture(QString path, point3 position, point3 size) : imagePath(path)
{
    readForGL(path, image);
    setGeometry(image, position, size, path);

    mapPath = detailMapPathFor(path);
    // A ".png" panel is its own map: one decode serves both.
    if (mapPath == path && !image.isNull())
        mapImage = image;
    else
        readForGL(mapPath, mapImage);
    texture = noTexture;
    mapTexture = noTexture;
}

void Picture::setGeometry(const QImage& image, point3 position, point3 size, const QString& imagePath)
{
    this->position = position;
    const float wM = float(image.widthMM() * 0.001);
    const float hM = float(image.heightMM() * 0.001);
    const float sx = size.x;
    const float sy = size.y;
    const bool widthGiven = sx >= 0.0f;
    const bool heightGiven = sy >= 0.0f;

    if (widthGiven && heightGiven)
        this->size = point3(sx, sy, 0.0f);
    else if (widthGiven)
        this->size = point3(sx, followingSide(sx, hM, wM, image, imagePath), 0.0f);
    else if (heightGiven)
        this->size = point3(followingSide(sy, wM, hM, image, imagePath), sy, 0.0f);
    else
        this->size = point3(wM, hM, 0.0f);
}

