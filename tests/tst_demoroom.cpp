// The demo room in data/: its scene file, detail maps and database agree with
// each other, the scene reader takes it without a complaint, and the generator
// in tools/ reproduces it: the same texts, and images of the same sizes whose
// maps show the same colours where the program looks. Image bytes are not
// compared: fonts, FreeType, libjpeg and zlib change them between releases.
#include "animal.h"
#include "detailmap.h"
#include "picture.h"
#include "roomgen.h"
#include "scene.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QStringList problems;

// Warnings, and the debug line with which a picture owns up to an image it cannot read.
void captureProblems(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg || message.startsWith(QLatin1String("Cannot read image")))
        problems << message;
}

bool isImage(const QString& name)
{
    return name.endsWith(QLatin1String(".jpg")) || name.endsWith(QLatin1String(".png"));
}

// Whether the scene finds every colour in both maps, in places that differ by
// less than 1 % of the map: another font release may move a silhouette's edge.
bool sameSampledRegions(const QImage& made, const QImage& kept, const QVector<QRgb>& colours)
{
    const DetailMap madeRegions(toGLLayout(made));
    const DetailMap keptRegions(toGLLayout(kept));
    for (QRgb colour : colours) {
        const point3 mapColour(qRed(colour), qGreen(colour), qBlue(colour));
        const BoundingBox a = madeRegions.region(mapColour);
        const BoundingBox b = keptRegions.region(mapColour);
        if (a.empty || b.empty || (a.min - b.min).length() > 0.02f || (a.max - b.max).length() > 0.02f)
            return false;
    }
    return true;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDemoRoom : public QObject
{
    Q_OBJECT

    Scene scene;
    bool sceneRead = false;
    QMap<QString, QVector<QRgb>> mapColours; // the colours the scene lists for each detail map
    AnimalData database;
    QVector<QStringList> records; // data lines of the database as written, split at ";"

private slots:
    void initTestCase()
    {
        const QtMessageHandler previous = qInstallMessageHandler(captureProblems);
        sceneRead = scene.readXML(QStringLiteral("Stanza.xml"));
        database.readAll(QStringLiteral("data/determinazioni.csv"));
        qInstallMessageHandler(previous);
        for (const Detail& detail : scene.details)
            mapColours[detail.name] << qRgb(int(detail.color.x), int(detail.color.y), int(detail.color.z));
        const QString csv = QString::fromUtf8(fileBytes(QStringLiteral("data/determinazioni.csv")));
        for (const QString& line : csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(4))
            records << line.split(QLatin1Char(';'));
    }

    void roomReadsCleanlyAndCloses()
    {
        QVERIFY(sceneRead);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        QCOMPARE(scene.wallRuns().size(), 4);
        // The closing step moves the first section by however far the walk missed its start.
        QVERIFY(qAbs(scene.sections.first().origin.x) < 1e-3f);
        // Extras hang under their panel in file order; some sections list names out of their sort order.
        // One panel has no map of its own and takes the folder's blank one.
        int stackedTwice = 0, reordered = 0, blankMaps = 0;
        const auto above = [](const Picture& a, const Picture& b) { return a.position.y > b.position.y; };
        for (const Section& section : scene.sections) {
            const QList<Picture> byName = section.pictures.values();
            stackedTwice += byName.size() >= 3 ? 1 : 0;
            reordered += std::is_sorted(byName.begin(), byName.end(), above) ? 0 : 1;
            for (const Picture& picture : byName)
                blankMaps += picture.mapPath.endsWith(QLatin1String("/blank.png")) ? 1 : 0;
        }
        QVERIFY(scene.sections.size() >= 12 && scene.sections.size() <= 16);
        QVERIFY(stackedTwice == 1 && reordered >= 2 && blankMaps == 1);
        const QImage blank = QImage(QStringLiteral("data/blank.png")).convertToFormat(QImage::Format_RGB32);
        QImage black(blank.size(), QImage::Format_RGB32);
        black.fill(Qt::black);
        QVERIFY(!blank.isNull() && blank == black);
        // Every detail lies on a panel, and pointing at its colour finds it and no other.
        for (const Detail& detail : scene.details) {
            QVERIFY2(detail.panel >= 0 && detail.box.max.y - detail.box.min.y > 0.05f, qPrintable(detail.name));
            QCOMPARE(scene.detailIdAtColor(detail.color.x, detail.color.y, detail.color.z), detail.id);
        }
    }

    void detailMap_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : mapColours.keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void detailMap()
    {
        QFETCH(QString, name);
        const QImage map = QImage("data/" + name).convertToFormat(QImage::Format_RGB32);
        const QImage picture("data/" + name.chopped(4) + ".jpg");
        QCOMPARE(map.size(), picture.size());
        QCOMPARE(picture.dotsPerMeterX(), picture.dotsPerMeterY());
        const QSet<QRgb> listed(mapColours[name].begin(), mapColours[name].end());
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

    void detailsJoinRecords()
    {
        QSet<int> detailIds, recordIds, letters;
        for (const Detail& detail : scene.details) {
            detailIds << detail.id;
            letters << detail.id / 100;
        }
        for (const Animal& animal : database.records)
            recordIds << animal.id;
        QVERIFY(detailIds.size() >= 40 && detailIds.size() <= 60);
        QCOMPARE(detailIds.size(), scene.details.size());
        QCOMPARE(recordIds.size(), database.records.size());
        QCOMPARE((detailIds - recordIds).size(), 1);
        QCOMPARE((recordIds - detailIds).size(), 2);
        QCOMPARE(letters.size(), mapColours.size()); // one database letter per map
    }

    void databaseFile()
    {
        const QByteArray bytes = fileBytes(QStringLiteral("data/determinazioni.csv"));
        QVERIFY(bytes.endsWith('\n') && !QString::fromUtf8(bytes).contains(QChar::ReplacementCharacter));
        QCOMPARE(database.records.size(), records.size());
        QVERIFY(std::all_of(records.begin(), records.end(), [](const QStringList& record) { return record.size() >= 10; }));
        QHash<QString, int> exemplars;
        int scientific = 0, common = 0;
        for (const Animal& animal : database.records) {
            ++exemplars[animal.name];
            if (!animal.otherName.isEmpty())
                (animal.otherName.startsWith(QLatin1Char('(')) ? scientific : common) += 1;
        }
        const QList<int> counts = exemplars.values();
        const auto fewestMost = std::minmax_element(counts.begin(), counts.end());
        QVERIFY(exemplars.size() >= 22 && exemplars.size() <= 28 && *fewestMost.first == 1 && *fewestMost.second >= 13);
        QVERIFY(scientific > common && common >= 2);
        QCOMPARE(database.categories(), (QStringList{"Anfibi", "Insetti", "Mammiferi", "Pesci", "Rettili", "Uccelli"}));
    }

    void recordFeature_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("pattern");
        for (const char* quality : {"Scarsa", "Media", "Buona", "1", "2", "3", ""})
            QTest::addRow("quality '%s'", quality) << 6 << QStringLiteral("^%1$").arg(quality);
        QTest::newRow("quality of another word") << 6 << "^(?!(Scarsa|Media|Buona|1|2|3)$).";
        QTest::newRow("name with an alternative") << 4 << "/";
        QTest::newRow("second name with an alternative") << 5 << "/";
        for (const char* qualifier : {" ind.", " non determinato", " non determinabile a livello specifico"})
            QTest::addRow("qualifier%s", qualifier) << 4 << QRegularExpression::escape(qualifier);
        for (const char* accent : {"à", "è", "é", "ù"})
            QTest::addRow("notes with %s", accent) << 9 << QString::fromUtf8(accent);
    }

    void recordFeature()
    {
        QFETCH(int, column);
        QFETCH(QString, pattern);
        const QRegularExpression expression(pattern);
        QVERIFY(std::any_of(records.begin(), records.end(),
                            [&](const QStringList& record) { return record.value(column).contains(expression); }));
    }

    void folderSizeAndRegeneration()
    {
        const QStringList committed = QDir(QStringLiteral("data")).entryList(QDir::Files, QDir::Name);
        qint64 total = 0;
        for (const QString& name : committed)
            total += QFileInfo("data/" + name).size();
        QVERIFY2(total < 25 * 1024 * 1024, qPrintable(QString::number(total)));
        QTemporaryDir folder;
        const roomgen::RoomPlan plan = roomgen::demoRoomPlan();
        QString error;
        QVERIFY2(roomgen::writeRoom(plan, folder.path(), &error), qPrintable(error));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), committed);
        QCOMPARE(roomgen::roomFiles(plan), committed);
        for (const QString& name : committed) {
            if (!isImage(name)) {
                QVERIFY2(fileBytes(folder.filePath(name)) == fileBytes("data/" + name), qPrintable(name));
                continue;
            }
            const QImage made(folder.filePath(name));
            const QImage kept("data/" + name);
            QVERIFY2(made.size() == kept.size() && made.dotsPerMeterX() == kept.dotsPerMeterX()
                         && made.dotsPerMeterY() == kept.dotsPerMeterY(), qPrintable(name));
            if (mapColours.contains(name))
                QVERIFY2(sameSampledRegions(made, kept, mapColours[name]), qPrintable(name));
        }
    }
};

QTEST_MAIN(TestDemoRoom)
#include "tst_demoroom.moc"
