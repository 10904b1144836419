// The demo room in data/: its scene file, detail maps and database agree with
// each other, the scene reader takes it without a complaint, and the generator
// in tools/ reproduces it byte for byte.
#include "animal.h"
#include "roomgen.h"
#include "scene.h"

#include <QDomDocument>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <algorithm>

namespace {

struct MapEntry
{
    QString name;
    QVector<QRgb> colours;
    QVector<int> ids;
};

QStringList capturedProblems;

void captureProblems(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        capturedProblems << message;
    else if (message.startsWith(QLatin1String("Cannot read image")) || message.startsWith(QLatin1String("Error!!!")))
        capturedProblems << message;
}

QRgb colourFromText(const QString& text)
{
    const QStringList parts = text.split(QStringLiteral(", "));
    return parts.size() == 3 ? qRgb(parts[0].toInt(), parts[1].toInt(), parts[2].toInt()) : 0;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<QDomElement> childElements(const QDomElement& parent, const QString& tag)
{
    QVector<QDomElement> list;
    for (QDomElement e = parent.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag))
        list << e;
    return list;
}

} // namespace

class TestDemoRoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wallsAndSections();
    void detailMap_data();
    void detailMap();
    void panelWithoutMap();
    void databaseFile();
    void detailsJoinRecords();
    void recordFeature_data();
    void recordFeature();
    void exemplarsAndSpecies();
    void sceneReadsAndCloses();
    void folderSize();
    void regenerationIsIdentical();

private:
    QDomElement room;
    QVector<MapEntry> maps;
    QVector<QStringList> records;  // data lines of the database, split at ";"
};

void TestDemoRoom::initTestCase()
{
    QDomDocument document;
    QVERIFY2(document.setContent(fileBytes(QStringLiteral("data/Stanza.xml"))), "data/Stanza.xml is not XML");
    room = document.documentElement();
    // Ids as the scene numbers them: the letter of the last database
    // element times 100 plus the running count of details after it.
    int letter = 0, ordinal = 0;
    for (const QDomElement& map : childElements(room, QStringLiteral("detailMap"))) {
        MapEntry entry{map.attribute(QStringLiteral("name")), {}, {}};
        for (QDomElement e = map.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.tagName() == QLatin1String("database")) {
                letter = e.attribute(QStringLiteral("name")).at(0).toLatin1() - 'A';
                ordinal = 0;
            } else if (e.tagName() == QLatin1String("detail")) {
                entry.colours << colourFromText(e.attribute(QStringLiteral("rgb")));
                entry.ids << letter * 100 + ordinal++;
            }
        }
        maps << entry;
    }
    const QStringList lines = QString::fromUtf8(fileBytes(QStringLiteral("data/determinazioni.csv"))).split(QLatin1Char('\n'));
    for (int i = 4; i < lines.size() - 1; ++i)
        records << lines[i].split(QLatin1Char(';'));
}

void TestDemoRoom::wallsAndSections()
{
    QCOMPARE(room.tagName(), QStringLiteral("room"));
    QCOMPARE(room.attribute(QStringLiteral("height")).toFloat(), 5.0f);
    const QDomElement walls = room.firstChildElement(QStringLiteral("walls"));
    const QDomElement ceiling = walls.firstChildElement();
    QCOMPARE(ceiling.tagName(), QStringLiteral("ceiling"));
    QVERIFY(QFile::exists(QStringLiteral("data/") + ceiling.attribute(QStringLiteral("model"))));

    const QVector<QDomElement> turns = childElements(walls, QStringLiteral("wall"));
    QCOMPARE(turns.size(), 3);
    for (const QDomElement& wall : turns)
        QCOMPARE(wall.attribute(QStringLiteral("turn")), QStringLiteral("90"));

    const QVector<QDomElement> sections = childElements(walls, QStringLiteral("section"));
    QVERIFY(sections.size() >= 12 && sections.size() <= 16);
    int stackedTwice = 0, reordered = 0;
    QSet<QString> margins;
    for (const QDomElement& section : sections) {
        const float height = section.attribute(QStringLiteral("height")).toFloat();
        QVERIFY2(height >= 2.0f && height <= 3.0f, qPrintable(section.attribute(QStringLiteral("name"))));
        QStringList names{section.attribute(QStringLiteral("name"))};
        for (const QDomElement& extra : childElements(section, QStringLiteral("extra")))
            names << extra.attribute(QStringLiteral("name"));
        QStringList sorted = names;
        sorted.sort();
        reordered += sorted != names ? 1 : 0;
        stackedTwice += names.size() >= 3 ? 1 : 0;
        for (const QDomElement& mesh : childElements(section, QStringLiteral("mesh"))) {
            QVERIFY(QFile::exists(QStringLiteral("data/") + mesh.attribute(QStringLiteral("model"))));
            for (const QString& margin : {QStringLiteral("marginleft"), QStringLiteral("marginright")}) {
                if (mesh.hasAttribute(margin))
                    margins << margin;
            }
        }
    }
    QCOMPARE(stackedTwice, 1);
    QVERIFY(reordered >= 2);
    QCOMPARE(margins.size(), 2);
}

