#include "imagecheck.h"

#include <QFileInfo>
#include <QRect>

#include <cmath>

namespace {

QString sizeText(const QImage& image)
{
    return QString("%1 × %2 pixels").arg(image.width()).arg(image.height());
}

QString colourOfValue(quint32 value)
{
    return QString("%1, %2, %3").arg(value & 0xffu).arg((value >> 8) & 0xffu).arg((value >> 16) & 0xffu);
}

bool isBlackValue(quint32 value)
{
    return (value & 0x00ffffffu) == 0;
}

} // namespace

quint32 ImageCheck::mapValue(const point3& colour)
{
    return 0xff000000u | (quint32(colour.z) & 0xffu) << 16 | (quint32(colour.y) & 0xffu) << 8
           | (quint32(colour.x) & 0xffu);
}

// One pass over every pixel: how many each listed colour has, and where the others lie.
ImageCheck::MapScan ImageCheck::scan(const QImage& map, const QSet<quint32>& listed)
{
    MapScan result;
    if (map.depth() != 32)
        return result;
    for (int y = 0; y < map.height(); ++y) {
        const quint32* row = reinterpret_cast<const quint32*>(map.constScanLine(y));
        for (int x = 0; x < map.width(); ++x) {
            if (isBlackValue(row[x]))
                continue;
            if (listed.contains(row[x])) {
                ++result.listedCount[row[x]];
                continue;
            }
            // Image editors count rows from the top; the map is held bottom first.
            const QPoint point(x, map.height() - 1 - y);
            ++result.strayCount[row[x]];
            if (result.stray++ == 0) {
                result.sample = point;
                result.sampleValue = row[x];
            }
            result.strayBox |= QRect(point, QSize(1, 1));
        }
    }
    return result;
}

// Every picture of every section once, with the line of the element that names it.
QVector<ImageCheck::PlacedPicture> ImageCheck::placedPictures() const
{
    QVector<PlacedPicture> placed;
    const QVector<int> sections = room.outline.sections();
    for (int s = 0; s < room.scene.sections.size() && s < sections.size(); ++s) {
        const QMap<QString, Picture>& pictures = room.scene.sections[s].pictures;
        for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
            int line = room.outline.at(sections[s]).line;
            for (int extra : room.outline.children(sections[s], "extra")) {
                if (room.outline.at(extra).value("name") == it.key())
                    line = room.outline.at(extra).line;
            }
            placed.append({it.value(), it.key(), line});
        }
    }
    return placed;
}

void ImageCheck::run()
{
    if (!room.sceneRead)
        return;
    QSet<QString> picturesChecked;
    QSet<QString> mapsChecked;
    for (const PlacedPicture& placed : placedPictures()) {
        if (picturesChecked.contains(placed.name))
            continue;
        picturesChecked.insert(placed.name);
        checkPicture(placed);
        const QString mapName = room.nameInRoom(placed.picture.mapPath);
        if (mapName == placed.name && !placed.picture.image.isNull()) {
            // Its painted colours would all read as stray map pixels: one finding says why.
            room.report.warning(room.sceneFile(), placed.line, "picture-is-map",
                                QString("the picture %1 is a PNG, so the program also takes it as its own detail "
                                        "map: every colour painted in it may be a detail's; save the picture as "
                                        "%2 beside its map %1").arg(placed.name, placed.name.section('.', 0, -2) + ".jpg"));
            continue;
        }
        // A picture without a name has no map of its own either: its finding says all.
        if (mapsChecked.contains(mapName) || placed.name.isEmpty())
            continue;
        mapsChecked.insert(mapName);
        checkMapFile(placed);
        if (!placed.picture.mapImage.isNull())
            checkMapColours(mapName, placed.picture.mapImage);
    }
}

void ImageCheck::checkPicture(const PlacedPicture& placed)
{
    const QImage& image = placed.picture.image;
    const QString file = room.shown(placed.name);
    if (image.isNull()) {
        room.report.error(room.sceneFile(), placed.line, "image-unreadable",
                          QString("cannot read the picture %1: the program shows the panel empty and 0 m wide")
                              .arg(placed.name.isEmpty() ? "(no name given)" : placed.name));
        return;
    }
    if (image.dotsPerMeterX() != image.dotsPerMeterY())
        room.report.warning(file, 0, "image-resolution",
                            QString("saved with %1 dots per metre across but %2 down: the program takes the "
                                    "width from the printed size, so the panel is stretched; save it with one "
                                    "resolution").arg(image.dotsPerMeterX()).arg(image.dotsPerMeterY()));
    checkTextureSize(file, image);
}

