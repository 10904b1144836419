// Where each colour of a detail map lies, found in one pass over its sampled
// pixels, so that a map costs the same whatever number of details it holds.
#pragma once

#include "geometry.h"

#include <QHash>
#include <QImage>

class DetailMap
{
public:
    DetailMap() = default;
    // `map` is in the layout the pictures keep their images in (see toGLLayout).
    explicit DetailMap(const QImage& map);

    // Extent of `color` (0..255 per channel) in map coordinates -1..1; empty
    // where the map does not hold the colour.
    BoundingBox region(const point3& color) const;

    // Whether each channel lies in 0..255, the only colours a map can hold.
    static bool isMapColor(const point3& color);

private:
    // Extent, in sampled pixel columns and rows, of one colour.
    struct PixelRegion
    {
        int minX = 0;
        int minY = 0;
        int maxX = -1;
        int maxY = -1;
        void add(int fromX, int toX, int y); // a run along row y
    };

    QHash<quint32, PixelRegion> regions;
    float width = 0.0f;
    float height = 0.0f;
};