void TestDemoRoom::detailMap_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < maps.size(); ++i)
        QTest::newRow(qPrintable(maps[i].name)) << i;
}

void TestDemoRoom::detailMap()
{
    QFETCH(int, index);
    const MapEntry& entry = maps[index];
    const QImage map = QImage(QStringLiteral("data/") + entry.name).convertToFormat(QImage::Format_RGB32);
    const QString pictureName = entry.name.chopped(4) + QStringLiteral(".jpg");
    const QImage picture(QStringLiteral("data/") + pictureName);
    QVERIFY(!map.isNull());
    QCOMPARE(map.size(), picture.size());
    QCOMPARE(picture.dotsPerMeterX(), picture.dotsPerMeterY());

    const QSet<QRgb> listed(entry.colours.begin(), entry.colours.end());
    QCOMPARE(listed.size(), entry.colours.size());
    QSet<QRgb> sampled;
    for (int y = 0; y < map.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(map.constScanLine(y));
        for (int x = 0; x < map.width(); ++x) {
            if (line[x] == qRgb(0, 0, 0))
                continue;
            QVERIFY2(listed.contains(line[x]), qPrintable(QStringLiteral("unlisted colour at %1, %2").arg(x).arg(y)));
            // The scene samples even columns and even rows counted from the bottom.
            if (x % 2 == 0 && (map.height() - 1 - y) % 2 == 0)
                sampled << line[x];
        }
    }
    QCOMPARE(sampled, listed);
}

void TestDemoRoom::panelWithoutMap()
{
    QStringList withoutMap;
    for (const QString& name : QDir(QStringLiteral("data")).entryList({QStringLiteral("*.jpg")})) {
        if (!QFile::exists(QStringLiteral("data/") + name.chopped(4) + QStringLiteral(".png")))
            withoutMap << name;
    }
    QCOMPARE(withoutMap.size(), 1);
    const QImage blank(QStringLiteral("data/blank.png"));
    QVERIFY(!blank.isNull());
    for (int y = 0; y < blank.height(); ++y) {
        for (int x = 0; x < blank.width(); ++x)
            QCOMPARE(blank.pixel(x, y) & 0xffffff, 0u);
    }
}

void TestDemoRoom::databaseFile()
{
    const QByteArray bytes = fileBytes(QStringLiteral("data/determinazioni.csv"));
    QVERIFY(bytes.endsWith('\n'));
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    QCOMPARE(state.invalidChars, 0);
    QCOMPARE(bytes.split('\n').size() - 1, 4 + records.size());
    for (const QStringList& record : records)
        QVERIFY2(record.size() >= 10, qPrintable(record.join(QLatin1Char(';'))));

    AnimalData database;
    database.readAll(QStringLiteral("data/determinazioni.csv"));
    QCOMPARE(database.records.size(), records.size());
}

void TestDemoRoom::detailsJoinRecords()
{
    QSet<int> detailIds, recordIds;
    for (const MapEntry& entry : maps) {
        for (int id : entry.ids)
            detailIds << id;
    }
    for (const QStringList& record : records)
        recordIds << (record[2].at(0).toLatin1() - 'A') * 100 + record[1].toInt() - 1;
    QVERIFY(detailIds.size() >= 40 && detailIds.size() <= 60);
    QCOMPARE(recordIds.size(), records.size());
    QCOMPARE((detailIds - recordIds).size(), 1);
    QCOMPARE((recordIds - detailIds).size(), 2);
    QSet<QString> letters;
    for (const QStringList& record : records)
        letters << record[2];
    QCOMPARE(letters.size(), maps.size());
}

void TestDemoRoom::recordFeature_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("whole");
    for (const char* category : {"Uccelli", "Mammiferi", "Pesci", "Rettili", "Anfibi", "Insetti"})
        QTest::addRow("category %s", category) << 3 << QString::fromLatin1(category) << true;
    for (const char* quality : {"Scarsa", "Media", "Buona", "1", "2", "3", ""})
        QTest::addRow("quality '%s'", quality) << 6 << QString::fromLatin1(quality) << true;
    QTest::newRow("name with an alternative") << 4 << QStringLiteral("/") << false;
    QTest::newRow("second name with an alternative") << 5 << QStringLiteral("/") << false;
    for (const char* qualifier : {" ind.", " non determinato", " non determinabile a livello specifico"})
        QTest::addRow("qualifier%s", qualifier) << 4 << QString::fromLatin1(qualifier) << false;
    for (const char* accent : {"à", "è", "é", "ù"})
        QTest::addRow("notes with %s", accent) << 9 << QString::fromUtf8(accent) << false;
}

