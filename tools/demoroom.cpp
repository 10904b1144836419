// The demo room that ships in data/, and the large rooms made for benchmarks.
#include "roomgen.h"

#include <algorithm>

namespace roomgen {

namespace {

// Every panel is laid out at 1.25 mm a pixel: 2400 pixels make 3 metres.
const QString panelHeight = QStringLiteral("3.0");
// Painted finer than that, so that a panel stays sharp with the camera in
// front of its lowest detail on a screen 800 pixels high (1300 and 2100 texels
// a metre; the bands hang lower, so the camera comes closer).
const int panelEighths = 13;
const int bandEighths = 21;
const QSize tall(2048, 2400);
const QSize medium(1800, 2400);
const QSize narrow(1600, 2400);
const QSize pier(1440, 2400);

QVector<Species> speciesTable()
{
    auto s = [](const char* key, const char* glyph, const char* category, const char* name,
                const char* otherName, const char* notes, int facing) {
        return Species{QString::fromUtf8(key), QString::fromUtf8(glyph), QString::fromUtf8(category),
                       QString::fromUtf8(name), QString::fromUtf8(otherName), QString::fromUtf8(notes), facing};
    };
    return {
        s("civetta", "🦉", "Uccelli", "Civetta", "athene noctua",
          "Simbolo di saggezza, è dipinta con gli occhi spalancati e il piumaggio a macchie.", 0),
        s("aquila", "🦅", "Uccelli", "Aquila", "aquila chrysaetos",
          "le ali spiegate ricordano gli stemmi nobiliari della famiglia.", -1),
        s("germano", "🦆", "Uccelli", "Germano reale", "anas platyrhynchos",
          "Maschio in abito nuziale, con la testa verde e il collare bianco", -1),
        s("colomba", "🕊️", "Uccelli", "Colomba/Tortora", "columba livia/streptopelia turtur",
          "Porta nel becco un rametto d'ulivo, segno di pace.", -1),
        s("pavone", "🦚", "Uccelli", "Pavone", "pavo cristatus",
          "La ruota è resa con occhi blu e verdi, come si addice al giardino di una villa.", 0),
        s("gallo", "🐓", "Uccelli", "Gallo", "Gallo domestico",
          "cresta e bargigli in rosso vivo, la coda a falce.", -1),
        s("pappagallo", "🦜", "Uccelli", "Pappagallo non determinabile a livello specifico", "psittacidae",
          "Uccello esotico, forse copiato da un erbario illustrato più che dal vero.", -1),
        s("uccello", "🐦", "Uccelli", "Uccello ind.", "",
          "Piccolo passeriforme azzurro, troppo stilizzato per una determinazione.", -1),
        s("cigno", "🦢", "Uccelli", "Cigno", "cygnus olor", "", -1),
        s("lepre", "🐇", "Mammiferi", "Lepre/Coniglio", "lepus europaeus",
          "Orecchie lunghe e pelo grigio chiaro: potrebbe trattarsi anche di un coniglio.", -1),
        s("scoiattolo", "🐿️", "Mammiferi", "Scoiattolo", "sciurus vulgaris",
          "Tiene una ghianda tra le zampe anteriori.", -1),
        s("cervo", "🦌", "Mammiferi", "Cervo", "cervus elaphus", "Giovane maschio con i primi palchi.", -1),
        s("cane", "🐕", "Mammiferi", "Cane", "Bracco",
          "Cane da caccia con orecchie pendenti e mantello pezzato.", 0),
        s("gatto", "🐈", "Mammiferi", "Gatto", "felis catus", "gatto fulvo a strisce, colto mentre si stira", -1),
        s("riccio", "🦔", "Mammiferi", "Riccio", "erinaceus europaeus", "", -1),
        s("delfino", "🐬", "Mammiferi", "Delfino", "delphinus delphis",
          "Nei fregi marini è accompagnato dai pesci, come nei mosaici antichi.", -1),
        s("pesce", "🐟", "Pesci", "Pesce non determinato", "",
          "Pesce azzurro ripetuto lungo il fregio, senza caratteri distintivi: la sua identità resta incerta.", -1),
        s("pescepalla", "🐡", "Pesci", "Pesce palla", "tetraodontidae", "Gonfio, con gli aculei ben visibili.", -1),
        s("biscia", "🐍", "Rettili", "Biscia/Vipera", "natrix natrix/vipera aspis",
          "Avvolta su sé stessa, con la testa sollevata.", -1),
        s("ramarro", "🦎", "Rettili", "Ramarro", "lacerta bilineata",
          "Verde brillante, con una punteggiatura gialla sul dorso.", -1),
        s("testuggine", "🐢", "Rettili", "Testuggine", "testudo hermanni",
          "Carapace a scudi ben delineati. È l'animale più lento del giardino.", -1),
        s("rana", "🐸", "Anfibi", "Rana", "Rana verde", "Vista di fronte, con la bocca spalancata.", 0),
        s("farfalla", "🦋", "Insetti", "Farfalla", "danaus plexippus",
          "Le ali arancioni con venature nere ricordano la monarca, ignota in Italia all'epoca: "
          "forse un'aggiunta di un restauro ottocentesco.", 0),
        s("ape", "🐝", "Insetti", "Ape", "apis mellifera", "Operaia in volo verso i fiori.", -1),
        s("coccinella", "🐞", "Insetti", "Coccinella", "coccinella septempunctata",
          "Sette punti neri sulle elitre rosse.", -1),
        s("grillo", "🦗", "Insetti", "Grillo", "gryllus campestris", "", -1),
    };
}

PaintedAnimal animal(const char* species, int size, Zone zone, const char* quality, bool mirrored = false)
{
    PaintedAnimal a;
    a.species = QString::fromLatin1(species);
    a.size = size;
    a.zone = zone;
    a.quality = QString::fromLatin1(quality);
    a.mirrored = mirrored;
    return a;
}

// Butterflies: many, small, anywhere; the panel shows at most twelve of them.
PaintedAnimal butterfly(const char* quality, bool mirrored = false)
{
    return animal("farfalla", 200, Zone::Sky, quality, mirrored);
}

PanelPlan panel(const char* name, QSize pixels, Style style, QVector<PaintedAnimal> animals)
{
    PanelPlan p;
    p.name = QString::fromLatin1(name);
    p.pixels = pixels;
    p.height = panelHeight;
    p.style = style;
    p.animals = animals;
    p.eighths = panelEighths;
    return p;
}

// A band hung under a panel, as wide as the panel's section.
PanelPlan band(const char* name, int width, int height, const char* metres, Style style,
               QVector<PaintedAnimal> animals)
{
    PanelPlan p = panel(name, QSize(width, height), style, animals);
    p.height = QString::fromLatin1(metres);
    p.eighths = bandEighths;
    return p;
}

MeshPlan wainscotMesh()
{
    return MeshPlan{QStringLiteral("zoccolo.obj"), QString(), QString(), QString(), QString()};
}

MeshPlan benchMesh(const char* width, const char* left, const char* right)
{
    return MeshPlan{QStringLiteral("panca.obj"), QString::fromLatin1(width), QStringLiteral("0.45"),
                    QString::fromLatin1(left), QString::fromLatin1(right)};
}

SectionPlan section(int turn, const char* comment, PanelPlan p, QVector<PanelPlan> extras = {},
                    QVector<MeshPlan> benches = {})
{
    SectionPlan s;
    s.turnBefore = turn;
    s.comment = QString::fromUtf8(comment);
    s.panel = p;
    s.extras = extras;
    s.meshes = QVector<MeshPlan>{wainscotMesh()} + benches;
    return s;
}

QVector<SectionPlan> northAndEastWalls()
{
    return {
        section(0, "Parete nord: il giardino con gli uccelli",
                panel("nord_1.jpg", tall, Style::Garden,
                      {animal("civetta", 520, Zone::Perch, "Buona"), animal("lepre", 620, Zone::Ground, "Media", true),
                       butterfly("Buona"), animal("ape", 220, Zone::Sky, "3")})),
        section(0, "", panel("nord_2.jpg", narrow, Style::Garden,
                             {animal("pavone", 760, Zone::Ground, "Buona"), animal("uccello", 400, Zone::Perch, "2"),
                              butterfly("Media", true)}),
                {band("fascia_nord_2.jpg", 1600, 320, "0.4", Style::Water,
                      {animal("pesce", 220, Zone::Anywhere, "1"), animal("pesce", 220, Zone::Anywhere, "2", true),
                       animal("delfino", 260, Zone::Anywhere, "Buona")})}),
        section(0, "", panel("nord_3.jpg", tall, Style::Garden,
                             {animal("cervo", 780, Zone::Ground, "Buona", true), animal("aquila", 520, Zone::Sky, "3"),
                              butterfly(""), animal("coccinella", 200, Zone::Anywhere, "Scarsa")}),
                {}, {benchMesh("1.6", "0.2", "")}),
        section(0, "", panel("nord_4.jpg", medium, Style::Garden,
                             {animal("gallo", 640, Zone::Ground, "Media"), animal("colomba", 460, Zone::Sky, "Buona", true),
                              butterfly("3")})),
        section(90, "Parete est: animali domestici e piccoli abitanti del giardino",
                panel("est_1.jpg", tall, Style::Garden,
                      {animal("cane", 660, Zone::Ground, "Buona"), animal("colomba", 420, Zone::Sky, "Media"),
                       butterfly("Discreta", true), animal("ape", 220, Zone::Anywhere, "2", true)}),
                {}, {benchMesh("1.6", "", "0.3")}),
        section(0, "", panel("est_2.jpg", pier, Style::Garden,
                             {animal("pappagallo", 460, Zone::Perch, "Media", true), animal("riccio", 480, Zone::Ground, "1"),
                              butterfly("Buona")}),
                {band("fascia_est_2.jpg", 1440, 320, "0.4", Style::Water,
                      {animal("pesce", 220, Zone::Anywhere, "Scarsa", true), animal("pescepalla", 240, Zone::Anywhere, "2")}),
                 band("cartiglio_est_2.jpg", 1440, 240, "0.3", Style::Scroll,
                      {animal("coccinella", 150, Zone::Anywhere, "Media", true), butterfly("1")})}),
        section(0, "", panel("est_3.jpg", tall, Style::Garden,
                             {animal("gatto", 640, Zone::Ground, "Buona", true), animal("uccello", 420, Zone::Sky, "Scarsa", true),
                              butterfly("2"), [] { PaintedAnimal a = animal("grillo", 280, Zone::Ground, "");
                                                   a.recorded = false;
                                                   return a; }()})),
    };
}

QVector<SectionPlan> southAndWestWalls()
{
    return {
        section(90, "Parete sud: la pergola e gli animali d'acqua",
                panel("sud_1.jpg", medium, Style::Garden,
                      {animal("germano", 600, Zone::Ground, "Buona"), animal("colomba", 440, Zone::Sky, "3", true),
                       butterfly("Media")})),
        section(0, "Pergola senza animali: usa la mappa vuota blank.png", panel("sud_2.jpg", tall, Style::Pergola, {})),
        section(0, "", panel("sud_3.jpg", narrow, Style::Garden,
                             {animal("scoiattolo", 560, Zone::Ground, "2", true), animal("uccello", 380, Zone::Perch, "1"),
                              butterfly("Buona", true)}),
                {band("fascia_sud_3.jpg", 1600, 320, "0.4", Style::Water,
                      {animal("delfino", 260, Zone::Anywhere, "Media", true), animal("pesce", 220, Zone::Anywhere, "")})}),
        section(0, "", panel("sud_4.jpg", tall, Style::Garden,
                             {animal("testuggine", 620, Zone::Ground, "Buona"), butterfly("Scarsa"),
                              animal("ape", 220, Zone::Sky, "Buona")}),
                {}, {benchMesh("1.8", "0.5", "0.4")}),
        section(90, "Parete ovest: rettili e anfibi",
                panel("ovest_1.jpg", tall, Style::Garden,
                      {animal("biscia", 600, Zone::Ground, "2", true), animal("civetta", 460, Zone::Perch, "Media"),
                       butterfly("1", true)})),
        section(0, "", panel("ovest_2.jpg", pier, Style::Garden,
                             {animal("rana", 440, Zone::Ground, "3"), animal("ramarro", 520, Zone::Sky, "Media"),
                              butterfly("Buona")})),
        section(0, "", panel("ovest_3.jpg", tall, Style::Garden,
                             {animal("lepre", 600, Zone::Ground, "Scarsa"), butterfly("Media", true)})),
    };
}

} // namespace

RoomPlan demoRoomPlan()
{
    RoomPlan plan;
    plan.roomHeight = QStringLiteral("5.0");
    plan.ceilingModel = QStringLiteral("cornice.obj");
    plan.ceilingHeight = QStringLiteral("0.6");
    plan.sections = northAndEastWalls() + southAndWestWalls();
    plan.species = speciesTable();
    plan.lostRecords = {
        {QStringLiteral("nord_3.jpg"), QStringLiteral("cigno"), QStringLiteral("Media"),
         QStringLiteral("In basso a destra del riquadro, perduto."),
         QStringLiteral("dipinto perduto: l'intonaco è caduto durante i lavori del 1923, resta la descrizione di un inventario")},
        {QStringLiteral("ovest_2.jpg"), QStringLiteral("ramarro"), QStringLiteral("2"),
         QStringLiteral("In alto a destra del riquadro, perduto."),
         QStringLiteral("Secondo esemplare citato nelle schede più vecchie, oggi non più leggibile sotto la ridipintura.")},
    };
    plan.seed = 1923;
    return plan;
}

RoomPlan benchRoomPlan(const BenchOptions& options)
{
    RoomPlan plan;
    plan.roomHeight = QStringLiteral("5.0");
    plan.ceilingModel = QStringLiteral("cornice.obj");
    plan.ceilingHeight = QStringLiteral("0.6");
    plan.species = speciesTable();
    plan.gridLayout = true;
    plan.seed = 7;
    const QStringList qualities = {QStringLiteral("Buona"), QStringLiteral("Media"), QStringLiteral("Scarsa"),
                                   QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QString(),
                                   QStringLiteral("Discreta")};
    // Runs one and three, two and four get equal counts where they can, so
    // that the walk closes.
    const int runOrder[] = {0, 2, 1, 3};
    int runSizes[4] = {};
    for (int i = 0; i < options.panels; ++i)
        ++runSizes[runOrder[i % 4]];
    int detail = 0;
    int turn = 0;
    for (int run = 0; run < 4; ++run) {
        turn += run > 0 ? 90 : 0;
        for (int i = 0; i < runSizes[run]; ++i) {
            PanelPlan p;
            p.name = QStringLiteral("panel_%1.jpg").arg(plan.sections.size() + 1, 3, 10, QLatin1Char('0'));
            p.pixels = options.pixels;
            p.height = QString::number(options.pixels.height() / 800.0, 'g', 6);
            for (int d = 0; d < options.detailsPerMap; ++d, ++detail) {
                const Species& s = plan.species[detail % plan.species.size()];
                p.animals.append(animal(s.key.toLatin1().constData(), 0, Zone::Anywhere,
                                        qualities[detail % qualities.size()].toLatin1().constData(), detail % 2));
            }
            SectionPlan s;
            s.turnBefore = turn;
            turn = 0;
            s.panel = p;
            s.meshes = {wainscotMesh()};
            plan.sections.append(s);
        }
    }
    return plan;
}

} // namespace roomgen
