#include "mipmaps.h"

#include <QtGlobal>

#include <cmath>

namespace {

// Where the centre of each of `to` texels samples a row or column of `from`
// texels: the lower neighbour and the weight of the upper one.
struct Tap
{
    int lower;
    int upper;
    int weight; // of 256
};

QVector<Tap> taps(int from, int to)
{
    QVector<Tap> found(to);
    for (int i = 0; i < to; ++i) {
        const float position = (i + 0.5f) * from / to - 0.5f;
        const int lower = int(std::floor(position));
        const int weight = int((position - float(lower)) * 256.0f + 0.5f);
        found[i] = {qBound(0, lower, from - 1), qBound(0, lower + 1, from - 1), weight};
    }
    return found;
}

// Rounded at each step, as the driver's 8-bit sampler does.
inline int lerp(int from, int to, int weight)
{
    return from + (((to - from) * weight + 128) >> 8);
}

QImage halved(const QImage& parent)
{
    const QSize size(qMax(1, parent.width() / 2), qMax(1, parent.height() / 2));
    QImage level(size, parent.format());
    const QVector<Tap> across = taps(parent.width(), size.width());
    const QVector<Tap> down = taps(parent.height(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        const uchar* top = parent.constScanLine(down[y].lower);
        const uchar* bottom = parent.constScanLine(down[y].upper);
        const int v = down[y].weight;
        uchar* out = level.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            const int left = across[x].lower * 4;
            const int right = across[x].upper * 4;
            const int u = across[x].weight;
            for (int byte = 0; byte < 4; ++byte) {
                const int upper = lerp(top[left + byte], top[right + byte], u);
                const int lower = lerp(bottom[left + byte], bottom[right + byte], u);
                out[x * 4 + byte] = uchar(lerp(upper, lower, v));
            }
        }
    }
    return level;
}

} // namespace

QVector<QImage> mipmapLevels(const QImage& image)
{
    QVector<QImage> levels;
    if (image.isNull() || image.depth() != 32)
        return levels;
    QImage level = image;
    while (level.width() > 1 || level.height() > 1) {
        level = halved(level);
        levels.append(level);
    }
    return levels;
}