void TestDemoRoom::recordFeature()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, whole);
    const bool found = std::any_of(records.begin(), records.end(), [&](const QStringList& record) {
        return whole ? record[column] == text : record[column].contains(text);
    });
    QVERIFY(found);
}

void TestDemoRoom::exemplarsAndSpecies()
{
    QHash<QString, int> exemplars;
    int otherQuality = 0, scientific = 0, common = 0;
    const QStringList qualities = {"Scarsa", "Media", "Buona", "1", "2", "3", ""};
    for (const QStringList& record : records) {
        ++exemplars[record[4]];
        otherQuality += qualities.contains(record[6]) ? 0 : 1;
        if (!record[5].isEmpty())
            (record[5].at(0).isLower() ? scientific : common) += 1;
    }
    const QList<int> counts = exemplars.values();
    QVERIFY(exemplars.size() >= 22 && exemplars.size() <= 28);
    QCOMPARE(*std::min_element(counts.begin(), counts.end()), 1);
    QVERIFY(*std::max_element(counts.begin(), counts.end()) >= 13);
    QVERIFY(otherQuality >= 1);
    QVERIFY(scientific > common && common >= 2);
}

void TestDemoRoom::sceneReadsAndCloses()
{
    capturedProblems.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureProblems);
    Scene scene;
    const bool read = scene.readXML(QStringLiteral("Stanza.xml"));
    qInstallMessageHandler(previous);
    QVERIFY(read);
    QVERIFY2(capturedProblems.isEmpty(), qPrintable(capturedProblems.join(QLatin1Char('\n'))));

    QCOMPARE(scene.wallRuns().size(), 4);
    // The closing step moves the first section by however far the walk
    // missed its start, and stretches the first and last runs to match.
    QVERIFY(qAbs(scene.sections.first().origin.x) < 1e-3f);
    const QVector<QDomElement> elements = childElements(room.firstChildElement(QStringLiteral("walls")), QStringLiteral("section"));
    QCOMPARE(scene.sections.size(), elements.size());
    for (int i = 0; i < elements.size(); ++i) {
        const Section& section = scene.sections[i];
        const Picture panel = section.pictures.value(elements[i].attribute(QStringLiteral("name")));
        QVERIFY(!panel.image.isNull() && !panel.mapImage.isNull());
        const float expected = elements[i].attribute(QStringLiteral("height")).toFloat() * panel.image.width() / panel.image.height();
        QVERIFY(qAbs(section.width - expected) < 1e-3f);
    }
    QVector<int> ids;
    for (const MapEntry& entry : maps)
        ids += entry.ids;
    QCOMPARE(scene.details.size(), ids.size());
    for (int i = 0; i < ids.size(); ++i) {
        const Detail& detail = scene.details[i];
        QCOMPARE(detail.id, ids[i]);
        QVERIFY(detail.panel >= 0);
        QVERIFY(detail.box.max.y - detail.box.min.y > 0.05f);
        QCOMPARE(scene.detailIdAtColor(detail.color.x, detail.color.y, detail.color.z), detail.id);
    }
}

void TestDemoRoom::folderSize()
{
    qint64 total = 0;
    for (const QFileInfo& file : QDir(QStringLiteral("data")).entryInfoList(QDir::Files))
        total += file.size();
    QVERIFY2(total < 25 * 1024 * 1024, qPrintable(QString::number(total)));
}

void TestDemoRoom::regenerationIsIdentical()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const roomgen::RoomPlan plan = roomgen::demoRoomPlan();
    QString error;
    QVERIFY2(roomgen::writeRoom(plan, folder.path(), &error), qPrintable(error));
    const QStringList committed = QDir(QStringLiteral("data")).entryList(QDir::Files, QDir::Name);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), committed);
    QCOMPARE(roomgen::roomFiles(plan), committed);
    QStringList differing;
    for (const QString& name : committed) {
        if (fileBytes(folder.filePath(name)) != fileBytes(QStringLiteral("data/") + name))
            differing << name;
    }
    QVERIFY2(differing.isEmpty(), qPrintable(differing.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestDemoRoom)
#include "tst_demoroom.moc"
