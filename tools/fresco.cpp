#include "fresco.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace roomgen {

quint64 Rng::next()
{
    state += 0x9E3779B97F4A7C15ull;
    quint64 z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

double Rng::range(double low, double high)
{
    return low + (high - low) * uniform();
}

int Rng::below(int n)
{
    return n <= 0 ? 0 : int(next() % quint64(n));
}

namespace {

const QColor plasterTone(226, 208, 174);
// Colour glyphs are bitmaps of this size in the emoji font; drawing at it
// leaves all scaling to QImage, which does the same on every platform plugin.
const int glyphStrike = 109;
const int mapThreshold = 128;

// A smooth random field in [0, 1] whose features are about cell pixels wide.
class ValueNoise
{
public:
    ValueNoise(QSize size, int cell, Rng& rng)
        : cell(cell), cols(size.width() / cell + 2), rows(size.height() / cell + 2)
    {
        values.resize(cols * rows);
        for (float& v : values)
            v = float(rng.uniform());
    }

    float at(int x, int y) const
    {
        const int ix = x / cell, iy = y / cell;
        const float tx = smooth(float(x - ix * cell) / cell);
        const float ty = smooth(float(y - iy * cell) / cell);
        const float top = mix(value(ix, iy), value(ix + 1, iy), tx);
        const float bottom = mix(value(ix, iy + 1), value(ix + 1, iy + 1), tx);
        return mix(top, bottom, ty);
    }

private:
    static float smooth(float t) { return t * t * (3.0f - 2.0f * t); }
    static float mix(float a, float b, float t) { return a + (b - a) * t; }
    float value(int x, int y) const { return values[y * cols + x]; }

    int cell;
    int cols;
    int rows;
    QVector<float> values;
};

int clampByte(float v)
{
    return std::max(0, std::min(255, int(v + 0.5f)));
}

QColor jitter(const QColor& base, Rng& rng, int amount)
{
    const int d = rng.below(2 * amount + 1) - amount;
    return QColor(clampByte(base.red() + d), clampByte(base.green() + d * 1.2f),
                  clampByte(base.blue() + d * 0.6f), base.alpha());
}

// Fading towards the plaster, mottling and a faint grain: paint that has
// been on a wall for centuries.
void ageSurface(QImage& image, double scale, Rng& rng)
{
    const ValueNoise broad(image.size(), int(240 * scale + 0.5), rng);
    const ValueNoise middle(image.size(), int(56 * scale + 0.5), rng);
    const ValueNoise small(image.size(), int(9 * scale + 0.5), rng);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const float m = 0.55f * broad.at(x, y) + 0.3f * middle.at(x, y) + 0.15f * small.at(x, y);
            const float f = 0.86f + 0.22f * m;
            const QRgb p = line[x];
            line[x] = qRgb(clampByte((qRed(p) * 0.86f + plasterTone.red() * 0.14f) * f),
                           clampByte((qGreen(p) * 0.86f + plasterTone.green() * 0.14f) * f),
                           clampByte((qBlue(p) * 0.86f + plasterTone.blue() * 0.14f) * f));
        }
    }
}

void paintCracks(QPainter& p, QRect area, Rng& rng)
{
    p.setBrush(Qt::NoBrush);
    for (int crack = 0; crack < 3; ++crack) {
        QPointF at(rng.range(area.left(), area.right()), rng.range(area.top(), area.bottom()));
        double angle = rng.range(0, 2 * M_PI);
        QPainterPath path(at);
        for (int step = 0; step < 14; ++step) {
            angle += rng.range(-0.5, 0.5);
            at += QPointF(std::cos(angle), std::sin(angle)) * rng.range(12, 36);
            path.lineTo(at);
        }
        p.setPen(QPen(QColor(84, 70, 56, 90), 1.6));
        p.drawPath(path);
    }
}

