// Times the work done on the processor for each panel before its textures go to
// the card: the mipmap levels of a photograph, the index of a detail map and the
// regions of its colours.
#include "benchutil.h"
#include "detailmap.h"
#include "mipmaps.h"
#include "picture.h"

#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

const int runs = 9;

// Every byte different from its neighbours, as in a photograph's fine detail.
QImage noise(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    quint32 seed = 12345;
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            row[x] = (seed = seed * 1664525u + 1013904223u);
    }
    return image;
}

// Flat details on black, some overlapping, as maps are drawn.
QImage detailMap(QSize size)
{
    QImage map(size, QImage::Format_ARGB32);
    map.fill(Qt::black);
    QPainter painter(&map);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor(10 + i * 6, 250 - i * 5, 30 + (i * 37) % 200));
        const QRect spot((i * 397) % size.width(), (i * 211) % size.height(), size.width() / 5, size.height() / 7);
        if (i % 2)
            painter.drawEllipse(spot);
        else
            painter.drawRect(spot);
    }
    painter.end();
    return toGLLayout(map);
}

} // namespace

int main()
{
    for (const QSize size : {QSize(2048, 2400), QSize(2925, 3900)}) {
        const QImage photo = noise(size);
        std::printf("mipmapLevels %dx%d: %.2f ms\n", size.width(), size.height(),
                    medianMilliseconds(runs, [&] { mipmapLevels(photo); }));
    }
    const QImage map = detailMap(QSize(2048, 2400));
    std::printf("indexedMap 2048x2400: %.2f ms\n", medianMilliseconds(runs, [&] { indexedMap(map); }));
    std::printf("DetailMap 2048x2400: %.2f ms\n", medianMilliseconds(runs, [&] { DetailMap regions(map); }));
    return 0;
}
