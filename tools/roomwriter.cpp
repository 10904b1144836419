// Turns a room plan into the files of a data folder.
#include "roomgen.h"

#include "fresco.h"
#include "objmodels.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QImageWriter>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace roomgen {

namespace {

const int jpegQuality = 85;
const QString sceneFile = QStringLiteral("Stanza.xml");
const QString databaseFile = QStringLiteral("determinazioni.csv");
const QString blankMap = QStringLiteral("blank.png");
const QString credits = QStringLiteral("CREDITS");
const QString cornice = QStringLiteral("cornice.obj");
const QString wainscot = QStringLiteral("zoccolo.obj");
const QString bench = QStringLiteral("panca.obj");

// One painted detail as the scene file and the database see it.
struct DetailEntry
{
    QRgb colour = 0;
    PaintedAnimal animal;
    QString description;
};

struct MapEntry
{
    QString picture;
    char letter = 'A';
    QVector<DetailEntry> details;
};

QString mapName(const QString& picture)
{
    return picture.section(QLatin1Char('.'), 0, -2) + QStringLiteral(".png");
}

QVector<const PanelPlan*> panelsInFileOrder(const RoomPlan& plan)
{
    QVector<const PanelPlan*> panels;
    for (const SectionPlan& section : plan.sections) {
        panels.append(&section.panel);
        for (const PanelPlan& extra : section.extras)
            panels.append(&extra);
    }
    return panels;
}

// Map colours that are distinct over the whole room (the program looks a
// detail up by its colour alone), bright enough to tell apart by eye.
class ColourSource
{
public:
    QRgb next()
    {
        for (;;) {
            const int hue = (counter * 137) % 360;
            const int saturation = 255 - (counter / 360) % 128;
            const int value = 230 - (counter / (360 * 128)) % 100;
            ++counter;
            const QRgb colour = QColor::fromHsv(hue, saturation, value).rgb();
            if (!used.contains(colour) && (colour & 0xffffff) != 0) {
                used.insert(colour);
                return colour;
            }
        }
    }

private:
    int counter = 0;
    QSet<QRgb> used;
};

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString rgbText(QRgb colour)
{
    return QStringLiteral("%1, %2, %3").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

QString placeText(const QRect& rect, const QRect& field)
{
    const QPoint centre = rect.center() - field.topLeft();
    const int column = qBound(0, centre.x() * 3 / field.width(), 2);
    const int row = qBound(0, centre.y() * 3 / field.height(), 2);
    static const char* const rows[] = {"in alto", "a mezza altezza", "in basso"};
    static const char* const columns[] = {"a sinistra", "al centro", "a destra"};
    if (row == 1 && column == 1)
        return QStringLiteral("al centro");
    return QStringLiteral("%1 %2").arg(QLatin1String(rows[row]), QLatin1String(columns[column]));
}

QString describe(const PaintedAnimal& animal, const Species& species, const QRect& rect,
                 const QRect& field, Style style)
{
    const QString where = style == Style::Water    ? QStringLiteral("del fregio")
                          : style == Style::Scroll ? QStringLiteral("del cartiglio")
                                                   : QStringLiteral("del riquadro");
    const int facing = animal.mirrored ? -species.facing : species.facing;
    const QString pose = facing < 0   ? QStringLiteral("rivolto verso sinistra")
                         : facing > 0 ? QStringLiteral("rivolto verso destra")
                                      : QStringLiteral("di fronte");
    QString place = placeText(rect, field);
    place[0] = place[0].toUpper();
    return QStringLiteral("%1 %2, %3.").arg(place, where, pose);
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        *error = QStringLiteral("%1: cannot write (%2)").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool writeImage(const QString& path, const QImage& image, const char* format, QString* error)
{
    QImageWriter writer(path, format);
    if (qstrcmp(format, "jpeg") == 0) {
        writer.setQuality(jpegQuality);
        writer.setOptimizedWrite(true);
    }
    if (!writer.write(image)) {
        *error = QStringLiteral("%1: cannot write (%2)").arg(path, writer.errorString());
        return false;
    }
    return true;
}

bool hasForbiddenText(const QString& text)
{
    // The database has no quoting: a semicolon or a line break would shift
    // the columns, and an em dash in the notes would be read as a broken ù.
    return text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0x2014));
}

bool checkPlan(const RoomPlan& plan, const QHash<QString, Species>& species, QString* error)
{
    for (const Species& s : plan.species) {
        for (const QString& text : {s.category, s.name, s.otherName, s.notes}) {
            if (hasForbiddenText(text)) {
                *error = QStringLiteral("species %1: text not allowed in the database: %2").arg(s.key, text);
                return false;
            }
        }
    }
    int maps = 0;
    for (const PanelPlan* panel : panelsInFileOrder(plan)) {
        maps += panel->animals.isEmpty() ? 0 : 1;
        if (panel->animals.size() > 100) {
            *error = QStringLiteral("%1: more than 100 animals do not fit one database letter").arg(panel->name);
            return false;
        }
        for (const PaintedAnimal& animal : panel->animals) {
            if (!species.contains(animal.species)) {
                *error = QStringLiteral("%1: unknown species %2").arg(panel->name, animal.species);
                return false;
            }
        }
    }
    if (maps > '~' - 'A' + 1) {
        *error = QStringLiteral("%1 detail maps: more than the database letters A to ~").arg(maps);
        return false;
    }
    if (!QFontDatabase().families().contains(QStringLiteral("Noto Color Emoji"))) {
        *error = QStringLiteral("the colour emoji font is missing: install fonts-noto-color-emoji");
        return false;
    }
    return true;
}

bool paintPanels(const RoomPlan& plan, const QHash<QString, Species>& species, const QString& folder,
                 QVector<MapEntry>* maps, QString* error)
{
    ColourSource colours;
    quint64 seed = plan.seed;
    for (const PanelPlan* panel : panelsInFileOrder(plan)) {
        QVector<QRgb> panelColours;
        for (int i = 0; i < panel->animals.size(); ++i)
            panelColours.append(colours.next());
        PaintedPanel painted;
        if (!paintPanel(*panel, species, panelColours, plan.gridLayout, ++seed, &painted, error)
            || !writeImage(folder + panel->name, painted.picture, "jpeg", error))
            return false;
        if (panel->animals.isEmpty())
            continue;
        if (!writeImage(folder + mapName(panel->name), painted.map, "png", error))
            return false;
        MapEntry map;
        map.picture = panel->name;
        map.letter = char('A' + maps->size());
        for (int i = 0; i < panel->animals.size(); ++i) {
            const PaintedAnimal& animal = panel->animals[i];
            map.details.append({panelColours[i], animal,
                                describe(animal, species.value(animal.species), painted.animals[i],
                                         painted.field, panel->style)});
        }
        maps->append(map);
    }
    return true;
}

QString meshElement(const MeshPlan& mesh)
{
    QString element = QStringLiteral("<mesh model=\"%1\"").arg(escaped(mesh.model));
    const QPair<QString, QString> attributes[] = {{QStringLiteral("width"), mesh.width},
                                                  {QStringLiteral("height"), mesh.height},
                                                  {QStringLiteral("marginleft"), mesh.marginLeft},
                                                  {QStringLiteral("marginright"), mesh.marginRight}};
    for (const auto& attribute : attributes) {
        if (!attribute.second.isEmpty())
            element += QStringLiteral(" %1=\"%2\"").arg(attribute.first, escaped(attribute.second));
    }
    return element + QStringLiteral("/>");
}

QString extraElement(const PanelPlan& extra)
{
    QString element = QStringLiteral("<extra name=\"%1\" height=\"%2\"").arg(escaped(extra.name), extra.height);
    if (!extra.marginLeft.isEmpty())
        element += QStringLiteral(" marginleft=\"%1\"").arg(extra.marginLeft);
    if (!extra.marginRight.isEmpty())
        element += QStringLiteral(" marginright=\"%1\"").arg(extra.marginRight);
    return element + QStringLiteral("/>");
}

QString sceneText(const RoomPlan& plan, const QVector<MapEntry>& maps)
{
    QStringList lines;
    lines << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
          << QStringLiteral("<!-- Made by tools/generate_room. See \"Authoring a room\" in README.md. -->")
          << QStringLiteral("<room height=\"%1\">").arg(plan.roomHeight)
          << QStringLiteral("    <walls>")
          << QStringLiteral("        <ceiling model=\"%1\" height=\"%2\"/>").arg(plan.ceilingModel, plan.ceilingHeight);
    for (const SectionPlan& section : plan.sections) {
        if (section.turnBefore != 0)
            lines << QStringLiteral("        <wall turn=\"%1\"/>").arg(section.turnBefore);
        if (!section.comment.isEmpty())
            lines << QStringLiteral("        <!-- %1 -->").arg(section.comment);
        lines << QStringLiteral("        <section name=\"%1\" height=\"%2\">")
                     .arg(escaped(section.panel.name), section.panel.height);
        for (const PanelPlan& extra : section.extras)
            lines << QStringLiteral("            ") + extraElement(extra);
        for (const MeshPlan& mesh : section.meshes)
            lines << QStringLiteral("            ") + meshElement(mesh);
        lines << QStringLiteral("        </section>");
    }
    lines << QStringLiteral("    </walls>");
    for (const MapEntry& map : maps) {
        lines << QStringLiteral("    <detailMap name=\"%1\">").arg(escaped(mapName(map.picture)))
              << QStringLiteral("        <database name=\"%1\"/>").arg(escaped(QString(QLatin1Char(map.letter))));
        for (const DetailEntry& detail : map.details) {
            const QString label = detail.animal.recorded ? detail.animal.species
                                                         : detail.animal.species + QStringLiteral(", da schedare");
            lines << QStringLiteral("        <detail unused=\"%1\" rgb=\"%2\"/>").arg(escaped(label), rgbText(detail.colour));
        }
        lines << QStringLiteral("    </detailMap>");
    }
    lines << QStringLiteral("</room>");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString csvLine(const QStringList& fields)
{
    return fields.join(QLatin1Char(';')) + QLatin1Char('\n');
}

QString databaseText(const RoomPlan& plan, const QHash<QString, Species>& species, const QVector<MapEntry>& maps)
{
    QString text = csvLine({QStringLiteral("Vovo del Pellavio"), QStringLiteral("Determinazioni degli animali dipinti")})
                   + csvLine({QStringLiteral("Stanza dimostrativa"), QStringLiteral("Esemplare e Lettera indicano il dettaglio della mappa")})
                   + csvLine({QStringLiteral("Qualità"), QStringLiteral("Scarsa, Media, Buona oppure 1, 2, 3")})
                   + csvLine({QStringLiteral("N."), QStringLiteral("Esemplare"), QStringLiteral("Lettera"),
                              QStringLiteral("Categoria"), QStringLiteral("Nome"), QStringLiteral("Altro nome"),
                              QStringLiteral("Qualità"), QStringLiteral("Descrizione"), QStringLiteral("Dipinto"),
                              QStringLiteral("Note"), QStringLiteral("Schedatore"), QStringLiteral("Revisione")});
    int row = 0;
    auto append = [&](int number, char letter, const Species& s, const QString& quality,
                      const QString& description, const QString& picture, const QString& notes) {
        ++row;
        text += csvLine({QString::number(row), QString::number(number), QString(QLatin1Char(letter)), s.category,
                         s.name, s.otherName, quality, description, picture, notes,
                         row % 3 == 0 ? QStringLiteral("G. Bellini") : QStringLiteral("M. Rossi"),
                         row % 2 == 0 ? QStringLiteral("2021") : QStringLiteral("2019")});
    };
    for (const MapEntry& map : maps) {
        for (int i = 0; i < map.details.size(); ++i) {
            const DetailEntry& detail = map.details[i];
            if (detail.animal.recorded)
                append(i + 1, map.letter, species.value(detail.animal.species), detail.animal.quality,
                       detail.description, map.picture, species.value(detail.animal.species).notes);
        }
        int number = map.details.size();
        for (const LostRecord& lost : plan.lostRecords) {
            if (lost.panel == map.picture)
                append(++number, map.letter, species.value(lost.species), lost.quality, lost.description,
                       map.picture, lost.notes);
        }
    }
    return text;
}

QString creditsText()
{
    return QStringLiteral(
        "Pellavio demo room: credits\n"
        "\n"
        "The animals on the panels are the colour emoji images of Noto Emoji,\n"
        "Copyright 2013-2017 Google Inc. and Arjen Nienhuis, licensed under the\n"
        "Apache License, Version 2.0 (https://www.apache.org/licenses/LICENSE-2.0;\n"
        "on Debian: /usr/share/common-licenses/Apache-2.0). They were taken from the\n"
        "font NotoColorEmoji.ttf of the Debian package fonts-noto-color-emoji, which\n"
        "Debian builds from those images (the font files themselves are under the\n"
        "SIL Open Font License 1.1).\n"
        "\n"
        "Changes made: every image was scaled, mirrored where needed, shifted towards\n"
        "fresco tones and painted on a generated plaster ground, then aged with\n"
        "mottling; its silhouette was traced into the detail maps.\n"
        "\n"
        "Everything else in this folder (grounds, frames, foliage, detail maps,\n"
        "models, Stanza.xml, determinazioni.csv, blank.png) is made by the room\n"
        "generator in tools/ of this project. The determinations, names and notes\n"
        "are written for the demonstration and describe no real collection.\n");
}

QHash<QString, Species> speciesByKey(const RoomPlan& plan)
{
    QHash<QString, Species> table;
    for (const Species& s : plan.species)
        table.insert(s.key, s);
    return table;
}

// How far the ceiling reaches from each wall: past the middle of the room
// along its longest wall, so that the ceilings of opposite walls overlap and
// close the view upwards. A wall is as long as its panels are wide.
double ceilingReach(const RoomPlan& plan)
{
    double longest = 0, run = 0;
    for (const SectionPlan& section : plan.sections) {
        if (section.turnBefore != 0)
            run = 0;
        run += section.panel.height.toDouble() * section.panel.pixels.width() / section.panel.pixels.height();
        longest = std::max(longest, run);
    }
    return std::round(longest * 50.0 + 10.0) / 100.0;
}

} // namespace

QStringList roomFiles(const RoomPlan& plan)
{
    QStringList files = {sceneFile, databaseFile, blankMap, credits, cornice, wainscot, bench};
    for (const PanelPlan* panel : panelsInFileOrder(plan)) {
        files << panel->name;
        if (!panel->animals.isEmpty())
            files << mapName(panel->name);
    }
    files.sort();
    return files;
}

bool writeRoom(const RoomPlan& plan, const QString& folder, QString* error)
{
    const QHash<QString, Species> species = speciesByKey(plan);
    if (!checkPlan(plan, species, error))
        return false;
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    const QString prefix = QDir(folder).absolutePath() + QLatin1Char('/');
    QVector<MapEntry> maps;
    QImage blank = roomImage(QSize(64, 64), QImage::Format_RGB32);
    blank.fill(qRgb(0, 0, 0));
    return paintPanels(plan, species, prefix, &maps, error)
           && writeImage(prefix + blankMap, blank, "png", error)
           && writeBytes(prefix + sceneFile, sceneText(plan, maps).toUtf8(), error)
           && writeBytes(prefix + databaseFile, databaseText(plan, species, maps).toUtf8(), error)
           && writeBytes(prefix + cornice, corniceObj(ceilingReach(plan)).toUtf8(), error)
           && writeBytes(prefix + wainscot, wainscotObj().toUtf8(), error)
           && writeBytes(prefix + bench, benchObj().toUtf8(), error)
           && writeBytes(prefix + credits, creditsText().toUtf8(), error);
}

} // namespace roomgen