void paintLeaf(QPainter& p, QPointF at, double degrees, double length, const QColor& colour)
{
    p.save();
    p.translate(at);
    p.rotate(degrees);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(0, -length * 0.22, length, length * 0.44));
    p.restore();
}

QColor leafColour(Rng& rng)
{
    static const QColor greens[] = {QColor(78, 110, 62), QColor(96, 126, 70), QColor(62, 94, 58),
                                    QColor(118, 138, 78)};
    return jitter(greens[rng.below(4)], rng, 8);
}

// A plant growing from the ground line: a curved stem with leaves on both
// sides and a few fruits near its top.
void paintPlant(QPainter& p, QPointF root, QPointF top, Rng& rng)
{
    QPainterPath stem(root);
    stem.cubicTo(root + QPointF(rng.range(-60, 60), (top.y() - root.y()) * 0.4),
                 top + QPointF(rng.range(-80, 80), (root.y() - top.y()) * 0.3), top);
    p.setPen(QPen(QColor(98, 76, 52), rng.range(8, 14), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    const double height = root.y() - top.y();
    for (double t = 0.12; t <= 1.0; t += 0.07) {
        const QPointF at = stem.pointAtPercent(t);
        const double angle = -stem.angleAtPercent(t);
        const double length = height * rng.range(0.06, 0.1);
        paintLeaf(p, at, angle - rng.range(30, 60), length, leafColour(rng));
        paintLeaf(p, at, angle + rng.range(30, 60), length, leafColour(rng));
    }
    p.setPen(Qt::NoPen);
    const QColor fruit = rng.below(2) ? QColor(176, 64, 44) : QColor(232, 224, 204);
    for (int i = 0; i < 5; ++i) {
        const QPointF at = stem.pointAtPercent(rng.range(0.55, 1.0)) + QPointF(rng.range(-40, 40), rng.range(-20, 20));
        const double r = height * rng.range(0.012, 0.02);
        p.setBrush(jitter(fruit, rng, 10));
        p.drawEllipse(at, r, r);
    }
}

// A swag of leaves hanging between the two upper corners of the field.
void paintGarland(QPainter& p, QRect field, Rng& rng)
{
    QPainterPath swag(QPointF(field.left(), field.top() + field.height() * 0.03));
    swag.quadTo(QPointF(field.center().x(), field.top() + field.height() * 0.16),
                QPointF(field.right(), field.top() + field.height() * 0.03));
    const double size = field.height() * 0.05;
    for (double t = 0.0; t <= 1.0; t += 0.012)
        paintLeaf(p, swag.pointAtPercent(t), rng.range(0, 360), size * rng.range(0.7, 1.2), leafColour(rng));
}

int groundTop(QRect field)
{
    return field.top() + int(field.height() * 0.78);
}

void paintGarden(QPainter& p, QRect field, Rng& rng)
{
    const int ground = groundTop(field);
    QLinearGradient sky(field.topLeft(), QPoint(field.left(), ground));
    sky.setColorAt(0, QColor(184, 204, 196));
    sky.setColorAt(1, QColor(224, 220, 194));
    p.fillRect(QRect(field.left(), field.top(), field.width(), ground - field.top()), sky);
    QLinearGradient earth(QPoint(field.left(), ground), field.bottomLeft());
    earth.setColorAt(0, QColor(150, 142, 94));
    earth.setColorAt(1, QColor(116, 108, 72));
    p.fillRect(QRect(field.left(), ground, field.width(), field.bottom() - ground + 1), earth);
    p.setPen(Qt::NoPen);
    for (int x = field.left(); x < field.right(); x += 40) {
        const double r = field.height() * rng.range(0.025, 0.05);
        p.setBrush(jitter(QColor(84, 104, 66), rng, 10));
        p.drawEllipse(QPointF(x + rng.range(-10, 10), ground - r * 0.3), r * 1.3, r);
    }
    const int plants = 2 + rng.below(2);
    for (int i = 0; i < plants; ++i) {
        const double x = field.left() + field.width() * (i + rng.range(0.2, 0.8)) / plants;
        paintPlant(p, QPointF(x, ground + field.height() * 0.05),
                   QPointF(x + rng.range(-100, 100), field.top() + field.height() * rng.range(0.2, 0.45)), rng);
    }
    paintGarland(p, field, rng);
}

void paintWater(QPainter& p, QRect field, Rng& rng)
{
    QLinearGradient water(field.topLeft(), field.bottomLeft());
    water.setColorAt(0, QColor(82, 122, 126));
    water.setColorAt(1, QColor(48, 84, 96));
    p.fillRect(field, water);
    p.setBrush(Qt::NoBrush);
    const int rows = 5;
    for (int row = 0; row < rows; ++row) {
        const double y = field.top() + field.height() * (row + 0.5) / rows;
        const double phase = rng.range(0, 2 * M_PI);
        QPainterPath wave(QPointF(field.left(), y));
        for (int x = field.left(); x <= field.right(); x += 8)
            wave.lineTo(x, y + 7 * std::sin(phase + x * 2 * M_PI / 130));
        p.setPen(QPen(QColor(168, 200, 192, 120), 4));
        p.drawPath(wave);
    }
}

void paintScroll(QPainter& p, QRect field, Rng& rng)
{
    p.fillRect(field, QColor(210, 186, 146));
    const QRectF sheet = QRectF(field).adjusted(field.width() * 0.06, field.height() * 0.1,
                                                -field.width() * 0.06, -field.height() * 0.1);
    p.setPen(QPen(QColor(140, 52, 36), 6));
    p.setBrush(QColor(240, 230, 206));
    p.drawRoundedRect(sheet, 18, 18);
    const double rollWidth = sheet.height() * 0.35;
    for (const double x : {sheet.left(), sheet.right()})
        p.drawEllipse(QPointF(x, sheet.center().y()), rollWidth * 0.5, sheet.height() * 0.55);
    paintCracks(p, field, rng);
}

void paintPergola(QPainter& p, QRect field, Rng& rng)
{
    paintGarden(p, field, rng);
    p.setPen(QPen(QColor(150, 110, 62), 12, Qt::SolidLine, Qt::RoundCap));
    const int step = 180;
    for (int x = field.left() - field.height(); x < field.right(); x += step) {
        p.drawLine(x, field.bottom(), x + field.height(), field.top());
        p.drawLine(x + field.height(), field.bottom(), x, field.top());
    }
    for (int i = 0; i < 40; ++i) {
        const QPointF at(rng.range(field.left(), field.right()), rng.range(field.top(), groundTop(field)));
        for (int lobe = 0; lobe < 5; ++lobe)
            paintLeaf(p, at, lobe * 72 + rng.range(-10, 10), field.height() * 0.045, leafColour(rng));
        if (i % 4 == 0) {
            p.setPen(Qt::NoPen);
            for (int g = 0; g < 9; ++g) {
                p.setBrush(jitter(QColor(92, 54, 96), rng, 12));
                p.drawEllipse(at + QPointF(rng.range(-18, 18), 30 + g * 7), 10, 10);
            }
        }
    }
}

// A leafy branch reaching in from the nearer side of the field, under an
// animal's feet.
void paintPerch(QPainter& p, QRect animal, QRect field, Rng& rng)
{
    const bool fromLeft = animal.center().x() < field.center().x();
    const double y = animal.bottom() - animal.height() * 0.04;
    const QPointF start(fromLeft ? field.left() : field.right(), y + animal.height() * 0.12);
    const QPointF end(fromLeft ? animal.right() + 40 : animal.left() - 40, y);
    QPainterPath branch(start);
    branch.quadTo(QPointF((start.x() + end.x()) / 2, y + animal.height() * 0.02), end);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(104, 78, 52), std::max(6.0, animal.height() * 0.04), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(branch);
    for (double t = 0.05; t <= 1.0; t += 0.08) {
        const double angle = -branch.angleAtPercent(t) + (rng.below(2) ? -1 : 1) * rng.range(30, 70);
        paintLeaf(p, branch.pointAtPercent(t), angle, animal.height() * rng.range(0.1, 0.16), leafColour(rng));
    }
}

// Spots where the paint has flaked off down to the plaster, kept clear of
// the animals so that every map silhouette stays true to the picture.
void paintLosses(QPainter& p, QRect field, const QVector<QRect>& animals, Rng& rng)
{
    for (int loss = 0; loss < 4; ++loss) {
        const double radius = rng.range(12, 40);
        const QPointF centre(rng.range(field.left() + radius, field.right() - radius),
                             rng.range(field.top() + radius, field.bottom() - radius));
        const QRect bounds = QRectF(centre.x() - radius * 1.3, centre.y() - radius * 1.3, radius * 2.6, radius * 2.6)
                                 .toAlignedRect();
        if (std::any_of(animals.begin(), animals.end(), [&](const QRect& r) { return r.intersects(bounds); }))
            continue;
        QPolygonF outline;
        for (int corner = 0; corner < 14; ++corner) {
            const double angle = corner * 2 * M_PI / 14;
            outline << centre + QPointF(std::cos(angle), std::sin(angle)) * radius * rng.range(0.6, 1.3);
        }
        p.setPen(QPen(QColor(150, 128, 100, 160), 2));
        p.setBrush(QColor(236, 224, 198));
        p.drawPolygon(outline);
    }
}

void paintFrame(QPainter& p, QRect rect, int width, bool dark)
{
    const QColor band = dark ? QColor(52, 44, 38) : QColor(132, 48, 34);
    const QRect field = rect.adjusted(width, width, -width, -width);
    QPainterPath frame;
    frame.addRect(rect);
    QPainterPath inside;
    inside.addRect(field);
    p.fillPath(frame.subtracted(inside), band);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(198, 152, 74), std::max(3, width / 6)));
    p.drawRect(QRectF(rect).adjusted(width * 0.45, width * 0.45, -width * 0.45, -width * 0.45));
    p.setPen(QPen(QColor(236, 226, 204), std::max(2, width / 14)));
    p.drawRect(QRectF(field).adjusted(-1, -1, 1, 1));
}

