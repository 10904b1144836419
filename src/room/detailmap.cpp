#include "detailmap.h"

#include <QtGlobal>

void DetailMap::PixelRegion::add(int fromX, int toX, int y)
{
    if (maxX < 0) {
        minX = fromX;
        maxX = toX;
        minY = maxY = y;
        return;
    }
    minX = qMin(minX, fromX);
    maxX = qMax(maxX, toX);
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
    // Maps are drawn in flat colours: a run of one colour along a row widens
    // its region at the run's ends only.
    const int columns = map.width();
    const int rows = map.height();
    for (int y = 0; y < rows; y += 2) {
        const quint32* row = reinterpret_cast<const quint32*>(map.constScanLine(y));
        for (int x = 0, next = 0; x < columns; x = next) {
            const quint32 value = row[x];
            for (next = x + 2; next < columns && row[next] == value;)
                next += 2;
            if ((value & 0x00ffffffu) == 0)
                continue;
            regions[value].add(x, next - 2, y);
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
