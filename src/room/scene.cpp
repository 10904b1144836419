#include "scene.h"

#include "detailmap.h"
#include "roomfolder.h"
#include "sharedimages.h"

#include <QDir>
#include <QDomDocument>
#include <QDomNodeList>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// A real room file is four elements deep; anything far deeper is not a room,
// and the DOM builder recurses per level, so such a file is refused before it.
const int maxElementDepth = 256;

// Attribute as a number with "." as decimal point whatever the locale; text that
// is not a number reads 0. `parsed` tells whether the text was a number at all.
float numberAttribute(const QDomElement& element, const QString& name, const QString& fallback,
                      bool* parsed = nullptr)
{
    bool ok = false;
    float value = element.attribute(name, fallback).toFloat(&ok);
    // Overflow comes back as an infinity even though the text is no number.
    if (!std::isfinite(value)) {
        qWarning("Scene file: <%s %s=\"%s\"> is not a finite number; reading 0",
                 qPrintable(element.tagName()), qPrintable(name), qPrintable(element.attribute(name)));
        value = 0.0f;
        ok = false;
    }
    if (parsed)
        *parsed = ok;
    return value;
}

// Arithmetic on finite lengths near the float's limit can overflow; the result
// counts as 0 like a number in the file that is not finite.
float finiteOrZero(float value, const QDomElement& element, const char* what)
{
    if (std::isfinite(value))
        return value;
    qWarning("Scene file line %d: <%s> gives a %s that is not a finite number; reading 0", element.lineNumber(),
             qPrintable(element.tagName()), what);
    return 0.0f;
}

point3 finiteOrZero(const point3& value, const QDomElement& element, const char* what)
{
    return point3(finiteOrZero(value.x, element, what), finiteOrZero(value.y, element, what),
                  finiteOrZero(value.z, element, what));
}

QString nestingProblem(qint64 line)
{
    return QString("its elements nest deeper than %1 levels at line %2").arg(maxElementDepth).arg(line);
}

// Where the stream reader stops, the DOM reader may read on: such a file is
// measured by its tags alone (comments, CDATA sections,
// declarations and processing instructions skipped), so that no file reaches
// the DOM builder, which recurses per level, nested absurdly deep.
bool checkNestingOfTags(const QByteArray& bytes, QString* problem)
{
    static const QByteArray skipped[][2] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<!", ">"}, {"<?", "?>"}};
    int depth = 0;
    for (int at = bytes.indexOf('<'); at >= 0; at = bytes.indexOf('<', at + 1)) {
        const auto skip = std::find_if(std::begin(skipped), std::end(skipped),
                                       [&](const QByteArray* pair) { return bytes.mid(at, pair[0].size()) == pair[0]; });
        const int close = bytes.indexOf('>', at);
        if (skip != std::end(skipped)) {
            at = bytes.indexOf((*skip)[1], at);
        } else if (bytes.at(qMin(at + 1, bytes.size() - 1)) == '/') {
            --depth;
        } else if (close < 0 || bytes.at(close - 1) != '/') {
            if (++depth > maxElementDepth) {
                *problem = nestingProblem(bytes.left(at).count('\n') + 1);
                return false;
            }
        }
        if (at < 0)
            break;
    }
    return true;
}

// Scans the element nesting without building anything, as the DOM reader
// reads (namespace processing off); false for a file that nests absurdly deep,
// with the reason in `problem`. Whether the file is XML at all is the DOM
// reader's to say, so that exactly what it accepts passes here.
bool checkNesting(const QByteArray& bytes, QString* problem)
{
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > maxElementDepth) {
            *problem = nestingProblem(reader.lineNumber());
            return false;
        }
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    if (reader.hasError())
        return checkNestingOfTags(bytes, problem);
    return true;
}

