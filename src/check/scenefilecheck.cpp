#include "scenefilecheck.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace {

struct ElementRule
{
    QString tag;
    QString parent;
    QStringList attributes;
};

const QVector<ElementRule>& elementRules()
{
    static const QVector<ElementRule> rules = {
        {"room", "", {"height"}},
        {"walls", "room", {}},
        {"ceiling", "walls", {"model", "height"}},
        {"section", "walls", {"name", "height"}},
        {"mesh", "section", {"model", "height", "width", "marginleft", "marginright"}},
        {"extra", "section", {"name", "height", "marginleft", "marginright"}},
        {"wall", "walls", {"turn"}},
        {"detailMap", "room", {"name"}},
        {"database", "detailMap", {"name"}},
        {"detail", "detailMap", {"unused", "rgb"}},
    };
    return rules;
}

const ElementRule* ruleFor(const QString& tag)
{
    for (const ElementRule& rule : elementRules()) {
        if (rule.tag == tag)
            return &rule;
    }
    return nullptr;
}

QStringList tagsUnder(const QString& parent)
{
    QStringList tags;
    for (const ElementRule& rule : elementRules()) {
        if (rule.parent == parent)
            tags << rule.tag;
    }
    return tags;
}

int editDistance(const QString& a, const QString& b)
{
    QVector<int> previous(b.size() + 1);
    std::iota(previous.begin(), previous.end(), 0);
    for (int i = 1; i <= a.size(); ++i) {
        QVector<int> current(b.size() + 1);
        current[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        previous = current;
    }
    return previous[b.size()];
}

QString quotedTags(const QStringList& tags)
{
    return tags.isEmpty() ? QStringLiteral("none") : "<" + tags.join(">, <") + ">";
}

// The name and value as written, for messages: height="3,0".
QString written(const OutlineElement& element, const QString& name)
{
    return QString("%1=\"%2\"").arg(name, element.value(name));
}

QString colourText(const point3& colour)
{
    return QString("%1, %2, %3").arg(double(colour.x)).arg(double(colour.y)).arg(double(colour.z));
}

bool isBlack(const point3& colour)
{
    return colour.x == 0.0f && colour.y == 0.0f && colour.z == 0.0f;
}

bool isWholeMapColour(const point3& colour)
{
    for (int i = 0; i < 3; ++i) {
        if (!(colour[i] >= 0.0f && colour[i] <= 255.0f) || colour[i] != float(int(colour[i])))
            return false;
    }
    return true;
}

} // namespace