// The animal in fresco colours: a little of its saturation goes to a warm grey.
QImage frescoGlyph(const QImage& glyph, int size, bool mirrored)
{
    QImage scaled = glyph.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mirrored)
        scaled = scaled.mirrored(true, false);
    for (int y = 0; y < scaled.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(scaled.scanLine(y));
        for (int x = 0; x < scaled.width(); ++x) {
            const QRgb p = line[x];
            const float lum = 0.3f * qRed(p) + 0.59f * qGreen(p) + 0.11f * qBlue(p);
            line[x] = qRgba(std::min(qAlpha(p), clampByte(0.8f * qRed(p) + 0.2f * lum * 1.05f)),
                            std::min(qAlpha(p), clampByte(0.8f * qGreen(p) + 0.2f * lum * 0.98f)),
                            std::min(qAlpha(p), clampByte(0.8f * qBlue(p) + 0.2f * lum * 0.85f)), qAlpha(p));
        }
    }
    return scaled;
}

void paintMapSilhouette(QImage& map, const QImage& glyph, QPoint at, QRgb colour)
{
    for (int y = 0; y < glyph.height(); ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(glyph.constScanLine(y));
        QRgb* target = reinterpret_cast<QRgb*>(map.scanLine(at.y() + y));
        for (int x = 0; x < glyph.width(); ++x) {
            if (qAlpha(source[x]) >= mapThreshold)
                target[at.x() + x] = colour;
        }
    }
}