// Reads and parses the scene file; on failure says which file and why.
bool loadDocument(const QString& path, QDomDocument& document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Cannot open the scene file %s: %s", qPrintable(QFileInfo(path).absoluteFilePath()),
                 qPrintable(file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    QString problem;
    int line = 0;
    int column = 0;
    if (!checkNesting(bytes, &problem)) {
        qWarning("The scene file %s is refused: %s", qPrintable(path), qPrintable(problem));
        return false;
    }
    if (!document.setContent(bytes, &problem, &line, &column)) {
        qWarning("The scene file %s is not readable XML: %s at line %d, column %d", qPrintable(path),
                 qPrintable(problem), line, column);
        return false;
    }
    return true;
}

QByteArray nodeLogName(const QDomNode& node)
{
    if (node.isComment())
        return "comment";
    return node.isElement() ? node.toElement().tagName().toUtf8() : QByteArray();
}

void resizeAlongWall(Section& section, float change)
{
    section.width += change;
    for (Model& model : section.models)
        model.size.x += change;
    for (Picture& picture : section.pictures)
        picture.size.x += change;
}

// The image files of the pictures on the walls that the room may read, in the
// order they are read; refused names are reported when their turn comes.
QStringList pictureFiles(const QDomElement& room, const QString& dataPath)
{
    QStringList files;
    const auto add = [&files, &dataPath](const QDomElement& element) {
        const QString name = element.attribute("name", "");
        if (roomFileRefusal(name).isEmpty())
            files << dataPath + name;
    };
    for (QDomElement walls = room.firstChildElement("walls"); !walls.isNull();
         walls = walls.nextSiblingElement("walls")) {
        for (QDomElement section = walls.firstChildElement("section"); !section.isNull();
             section = section.nextSiblingElement("section")) {
            add(section);
            for (QDomElement extra = section.firstChildElement("extra"); !extra.isNull();
                 extra = extra.nextSiblingElement("extra"))
                add(extra);
        }
    }
    return files;
}

} // namespace

Scene::Scene() = default;

bool Scene::readXML(QString fileName)
{
    qDebug("Reading SCENE!");
    // Only while the file is read: afterwards the pictures hold what they need.
    SharedImages sharedImages;
    const QString path = roomFile(fileName);
    dataPath = QDir(roomFolder()).absolutePath() + "/";

    QDomDocument document;
    if (!loadDocument(path, document))
        return false;
    const QDomElement room = document.documentElement();
    if (room.tagName() != "room") {
        qWarning("The scene file %s has <%s> as its root element instead of <room>", qPrintable(path),
                 qPrintable(room.tagName()));
        return false;
    }
    roomHeight = numberAttribute(room, "height", "6.0");
    prefetchPictureImages(sharedImages, pictureFiles(room, dataPath));
    bounds.add(layoutPosition);

    const QDomNodeList children = room.childNodes();
    const int mapProgressSteps = children.size() - 1;
    int mapIndex = 0;
    int letterIndex = 0;
    int ordinal = 0;
    for (int i = 0; i < children.size(); ++i) {
        const QDomNode node = children.at(i);
        qDebug("el: '%s'", nodeLogName(node).constData());
        if (node.isComment() || !node.isElement())
            continue;
        const QDomElement element = node.toElement();
        if (element.tagName() == "walls") {
            readWalls(element);
        } else if (element.tagName() == "detailMap") {
            // With the map as the room's only child the steps have no size: start at the middle.
            const float step = mapProgressSteps > 0 ? 0.25f * mapIndex / mapProgressSteps : 0.0f;
            showLoadingProgress(0.25f + step);
            readDetailMap(element, letterIndex, ordinal);
            ++mapIndex;
        }
    }
    mapRegionCache.clear();
    qDebug("Done loading");
    return true;
}

void Scene::readWalls(const QDomElement& walls)
{
    const QDomNodeList children = walls.childNodes();
    const int count = children.size();
    for (int i = 0; i < count; ++i) {
        showLoadingProgress(i * 0.25f / count);
        const QDomNode node = children.at(i);
        if (node.isComment() || !node.isElement())
            continue;
        const QDomElement element = node.toElement();
        if (element.tagName() == "ceiling")
            readCeiling(element);
        else if (element.tagName() == "section")
            readSection(element);
        else if (element.tagName() == "wall")
            readWall(element);
    }
    closeRoom();
}

