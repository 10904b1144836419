#include "mipmaps.h"

#include <QtGlobal>

#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// Each byte a + (((b - a) * w + 128) >> 8), rounded at each step as the
// driver's 8-bit sampler does, worked out as (a * (256 - w) + b * w + 128) >> 8:
// that is at most 0xff80, so bytes 0 and 2, then 1 and 3, share a word unmixed.
inline quint32 lerp(quint32 a, quint32 b, quint32 weight)
{
    const auto half = [=](quint32 from, quint32 to) {
        return (from & 0x00ff00ffu) * (256 - weight) + (to & 0x00ff00ffu) * weight + 0x00800080u;
    };
    return (half(a, b) >> 8 & 0x00ff00ffu) | (half(a >> 8, b >> 8) & 0xff00ff00u);
}

// Halving an even number of texels puts every centre midway between two, and
// lerp(a, b, 128) is exactly the byte average rounded up.
inline quint32 average(quint32 a, quint32 b)
{
    return (a | b) - (((a ^ b) & 0xfefefefeu) >> 1);
}

#ifdef __SSE2__
// The averages of the four pairs among eight texels.
inline __m128i pairAverages(const quint32* texels)
{
    const __m128 first = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(texels)));
    const __m128 second = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + 4)));
    const __m128i evens = _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odds = _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_avg_epu8(evens, odds);
}
#endif

// A row of a level whose parent is even both ways: each texel averages its
// pair across in the top and bottom rows, then the two averages.
void halveEvenRow(const quint32* top, const quint32* bottom, quint32* out, int width)
{
    int x = 0;
#ifdef __SSE2__
    for (; x + 4 <= width; x += 4) {
        const __m128i texels = _mm_avg_epu8(pairAverages(top + 2 * x), pairAverages(bottom + 2 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), texels);
    }
#endif
    for (; x < width; ++x)
        out[x] = average(average(top[2 * x], top[2 * x + 1]), average(bottom[2 * x], bottom[2 * x + 1]));
}

// Any other row, sampled at each tap.
void sampleRow(const quint32* top, const quint32* bottom, quint32 v, const QVector<Tap>& across, quint32* out)
{
    for (const Tap& tap : across) {
        const quint32 upper = lerp(top[tap.lower], top[tap.upper], quint32(tap.weight));
        const quint32 lower = lerp(bottom[tap.lower], bottom[tap.upper], quint32(tap.weight));
        *out++ = lerp(upper, lower, v);
    }
}

QImage halved(const QImage& parent)
{
    const QSize size(qMax(1, parent.width() / 2), qMax(1, parent.height() / 2));
    const bool even = parent.width() % 2 == 0 && parent.height() % 2 == 0;
    QImage level(size, parent.format());
    const QVector<Tap> across = taps(parent.width(), size.width());
    const QVector<Tap> down = taps(parent.height(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        const auto* top = reinterpret_cast<const quint32*>(parent.constScanLine(down[y].lower));
        const auto* bottom = reinterpret_cast<const quint32*>(parent.constScanLine(down[y].upper));
        auto* out = reinterpret_cast<quint32*>(level.scanLine(y));
        if (even)
            halveEvenRow(top, bottom, out, size.width());
        else
            sampleRow(top, bottom, quint32(down[y].weight), across, out);
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
