// The room generator: a room described as a plan (walls, panels, animals and
// catalogue records) and the writer that turns a plan into a data folder the
// program reads: Stanza.xml, panel images, detail maps, OBJ models and the
// determinazioni.csv database.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

namespace roomgen {

// Where an animal may stand inside a painted field; a perched one gets a
// branch under its feet.
enum class Zone { Sky, Perch, Ground, Anywhere };

// How a painted field is decorated around its animals.
enum class Style { Garden, Water, Scroll, Pergola };

// One animal painted on a panel: one detail of its map.
struct PaintedAnimal
{
    QString species;        // key into the species table
    int size = 400;         // longest side in pixels
    Zone zone = Zone::Anywhere;
    bool mirrored = false;
    QString quality;        // the catalogue's quality text, written as is
    bool recorded = true;   // false: painted, but not yet in the catalogue
};

// One image hung in the room: a section's panel or an extra under it.
struct PanelPlan
{
    QString name;           // file name, ".jpg"
    QSize pixels;           // as laid out; painted `eighths` / 8 times as many across and down
    int eighths = 8;
    QString height;         // metres, as written in the scene file
    Style style = Style::Garden;
    QVector<PaintedAnimal> animals;  // none: the panel has no map of its own
    QString marginLeft;     // extras only; empty when absent
    QString marginRight;
};

// A model placed on a section; empty texts are left out of the scene file.
struct MeshPlan
{
    QString model;
    QString width;
    QString height;
    QString marginLeft;
    QString marginRight;
};

struct SectionPlan
{
    int turnBefore = 0;     // degrees of the wall element before it; 0: none
    QString comment;        // written before the section when not empty
    PanelPlan panel;
    QVector<PanelPlan> extras;
    QVector<MeshPlan> meshes;
};

struct Species
{
    QString key;
    QString glyph;          // the emoji that is painted
    QString category;
    QString name;           // catalogue name, raw (alternatives and qualifiers kept)
    QString otherName;
    QString notes;
    int facing = -1;        // -1 left, 1 right, 0 towards the viewer
};

// A catalogue record whose painting is lost: it follows the details of a map.
struct LostRecord
{
    QString panel;          // picture name of the map it belongs to
    QString species;
    QString quality;
    QString description;
    QString notes;
};

struct RoomPlan
{
    QString roomHeight;
    QString ceilingModel;
    QString ceilingHeight;
    QVector<SectionPlan> sections;
    QVector<Species> species;
    QVector<LostRecord> lostRecords;
    bool gridLayout = false;  // animals in a regular grid instead of scattered
    bool demo = false;        // also writes the models and the credits file
    quint64 seed = 1;
};

struct BenchOptions
{
    int panels = 16;
    QSize pixels = QSize(2048, 2048);
    int detailsPerMap = 20;
};

RoomPlan demoRoomPlan();
RoomPlan benchRoomPlan(const BenchOptions& options);

// Writes the whole room into folder (created when missing). On failure returns
// false with a message naming the file or the plan entry that is wrong.
bool writeRoom(const RoomPlan& plan, const QString& folder, QString* error);

// The file names writeRoom produces for plan, sorted.
QStringList roomFiles(const RoomPlan& plan);

} // namespace roomgen