void ImageCheck::checkTextureSize(const QString& file, const QImage& image)
{
    if (image.width() > maxTexture || image.height() > maxTexture)
        room.report.warning(file, 0, "texture-size",
                            QString("%1: larger than %2 pixels on a side, more than many kiosk graphics cards "
                                    "accept as a texture; scale it down").arg(sizeText(image)).arg(maxTexture));
}

void ImageCheck::checkMapFile(const PlacedPicture& placed)
{
    const QImage& map = placed.picture.mapImage;
    const QString mapName = room.nameInRoom(placed.picture.mapPath);
    const bool blank = !QFileInfo::exists(room.path(placed.name.section('.', 0, -2) + ".png"));
    if (map.isNull()) {
        if (blank)
            room.report.warning(room.shown(mapName), 0, "image-unreadable",
                                QString("cannot read the blank map, which panels without a map of their own "
                                        "(%1) use: write an all-black blank.png").arg(placed.name));
        else
            room.report.error(room.shown(mapName), 0, "image-unreadable",
                              "cannot read this detail map: none of its details can be pointed at");
        return;
    }
    checkTextureSize(room.shown(mapName), map);
    if (blank || placed.picture.image.isNull() || map.size() == placed.picture.image.size())
        return;
    room.report.error(room.shown(mapName), 0, "map-size",
                      QString("the map is %1 but its picture %2 is %3: the details land in the wrong place; "
                              "make the map exactly the picture's size")
                          .arg(sizeText(map), placed.name, sizeText(placed.picture.image)));
}

void ImageCheck::checkMapColours(const QString& mapName, const QImage& map)
{
    QVector<int> listedDetails;
    QSet<quint32> listed;
    for (int i = 0; i < room.scene.details.size(); ++i) {
        const Detail& detail = room.scene.details[i];
        if (detail.name != mapName)
            continue;
        listedDetails.append(i);
        // A colour the program reads as black or outside 0..255 is reported with its rgb attribute.
        if (DetailMap::isMapColor(detail.color) && detail.color != point3(0, 0, 0))
            listed.insert(mapValue(detail.color));
    }
    const MapScan found = scan(map, listed);
    // Where the program looks: its own search over the sampled pixels.
    const DetailMap sampled(map);
    for (int i : listedDetails) {
        const Detail& detail = room.scene.details[i];
        const quint32 value = mapValue(detail.color);
        if (!listed.contains(value) || !sampled.region(detail.color).empty)
            continue;
        const int count = found.listedCount.value(value);
        const QString where = count == 0
            ? QString("has no pixel in %1%2").arg(mapName, likelyMeant(found, value))
            : QString("has %1 pixels in %2 but none on an even column of an even row counted from the bottom, "
                      "where the program looks; paint it at least 2 × 2 pixels").arg(count).arg(mapName);
        room.report.error(room.sceneFile(), room.detailLine(i), "colour-not-sampled",
                          QString("colour %1 of detail %2 %3: the detail cannot be pointed at")
                              .arg(colourOfValue(value), RoomUnderCheck::code(detail.id), where));
    }
    reportStrayPixels(mapName, found, !listedDetails.isEmpty());
}

// A colour of the map close to a listed one that the map lacks is most likely a typo in
// the rgb attribute or a slip of the painter: the most frequent such colour.
QString ImageCheck::likelyMeant(const MapScan& found, quint32 listedValue)
{
    const int closeEnough = 24;
    quint32 best = 0;
    int bestCount = 0;
    for (auto it = found.strayCount.cbegin(); it != found.strayCount.cend(); ++it) {
        int distance = 0;
        for (int shift = 0; shift < 24; shift += 8)
            distance += qAbs(int((it.key() >> shift) & 0xffu) - int((listedValue >> shift) & 0xffu));
        if (distance <= closeEnough && it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    if (bestCount == 0)
        return QString();
    return QString(", which holds %1 pixels of %2: is that the colour meant?").arg(bestCount).arg(colourOfValue(best));
}

void ImageCheck::reportStrayPixels(const QString& mapName, const MapScan& found, bool anyListed)
{
    if (found.stray == 0)
        return;
    const QRect& box = found.strayBox;
    room.report.warning(
        room.shown(mapName), 0, "stray-pixels",
        QString("%1%2 pixels are neither black nor a listed colour, within x %3..%4, y %5..%6 from the top "
                "left (for example %7, %8: %9%10); usually anti-aliasing or JPEG: paint flat colours only")
            .arg(anyListed ? "" : "no <detailMap> lists this map, yet ")
            .arg(found.stray).arg(box.left()).arg(box.right()).arg(box.top()).arg(box.bottom())
            .arg(found.sample.x()).arg(found.sample.y()).arg(colourOfValue(found.sampleValue))
            .arg((found.sampleValue >> 24) == 0xffu ? "" : QString(", alpha %1").arg(found.sampleValue >> 24)));
}