void Scene::readWall(QDomElement element)
{
    const int turn = element.attribute("turn", "0").toInt(nullptr, 10);
    const float angle = float(turn * M_PI / 180.0);
    const float c = float(std::cos(angle));
    const float s = float(std::sin(angle));
    const point3 d = layoutDirection;
    layoutDirection = point3(c * d.x - s * d.z, 0.0f, s * d.x + c * d.z);
    bounds.add(layoutPosition);
}

void Scene::readCeiling(QDomElement element)
{
    const float height = numberAttribute(element, "height", "1.5");
    models.append(readModel(element, point3(0.0f, roomHeight, 0.0f), point3(0.0f, height, 0.0f)));
    if (ceilingModelIndex < 0)
        ceilingModelIndex = models.size() - 1;
}

void Scene::readSection(QDomElement element)
{
    const QString name = element.attribute("name", "");
    const float height = numberAttribute(element, "height", "0.0");

    Section section(layoutPosition, layoutDirection);
    const Picture picture = readPicture(element, point3(0.0f, roomHeight - height, 0.0f), point3(-1.0f, height, 0.0f));
    section.pictures.insert(name, picture);
    section.width = picture.size.x;

    if (ceilingModelIndex >= 0) {
        models[ceilingModelIndex].size.x = section.width;
        section.addModel(models[ceilingModelIndex]);
    } else {
        qWarning("Section %d (%s) has no ceiling: no <ceiling> came before it", sections.size(),
                 qPrintable(name));
    }

    float top = picture.position.y;
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.tagName() == "mesh")
            placeMesh(section, child, picture.size.x, top);
        else if (child.tagName() == "extra")
            placeExtra(section, child, top);
    }

    qDebug("Adding section %d with %d pictures", sections.size(), section.pictures.size());
    sections.append(section);
    emit sectionRead(sections.size() - 1);
    layoutPosition = finiteOrZero(section.origin + section.direction * section.width, element, "wall position");
}

float Scene::marginOffset(const QDomElement& element, float width, float itemWidth) const
{
    bool hasLeft = false;
    bool hasRight = false;
    const float left = numberAttribute(element, "marginleft", " ", &hasLeft);
    const float right = numberAttribute(element, "marginright", " ", &hasRight);
    if (hasRight)
        return finiteOrZero(width - itemWidth - right, element, "position");
    return hasLeft ? left : 0.0f;
}

void Scene::placeMesh(Section& section, const QDomElement& element, float pictureWidth, float top)
{
    const QString name = element.attribute("model", "");
    float height = numberAttribute(element, "height", "0.0");
    float width = numberAttribute(element, "width", "0.0");
    if (width == 0.0f)
        width = pictureWidth;
    if (height == 0.0f)
        height = top;
    const point3 position(marginOffset(element, section.width, width), 0.0f, 0.0f);
    const point3 size(width, height, 0.0f);

    const int index = findModel(name);
    if (index == -1) {
        models.append(readModel(element, position, size));
    } else {
        models[index].position = position;
        models[index].size = size;
    }
    section.addModel(models[index == -1 ? models.size() - 1 : index]);
}

void Scene::placeExtra(Section& section, const QDomElement& element, float& top)
{
    const QString name = element.attribute("name", "");
    const float height = numberAttribute(element, "height", "0.0");
    Picture picture = readPicture(element, point3(), point3(-1.0f, height, 0.0f));
    picture.position.x = marginOffset(element, section.width, picture.size.x);
    picture.position.y = finiteOrZero(top - height, element, "position");
    top = picture.position.y;
    section.pictures.insert(name, picture);
}

bool Scene::acceptsFileName(const QDomElement& element, const QString& attribute) const
{
    const QString name = element.attribute(attribute, "");
    const QString refusal = roomFileRefusal(name);
    if (refusal.isEmpty())
        return true;
    qWarning("Scene file line %d: <%s %s=\"%s\"> names %s; the file is not read", element.lineNumber(),
             qPrintable(element.tagName()), qPrintable(attribute), qPrintable(name), qPrintable(refusal));
    return false;
}

