#include "picture.h"

#include "imagefile.h"
#include "sharedimages.h"

#include <QFile>
#include <QHash>
#include <QtGlobal>

#include <optional>

namespace {

// Reads an image whatever its suffix says and brings it into the byte order and
// row order glTexImage2D expects. The printed resolution is kept, because the
// panel's size in the room follows from it.
QImage keepingResolution(QImage loaded)
{
    const int dotsPerMeterX = loaded.dotsPerMeterX();
    const int dotsPerMeterY = loaded.dotsPerMeterY();
    const bool wasRead = !loaded.isNull();
    QImage image = toGLLayout(std::move(loaded));
    if (wasRead) {
        image.setDotsPerMeterX(dotsPerMeterX);
        image.setDotsPerMeterY(dotsPerMeterY);
    }
    return image;
}

QImage decodeForGL(const QString& path)
{
    return keepingResolution(readImageFile(path));
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

// Plain files are decoded straight into GL layout, sparing a pass over every pixel.
QImage decodeOnWorkerForGL(const QString& path)
{
    std::optional<QImage> laidOut = decodeWithinLimitsInGLLayout(path);
    return laidOut ? std::move(*laidOut) : keepingResolution(decodeWithinLimits(path));
}

// Rows bottom first and every pixel as the bytes R, G, B, A, kept in a 32-bit
// ARGB image: what glTexImage2D reads with GL_RGBA and GL_UNSIGNED_BYTE, and
// what the detail maps are searched in.
QImage toGLLayout(QImage image)
{
    // RGB32 already holds 0xffRRGGBB, as the conversion would.
    if (image.format() == QImage::Format_RGB32)
        image.reinterpretAsFormat(QImage::Format_ARGB32);
    else if (image.format() != QImage::Format_ARGB32)
        image = std::move(image).convertToFormat(QImage::Format_ARGB32);
    // In place, row pairs from the outside in: a decoded panel is neither copied
    // nor swept twice.
    const auto swapRedBlue = [](quint32 p) { return ((p << 16) & 0xff0000u) | ((p >> 16) & 0xffu) | (p & 0xff00ff00u); };
    const int width = image.width();
    for (int top = 0, bottom = image.height() - 1; top <= bottom; ++top, --bottom) {
        auto* upper = reinterpret_cast<quint32*>(image.scanLine(top));
        auto* lower = reinterpret_cast<quint32*>(image.scanLine(bottom));
        for (int x = 0; x < width; ++x) {
            const quint32 p = upper[x];
            upper[x] = swapRedBlue(lower[x]);
            lower[x] = swapRedBlue(p);
        }
    }
    return image;
}

QImage indexedMap(const QImage& map)
{
    if (map.isNull() || map.format() != QImage::Format_ARGB32)
        return QImage();
    const int width = map.width();
    QImage indexed(map.size(), QImage::Format_Indexed8);
    QVector<QRgb> colours;
    QHash<quint32, uchar> indexOf;
    const auto indexFor = [&](quint32 colour) {
        auto found = indexOf.constFind(colour);
        if (found == indexOf.constEnd() && colours.size() < 256) {
            found = indexOf.insert(colour, uchar(colours.size()));
            colours.append(colour);
        }
        return found == indexOf.constEnd() ? -1 : int(*found);
    };
    // Maps are drawn in flat colours: most rows repeat the one above, and the
    // others are long runs of one colour.
    for (int y = 0; y < map.height(); ++y) {
        const auto* from = reinterpret_cast<const quint32*>(map.constScanLine(y));
        uchar* to = indexed.scanLine(y);
        if (y > 0 && std::equal(from, from + width, reinterpret_cast<const quint32*>(map.constScanLine(y - 1)))) {
            std::copy_n(indexed.constScanLine(y - 1), width, to);
            continue;
        }
        for (int x = 0, end = 0; x < width; x = end) {
            for (end = x + 1; end < width && from[end] == from[x];)
                ++end;
            const int index = indexFor(from[x]);
            if (index < 0)
                return QImage();
            std::fill_n(to + x, end - x, uchar(index));
        }
    }
    indexed.setColorTable(colours);
    return indexed;
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
    mapPalette = noTexture;
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

