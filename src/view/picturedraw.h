// The GL side of a picture beyond its own methods. What its textures need
// from the processor is made on a worker thread while the pictures before it
// are uploaded: the panel's mipmap levels and its map as indices. Nothing is
// prepared for an image beyond the texture limit: it is scaled down, with its
// warning, when its turn comes.
#pragma once

#include <QImage>
#include <QtGlobal>
#include <QVector>

class Picture;

struct PreparedTextures
{
    bool hasLevels = false;
    QVector<QImage> levels;
    bool hasIndexedMap = false;
    QImage indexedMap; // null when the map has too many colours for an index
};

PreparedTextures preparedTextures(const QImage& image, const QImage& map, int textureLimit);

// Needs the view's GL context to be current.
void createTextures(Picture& picture, const PreparedTextures& prepared);

// Whether maps may go to the card as indices, which only the shaders that
// know their palettes read right; until told otherwise, they may.
void setMapsIndexed(bool indexed);

// The detail map colour the pictures drawn from now on darken, bytes R, G, B
// in the low three bytes; none while `selected` is false.
void setSelectedMapColour(bool selected, quint32 colour);