// A refused picture is an empty one, as if its file could not be read.
Picture Scene::readPicture(const QDomElement& element, point3 position, point3 size) const
{
    Picture picture;
    if (acceptsFileName(element, "name"))
        picture = Picture(dataPath + element.attribute("name", ""), position, size);
    else
        picture.setGeometry(QImage(), position, size);
    picture.position = finiteOrZero(picture.position, element, "position");
    picture.size = finiteOrZero(picture.size, element, "size");
    return picture;
}

// A refused model is a model that cannot be read: it stops the program.
Model Scene::readModel(const QDomElement& element, point3 position, point3 size) const
{
    const QString name = element.attribute("model", "");
    if (!acceptsFileName(element, "model"))
        Model::stopForUnreadableFile(roomFile(name));
    return Model(name, position, size);
}

QVector<int> Scene::wallRuns() const
{
    QVector<int> runs;
    for (int i = 1; i <= sections.size(); ++i) {
        const int runStart = runs.isEmpty() ? 0 : runs.last();
        if (i == sections.size() || sections[i].direction != sections[runStart].direction)
            runs.append(i);
    }
    return runs;
}

void Scene::closeRoom()
{
    const QVector<int> runs = wallRuns();
    if (runs.size() < 2) {
        qWarning("The walls lay out %d straight run(s) of sections; the room needs two to close, "
                 "so it is left open", runs.size());
        return;
    }
    const int firstCount = runs[0];
    const int lastStart = runs[runs.size() - 2];
    const int end = runs.last();
    const Section& last = sections[end - 1];
    const point3 walkEnd = last.origin + last.direction * last.width;
    if (!std::isfinite(walkEnd.x) || !std::isfinite(walkEnd.z)) {
        qWarning("The walk along the walls ends at a point that is not finite; the room is left open");
        return;
    }

    const float g = walkEnd.x / firstCount;
    for (int i = 0; i < firstCount; ++i) {
        if (walkEnd.x > 0.0f) {
            resizeAlongWall(sections[i], -g);
            sections[i].origin.x += (firstCount - i) * g;
        } else if (walkEnd.x < 0.0f) {
            resizeAlongWall(sections[i], g);
            sections[i].origin.x -= i * g;
        }
    }

    const float h = walkEnd.z / (end - lastStart);
    for (int i = lastStart; i < end; ++i) {
        if (walkEnd.z > 0.0f) {
            resizeAlongWall(sections[i], -h);
            if (i > lastStart)
                sections[i].origin.z += (end - i) * h;
        } else if (walkEnd.z < 0.0f) {
            resizeAlongWall(sections[i], h);
            if (i > lastStart)
                sections[i].origin.z -= (i - lastStart) * h;
        }
    }
}

int Scene::findModel(const QString& name) const
{
    for (int i = 0; i < models.size(); ++i) {
        if (models[i].name == name)
            return i;
    }
    return -1;
}

point3 Scene::startPoint() const
{
    const point3 centre = bounds.center();
    return point3(centre.x, 1.7f, centre.z);
}

void Scene::showLoadingProgress(float progress)
{
    emit loadingProgressSignal(progress);
    // Truncated from the exact product, not from a float rounded back up.
    qDebug("PROGRESS %d%%", int(double(progress) * 100.0));
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
    if (!DetailMap::isMapColor(detail.color))
        qWarning("Detail %d of %s: rgb=\"%s\" lies outside 0..255; it matches no pixel of the map",
                 id, qPrintable(mapName), qPrintable(text));
    return detail;
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

BoundingBox Scene::mapRegion(const Picture& picture, const Detail& detail) const
{
    const qint64 key = picture.mapImage.cacheKey();
    auto cached = mapRegionCache.constFind(key);
    if (cached == mapRegionCache.constEnd())
        cached = mapRegionCache.insert(key, DetailMap(picture.mapImage));
    return cached->region(detail.color);
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
