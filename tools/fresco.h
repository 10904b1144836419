// Painting of one panel: a fresco-like ground (plaster, painted frame, foliage)
// with animals drawn from the colour emoji font, and the panel's detail map in
// which every animal is one flat colour on black.
#pragma once

#include "roomgen.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QVector>

namespace roomgen {

// A small fixed-seed generator (splitmix64), so that every run paints the same.
class Rng
{
public:
    explicit Rng(quint64 seed) : state(seed) {}

    quint64 next();
    double uniform();                       // [0, 1)
    double range(double low, double high);  // [low, high)
    int below(int n);                       // 0 .. n - 1

private:
    quint64 state;
};

struct PaintedPanel
{
    QImage picture;          // RGB32, dots per metre set equally on both axes
    QImage map;              // RGB32; null when the panel has no animals
    QRect field;             // the area inside the painted frame
    QVector<QRect> animals;  // where each animal of the plan was painted
};

// Pixels per metre of every painted image: the panels' printed size is their
// size in the room.
constexpr int dotsPerMeter = 800;

// A new image at the room's resolution. Images made without one take the
// screen's, which differs between platform plugins and would change the files.
QImage roomImage(QSize size, QImage::Format format);

// The emoji cropped to its visible pixels; null when the font cannot draw it.
QImage glyphImage(const QString& glyph);

// colours holds one map colour per animal of panel. Returns false with a
// message when an animal does not fit on the panel.
bool paintPanel(const PanelPlan& panel, const QHash<QString, Species>& species,
                const QVector<QRgb>& colours, bool gridLayout, quint64 seed,
                PaintedPanel* out, QString* error);

} // namespace roomgen