// The rows where the top of an animal of this height may stand.
QPair<int, int> zoneRows(Zone zone, Style style, QRect field, int height)
{
    const int margin = field.height() / 25;
    if (style != Style::Garden || zone == Zone::Anywhere)
        return {field.top() + margin, field.bottom() - margin - height};
    if (zone == Zone::Sky || zone == Zone::Perch)
        return {field.top() + margin, field.top() + int(field.height() * 0.55) - height};
    const int ground = groundTop(field);
    return {ground + (field.bottom() - ground) / 5 - height, field.bottom() - margin - height};
}

bool freeSpot(const QRect& candidate, const QVector<QRect>& placed)
{
    const QRect padded = candidate.adjusted(-24, -24, 24, 24);
    return std::none_of(placed.begin(), placed.end(), [&](const QRect& r) { return r.intersects(padded); });
}

// A free rectangle for an animal of glyph's shape, shrinking it when the
// zone is crowded; an empty rectangle when nothing fits.
QRect scatterAnimal(const PaintedAnimal& animal, Style style, QRect field, const QImage& glyph,
                    const QVector<QRect>& placed, Rng& rng)
{
    int size = animal.size;
    for (int attempt = 0; attempt < 8 && size >= 24; ++attempt, size = size * 9 / 10) {
        const QSize shape = glyph.size().scaled(size, size, Qt::KeepAspectRatio);
        const QPair<int, int> rows = zoneRows(animal.zone, style, field, shape.height());
        const int margin = field.width() / 25;
        const int left = field.left() + margin, right = field.right() - margin - shape.width();
        if (rows.second < rows.first || right < left)
            continue;
        for (int tries = 0; tries < 300; ++tries) {
            const QRect candidate(QPoint(left + rng.below(right - left + 1),
                                         rows.first + rng.below(rows.second - rows.first + 1)), shape);
            if (freeSpot(candidate, placed))
                return candidate;
        }
    }
    return QRect();
}

