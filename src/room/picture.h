// One painted panel placed in the room, with its detail map: both images are
// kept in the layout glTexImage2D expects and become textures on the first paint.
#pragma once

#include "geometry.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

// An image in the layout glTexImage2D reads with GL_RGBA: rows bottom first,
// bytes R, G, B, A; the image keeps Format_ARGB32 as its label.
QImage toGLLayout(QImage image);

// A detail map in GL layout as one byte per pixel, an index into its colour
// table of GL-layout pixels; null when the map holds more than 256 colours.
QImage indexedMap(const QImage& map);

// The image of a file in GL layout, decoded as a worker thread does: it logs
// nothing itself, and is null where the file is refused or cannot be decoded
// there; the main thread then reads it again, as when its decoder said anything.
QImage decodeOnWorkerForGL(const QString& path);

class SharedImages;
// Starts decoding, on worker threads, the images that pictures of these files will read.
void prefetchPictureImages(SharedImages& shared, const QStringList& imagePaths);

class Picture
{
public:
    // Marks a texture that has not been created yet.
    static constexpr unsigned int noTexture = 1638;

    Picture() = default;
    Picture(QString path, point3 position, point3 size);

    // `imagePath` only names the image in a warning.
    void setGeometry(const QImage& image, point3 position, point3 size, const QString& imagePath = QString());
    // Both need the view's GL context to be current.
    void createTextures();
    // With the map's index form made beforehand (null: too many colours), or without.
    void createMapTextures(const QImage* preparedIndex = nullptr);
    void draw() const;

    QImage image;
    QImage mapImage;
    QString mapPath;
    point3 size;
    point3 position;
    unsigned int texture = noTexture;
    unsigned int mapTexture = noTexture;
    // The colours an indexed map texture stands for, on the card and here;
    // no colours when the texture holds the colours themselves.
    unsigned int mapPalette = noTexture;
    QVector<quint32> mapPaletteColours;
    // The panel's own file, to name it in warnings.
    QString imagePath;
};
