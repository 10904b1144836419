#include "detailmap.h"

#include <QtGlobal>

void DetailMap::PixelRegion::add(int x, int y)
{
    if (maxX < 0) {
        minX = maxX = x;
        minY = maxY = y;
        return;
    }
    minX = qMin(minX, x);
    maxX = qMax(maxX, x);
    minY = qMin(minY, y);
    maxY = qMax(maxY, y);
}

DetailMap::DetailMap(const QImage& map) : width(map.width()), height(map.height())
{
    if (map.depth() != 32) {
        if (!map.isNull())
            qWarning("A detail map of %d bits per pixel cannot be searched", map.depth());
        return;
    }
    // Runs of one colour are common: the region of the last colour is kept at hand.
    PixelRegion* current = nullptr;
    quint32 currentValue = 0;
    for (int y = 0; y < map.height(); y += 2) {
        const quint32* row = reinterpret_cast<const quint32*>(map.constScanLine(y));
        for (int x = 0; x < map.width(); x += 2) {
            const quint32 value = row[x];
            if ((value & 0x00ffffffu) == 0)
                continue;
            if (!current || value != currentValue) {
                current = &regions[value];
                currentValue = value;
            }
            current->add(x, y);
        }
    }
}

BoundingBox DetailMap::region(const point3& color) const
{
    BoundingBox box;
    if (!isMapColor(color))
        return box;
    const quint32 target = 0xff000000u | (quint32(color.z) & 0xffu) << 16
                           | (quint32(color.y) & 0xffu) << 8 | (quint32(color.x) & 0xffu);
    const auto found = regions.constFind(target);
    if (found == regions.constEnd())
        return box;
    box.add(2.0f * found->minX / width - 1.0f, 2.0f * found->minY / height - 1.0f, 0.0f);
    box.add(2.0f * found->maxX / width - 1.0f, 2.0f * found->maxY / height - 1.0f, 0.0f);
    return box;
}

bool DetailMap::isMapColor(const point3& color)
{
    for (int i = 0; i < 3; ++i) {
        if (!(color[i] >= 0.0f && color[i] < 256.0f))
            return false;
    }
    return true;
}