QRect gridAnimal(int index, int count, QRect field, const QImage& glyph)
{
    const int cols = std::max(1, int(std::ceil(std::sqrt(double(count) * field.width() / field.height()))));
    const int rows = (count + cols - 1) / cols;
    const int cellWidth = field.width() / cols, cellHeight = field.height() / rows;
    const int size = std::min(cellWidth, cellHeight) * 4 / 5;
    if (size < 8)
        return QRect();
    QRect shape(QPoint(0, 0), glyph.size().scaled(size, size, Qt::KeepAspectRatio));
    shape.moveCenter(QPoint(field.left() + cellWidth * (index % cols) + cellWidth / 2,
                            field.top() + cellHeight * (index / cols) + cellHeight / 2));
    return shape;
}

void paintField(QPainter& p, Style style, QRect field, Rng& rng)
{
    switch (style) {
    case Style::Garden: paintGarden(p, field, rng); break;
    case Style::Water: paintWater(p, field, rng); break;
    case Style::Scroll: paintScroll(p, field, rng); break;
    case Style::Pergola: paintPergola(p, field, rng); break;
    }
}

// True when the sampling of even columns and even rows counted from the
// bottom (the order in which the program reads a map) meets colour.
bool sampledColour(const QImage& map, QRect area, QRgb colour)
{
    const int bottom = map.height() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        if ((bottom - y) % 2 != 0)
            continue;
        const QRgb* line = reinterpret_cast<const QRgb*>(map.constScanLine(y));
        for (int x = area.left() + (area.left() & 1); x <= area.right(); x += 2) {
            if (line[x] == colour)
                return true;
        }
    }
    return false;
}

} // namespace

QImage roomImage(QSize size, QImage::Format format)
{
    QImage image(size, format);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QImage glyphImage(const QString& glyph)
{
    static QHash<QString, QImage> cache;
    const auto cached = cache.constFind(glyph);
    if (cached != cache.constEnd())
        return *cached;
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(glyphStrike);
    QImage canvas = roomImage(QSize(2 * glyphStrike, 2 * glyphStrike), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setFont(font);
    p.drawText(canvas.rect(), Qt::AlignCenter, glyph);
    p.end();
    QRect visible;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(canvas.pixel(x, y)) > 0)
                visible |= QRect(x, y, 1, 1);
        }
    }
    const QImage cropped = visible.isEmpty() ? QImage() : canvas.copy(visible);
    cache.insert(glyph, cropped);
    return cropped;
}