QString SceneFileCheck::closest(const QString& name, const QStringList& known)
{
    QString best;
    int bestDistance = std::max(2, int(name.size()) / 3) + 1;
    for (const QString& candidate : known) {
        const int distance = editDistance(name.toLower(), candidate.toLower());
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

void SceneFileCheck::warn(int element, const QString& code, const QString& message)
{
    room.report.warning(room.sceneFile(), room.outline.at(element).line, code, message);
}

void SceneFileCheck::fail(int element, const QString& code, const QString& message)
{
    room.report.error(room.sceneFile(), room.outline.at(element).line, code, message);
}

void SceneFileCheck::run()
{
    if (!room.isRoom)
        return;
    checkAttributes(0, ruleFor("room")->attributes);
    checkNumbers(0);
    for (int child : room.outline.at(0).children)
        checkElement(child);
    checkHeights();
    checkCeiling();
    for (int detail : room.outline.details())
        checkColour(detail);
    checkDuplicateColours();
    checkDatabaseLetters();
    for (int map : room.outline.detailMaps())
        checkDetailMap(map);
}

// Walks the tree below the root; below an element the program ignores nothing is read, so
// nothing more is reported.
void SceneFileCheck::checkElement(int element)
{
    const OutlineElement& e = room.outline.at(element);
    const QString parentTag = room.outline.at(e.parent).tag;
    const ElementRule* rule = ruleFor(e.tag);
    if (!rule) {
        const QStringList allowed = tagsUnder(parentTag);
        const QString guess = closest(e.tag, allowed);
        warn(element, "unknown-element",
             QString("unknown element <%1> under <%2>: the program ignores it; %3")
                 .arg(e.tag, parentTag,
                      guess.isEmpty() ? "known here: " + quotedTags(allowed) : "did you mean <" + guess + ">?"));
        return;
    }
    if (rule->parent != parentTag) {
        warn(element, "misplaced-element",
             QString("<%1> belongs under <%2>; under <%3> the program ignores it")
                 .arg(e.tag, rule->parent, parentTag));
        return;
    }
    checkAttributes(element, rule->attributes);
    checkNumbers(element);
    for (int child : e.children)
        checkElement(child);
}

void SceneFileCheck::checkAttributes(int element, const QStringList& known)
{
    const OutlineElement& e = room.outline.at(element);
    for (const QXmlStreamAttribute& attribute : e.attributes) {
        const QString name = attribute.qualifiedName().toString();
        if (known.contains(name))
            continue;
        const QString guess = closest(name, known);
        warn(element, "unknown-attribute",
             QString("unknown attribute %1 on <%2>: the program ignores it; %3")
                 .arg(written(e, name), e.tag,
                      guess.isEmpty() ? "known here: " + (known.isEmpty() ? "none" : known.join(", "))
                                      : "did you mean " + guess + "?"));
    }
}

void SceneFileCheck::checkNumbers(int element)
{
    const OutlineElement& e = room.outline.at(element);
    for (const QString name : {"height", "width", "marginleft", "marginright", "turn"}) {
        if (!e.has(name) || (name == "width" && e.tag != "mesh") || (name == "turn" && e.tag != "wall"))
            continue;
        bool number = false;
        if (name == "turn")
            e.value(name).toInt(&number, 10);
        else
            e.value(name).toFloat(&number);
        if (number)
            continue;
        if (name.startsWith("margin"))
            warn(element, "not-a-number",
                 QString("%1 is not a number: the program treats the margin as absent").arg(written(e, name)));
        else
            fail(element, "not-a-number",
                 QString("%1 is not %2: the program uses 0")
                     .arg(written(e, name), name == "turn" ? "a whole number of degrees"
                                                           : "a number (write it with a full stop)"));
    }
}

// A picture without a height is hung 0 m high and therefore 0 m wide: it vanishes.
void SceneFileCheck::checkHeights()
{
    for (const QString& tag : {QStringLiteral("section"), QStringLiteral("extra")}) {
        for (int element : room.outline.inWalls(tag)) {
            const OutlineElement& e = room.outline.at(element);
            bool number = false;
            const float height = e.value("height").toFloat(&number);
            if (!e.has("height") || (number && height <= 0.0f))
                fail(element, "picture-height",
                     QString("<%1 name=\"%2\"> has no height above 0: the program shows its picture "
                             "0 m high and 0 m wide").arg(tag, e.value("name")));
        }
    }
}

void SceneFileCheck::checkCeiling()
{
    const QVector<int> ceilings = room.outline.inWalls("ceiling");
    const QVector<int> sections = room.outline.sections();
    if (sections.isEmpty())
        return;
    if (ceilings.isEmpty()) {
        fail(sections.first(), "ceiling-missing",
             "no <ceiling> in the room: write one at the top of <walls>, before the first <section>");
        return;
    }
    if (ceilings.first() > sections.first())
        fail(ceilings.first(), "ceiling-after-section",
             QString("<ceiling> comes after the first <section> (line %1): the sections before it get no "
                     "ceiling; move it to the top of <walls>").arg(room.outline.at(sections.first()).line));
}

void SceneFileCheck::checkColour(int element)
{
    const OutlineElement& e = room.outline.at(element);
    const int index = room.detailOf(element);
    if (index < 0)
        return;
    const Detail& detail = room.scene.details[index];
    const QString text = e.value("rgb");
    static const QRegularExpression wellWritten("^\\d{1,3}, \\d{1,3}, \\d{1,3}$");
    if (!e.has("rgb")) {
        fail(element, "rgb-format",
             QString("detail %1 has no rgb: the program reads black, which matches no pixel")
                 .arg(RoomUnderCheck::code(detail.id)));
    } else if (!wellWritten.match(text).hasMatch()) {
        QStringList numbers;
        static const QRegularExpression number("\\d+(\\.\\d+)?");
        for (auto it = number.globalMatch(text); it.hasNext();)
            numbers << it.next().captured();
        fail(element, "rgb-format",
             QString("%1 is not written \"r, g, b\" with one blank after each comma: the program reads (%2)%3%4")
                 .arg(written(e, "rgb"), colourText(detail.color),
                      isBlack(detail.color) ? ", which matches no pixel" : "",
                      numbers.size() == 3 ? "; write rgb=\"" + numbers.join(", ") + "\"" : QString()));
    } else if (isBlack(detail.color) || !isWholeMapColour(detail.color)) {
        fail(element, "rgb-range",
             QString("%1: a detail colour needs three whole numbers 0 to 255, not all 0 (black marks "
                     "\"no detail\"); the program finds no pixel for it").arg(written(e, "rgb")));
    }
}

void SceneFileCheck::checkDuplicateColours()
{
    QHash<QString, int> firstWithColour;
    for (int element : room.outline.details()) {
        const int index = room.detailOf(element);
        if (index < 0 || isBlack(room.scene.details[index].color))
            continue;
        const Detail& detail = room.scene.details[index];
        const QString colour = colourText(detail.color);
        const auto first = firstWithColour.constFind(colour);
        if (first == firstWithColour.constEnd()) {
            firstWithColour.insert(colour, element);
            continue;
        }
        const Detail& other = room.scene.details[room.detailOf(*first)];
        fail(element, "colour-duplicate",
             QString("colour %1 of detail %2 (%3) is also listed at line %4 for detail %5 (%6): the program "
                     "recognises a detail by its colour alone and always finds the first; give each detail "
                     "its own colour")
                 .arg(colour, RoomUnderCheck::code(detail.id), detail.name)
                 .arg(room.outline.at(*first).line)
                 .arg(RoomUnderCheck::code(other.id), other.name));
    }
}

void SceneFileCheck::checkDatabaseLetters()
{
    QHash<QString, int> mapOfLetter;
    for (int map : room.outline.detailMaps()) {
        for (int database : room.outline.children(map, "database")) {
            const QString letter = room.outline.at(database).has("name")
                                       ? room.outline.at(database).value("name").left(1)
                                       : QStringLiteral("A");
            const int earlier = mapOfLetter.value(letter, -1);
            if (earlier >= 0 && earlier != map)
                fail(database, "database-letter",
                     QString("database letter %1 is also used by <detailMap name=\"%2\"> at line %3: the "
                             "details of both maps get the same codes; give each map its own letter")
                         .arg(letter, room.outline.at(earlier).value("name"))
                         .arg(room.outline.at(earlier).line));
            if (earlier < 0)
                mapOfLetter.insert(letter, map);
        }
    }
}

// The pictures, by section index and name, whose map is `mapPath`.
QVector<QPair<int, QString>> SceneFileCheck::picturesWithMap(const QString& mapPath) const
{
    QVector<QPair<int, QString>> found;
    for (int s = 0; s < room.scene.sections.size(); ++s) {
        const QMap<QString, Picture>& pictures = room.scene.sections[s].pictures;
        for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
            if (it->mapPath == mapPath)
                found.append({s, it.key()});
        }
    }
    return found;
}

void SceneFileCheck::checkDetailMap(int element)
{
    const QVector<int> details = room.outline.children(element, "detail");
    if (details.isEmpty() || room.detailOf(details.first()) < 0)
        return;
    const QString name = room.outline.at(element).value("name");
    const QVector<QPair<int, QString>> users = picturesWithMap(room.scene.dataPath + name);
    if (room.scene.details[room.detailOf(details.first())].panel >= 0) {
        if (users.size() > 1)
            warn(element, "map-shared",
                 QString("the map %1 belongs to %2 pictures: the program puts its details on the last one only, "
                         "%3 of section %4").arg(name).arg(users.size()).arg(users.last().second)
                     .arg(users.last().first + 1));
        return;
    }
    if (!users.isEmpty()) {
        const int walls = room.outline.wallsOf(room.outline.sections().value(users.first().first, 0));
        fail(element, "detailmap-order",
             QString("<detailMap name=\"%1\"> comes before the <walls> at line %2 that holds its picture "
                     "%3: the program finds no picture for its details; move it after that <walls>")
                 .arg(name).arg(walls >= 0 ? room.outline.at(walls).line : 0).arg(users.first().second));
        return;
    }
    if (!QFileInfo::exists(room.path(name))) {
        fail(element, "map-missing",
             QString("the map file %1 does not exist: its details cannot be pointed at").arg(name));
        return;
    }
    QStringList mapNames;
    for (const Section& section : room.scene.sections) {
        for (const Picture& picture : section.pictures)
            mapNames << room.nameInRoom(picture.mapPath);
    }
    mapNames.removeAll("blank.png");
    const QString guess = closest(name, mapNames);
    fail(element, "detailmap-unknown",
         QString("no picture of the room has the map \"%1\" (a picture's map is its name with .png): its details "
                 "cannot be pointed at%2").arg(name, guess.isEmpty() ? "" : "; did you mean " + guess + "?"));
}
