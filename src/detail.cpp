// The scene's side of the details: reading the detail maps and answering the
// view's questions by id, index and map colour.
#include "detail.h"

#include "scene.h"

#include <cmath>

Detail::Detail(int id, float r, float g, float b, QString name, QString label)
    : name(name)
    , color(r, g, b)
    , id(id)
    , label(label)
{
}

point3 Detail::normal() const
{
    return point3(direction.z, direction.y, -direction.x).normalized();
}

void Scene::readDetailMap(QDomElement element, int& letterIndex, int& ordinal)
{
    const QString mapName = element.attribute("name", "");
    const DetailMapUse use = findDetailMapUse(dataPath + mapName);
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.tagName() == "database") {
            ordinal = 0;
            letterIndex = databaseLetterIndex(child);
        } else if (child.tagName() == "detail") {
            const int id = letterIndex * 100 + ordinal;
            ++ordinal;
            Detail detail = readDetailColor(child, id, mapName);
            if (use.section >= 0) {
                const Section& section = sections[use.section];
                detail.direction = section.direction;
                detail.panel = use.section;
                detail.box = detailBox(section, detail, section.pictures[use.pictureKey]);
            }
            detail.maxCorner = detail.box.max;
            details.append(detail);
        }
    }
}

Scene::DetailMapUse Scene::findDetailMapUse(const QString& mapPath) const
{
    // When several pictures carry the same map, the last one in section and name order holds it.
    DetailMapUse use;
    for (int i = 0; i < sections.size(); ++i) {
        for (auto it = sections[i].pictures.cbegin(); it != sections[i].pictures.cend(); ++it) {
            if (it.value().mapPath == mapPath) {
                use.section = i;
                use.pictureKey = it.key();
            }
        }
    }
    return use;
}

int Scene::databaseLetterIndex(const QDomElement& element) const
{
    const QByteArray letter = element.attribute("name", "A").toLocal8Bit();
    if (letter.isEmpty()) {
        qWarning("Scene file: <database name=\"\"> names no letter; counting under A");
        return 0;
    }
    return int(static_cast<signed char>(letter.at(0))) - 65;
}

Detail Scene::readDetailColor(const QDomElement& element, int id, const QString& mapName) const
{
    const QString text = element.attribute("rgb", "0, 0, 0");
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    bool wellFormed = true;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        rgb[i] = text.section(", ", i, i).toFloat(&ok);
        if (!ok || !std::isfinite(rgb[i])) {
            rgb[i] = 0.0f;
            wellFormed = false;
        }
    }
    if (!wellFormed)
        qWarning("Detail %d of %s: rgb=\"%s\" is not three numbers separated by \", \"; "
                 "reading (%g, %g, %g)", id, qPrintable(mapName), qPrintable(text),
                 double(rgb[0]), double(rgb[1]), double(rgb[2]));
    Detail detail(id, rgb[0], rgb[1], rgb[2], mapName, element.attribute("unused", ""));
    if (!isMapColor(detail.color))
        qWarning("Detail %d of %s: rgb=\"%s\" lies outside 0..255; it matches no pixel of the map",
                 id, qPrintable(mapName), qPrintable(text));
    return detail;
}

bool Scene::isMapColor(const point3& color)
{
    for (int i = 0; i < 3; ++i) {
        if (!(color[i] >= 0.0f && color[i] < 256.0f))
            return false;
    }
    return true;
}

int Scene::indexOfDetail(int id) const
{
    for (int i = 0; i < details.size(); ++i) {
        if (details[i].id == id)
            return i;
    }
    return -1;
}

Detail Scene::detailAt(int index) const
{
    if (index < 0 || index >= details.size()) {
        qWarning("No detail at index %d (the scene holds %d); giving an empty one", index,
                 details.size());
        return Detail();
    }
    return details[index];
}

int Scene::detailIdAtColor(float r, float g, float b) const
{
    for (const Detail& detail : details) {
        if (detail.color.x == r && detail.color.y == g && detail.color.z == b)
            return detail.id;
    }
    return -1;
}

const Scene::ColorRegions& Scene::colorRegions(const QImage& map) const
{
    auto cached = mapRegionCache.constFind(map.cacheKey());
    if (cached != mapRegionCache.constEnd())
        return cached.value();

    // One pass over the sampled pixels collects the extent of every colour at
    // once, so a map costs the same whatever number of details it holds.
    ColorRegions regions;
    if (map.depth() != 32) {
        if (!map.isNull())
            qWarning("A detail map of %d bits per pixel cannot be searched", map.depth());
        return *mapRegionCache.insert(map.cacheKey(), regions);
    }
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
    return *mapRegionCache.insert(map.cacheKey(), regions);
}

BoundingBox Scene::mapRegion(const Picture& picture, const Detail& detail) const
{
    BoundingBox box;
    if (!isMapColor(detail.color))
        return box;
    const quint32 target = 0xff000000u | (quint32(detail.color.z) & 0xffu) << 16
                           | (quint32(detail.color.y) & 0xffu) << 8 | (quint32(detail.color.x) & 0xffu);
    const ColorRegions& regions = colorRegions(picture.mapImage);
    const auto found = regions.constFind(target);
    if (found == regions.constEnd())
        return box;
    const float width = picture.mapImage.width();
    const float height = picture.mapImage.height();
    box.add(2.0f * found->minX / width - 1.0f, 2.0f * found->minY / height - 1.0f, 0.0f);
    box.add(2.0f * found->maxX / width - 1.0f, 2.0f * found->maxY / height - 1.0f, 0.0f);
    return box;
}

BoundingBox Scene::detailBox(const Section& section, const Detail& detail, const Picture& picture) const
{
    const BoundingBox region = mapRegion(picture, detail);
    const point3& size = picture.size;
    const point3& position = picture.position;
    BoundingBox box;
    for (const point3& corner : {region.min, region.max}) {
        const point3 local((1.0f + corner.x) * size.x * 0.5f + position.x,
                           (1.0f + corner.y) * size.y * 0.5f + position.y,
                           (1.0f + corner.z) * size.z * 0.5f + position.z);
        box.add(section.toWorld(local));
    }
    return box;
}