// The panel is laid out in the pixels of its plan and painted sharper, at
// its scale: the brushwork through the painter's transform, the animals
// from the font at their painted size.
bool paintPanel(const PanelPlan& panel, const QHash<QString, Species>& species,
                const QVector<QRgb>& colours, bool gridLayout, quint64 seed,
                PaintedPanel* out, QString* error)
{
    Rng rng(seed);
    const double scale = panel.eighths / 8.0;
    const QSize painted = panel.pixels * scale;
    QImage picture = roomImage(painted, QImage::Format_ARGB32_Premultiplied);
    picture.setDotsPerMeterX(dotsPerMeter * panel.eighths / 8);
    picture.setDotsPerMeterY(dotsPerMeter * panel.eighths / 8);
    picture.fill(plasterTone);
    const QRect planned(QPoint(0, 0), panel.pixels);
    const int frameWidth = std::max(6, std::min(panel.pixels.width(), panel.pixels.height()) / 28);
    const QRect field = planned.adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    QVector<QRect> placed;
    out->animals.clear();
    out->map = QImage();
    if (!panel.animals.isEmpty()) {
        out->map = roomImage(painted, QImage::Format_RGB32);
        out->map.fill(qRgb(0, 0, 0));
    }
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    paintField(p, panel.style, field, rng);
    for (int i = 0; i < panel.animals.size(); ++i) {
        const PaintedAnimal& animal = panel.animals[i];
        const QImage glyph = glyphImage(species.value(animal.species).glyph);
        if (glyph.isNull()) {
            *error = QStringLiteral("%1: the emoji font draws nothing for %2").arg(panel.name, animal.species);
            return false;
        }
        const QRect rect = gridLayout ? gridAnimal(i, panel.animals.size(), field, glyph)
                                      : scatterAnimal(animal, panel.style, field, glyph, placed, rng);
        if (rect.isEmpty()) {
            *error = QStringLiteral("%1: no room for animal %2 (%3)").arg(panel.name).arg(i + 1).arg(animal.species);
            return false;
        }
        const int side = std::max(rect.width(), rect.height());
        const QImage sharp = frescoGlyph(glyph, int(side * scale + 0.5), animal.mirrored);
        if (animal.zone == Zone::Perch)
            paintPerch(p, rect, field, rng);
        if (animal.zone == Zone::Ground && panel.style == Style::Garden) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 50, 30, 70));
            p.drawEllipse(QPointF(rect.center().x(), rect.bottom() - rect.height() * 0.03),
                          rect.width() * 0.42, rect.height() * 0.05);
        }
        const QPoint at = rect.topLeft() * scale;
        p.save();
        p.resetTransform();
        p.drawImage(at, sharp);
        p.restore();
        paintMapSilhouette(out->map, sharp, at, colours[i]);
        placed.append(QRect(rect.topLeft(), glyph.size().scaled(side, side, Qt::KeepAspectRatio)));
        out->animals.append(QRect(at, sharp.size()));
    }
    paintCracks(p, field, rng);
    paintLosses(p, field, placed, rng);
    paintFrame(p, planned, frameWidth, panel.style == Style::Water);
    p.end();
    out->field = QRect(field.topLeft() * scale, field.size() * scale);
    out->picture = picture.convertToFormat(QImage::Format_RGB32);
    ageSurface(out->picture, scale, rng);
    for (int i = 0; i < out->animals.size(); ++i) {
        if (!sampledColour(out->map, out->animals[i], colours[i])) {
            *error = QStringLiteral("%1: animal %2 (%3) is too small to be found in its map")
                         .arg(panel.name).arg(i + 1).arg(panel.animals[i].species);
            return false;
        }
    }
    return true;
}

} // namespace roomgen
