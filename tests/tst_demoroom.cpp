// The demo room in data/: its scene file, detail maps and database agree with
// each other, the scene reader takes it without a complaint, and the generator
// in tools/ reproduces it: the same texts, and images of the same sizes whose
// maps show the same colours where the program looks. Image bytes are not
// compared: fonts, FreeType, libjpeg and zlib change them between releases.
// Map pixels, image sizes and the joins of details and records are left to the
// checker's run over data/ in tst_checker, which allows only its three warnings.
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
    QMap<QString, QVector<point3>> mapColours; // the colours the scene lists for each detail map
    AnimalData database;
    QByteArray csv;
    QVector<QStringList> records; // data lines of the database as written, split at ";"

private slots:
    void initTestCase()
    {
        // Warnings, and the debug line with which a picture owns up to an image it cannot read.
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&,
                                                                    const QString& message) {
            if (type != QtDebugMsg || message.startsWith("Cannot read image"))
                problems << message;
        });
        sceneRead = scene.readXML("Stanza.xml");
        database.readAll("data/determinazioni.csv");
        qInstallMessageHandler(previous);
        for (const Detail& detail : scene.details)
            mapColours[detail.name] << detail.color;
        csv = fileBytes("data/determinazioni.csv");
        for (const QString& line : QString::fromUtf8(csv).split('\n', Qt::SkipEmptyParts).mid(4))
            records << line.split(';');
    }

    void roomReadsCleanlyAndCloses()
    {
        QVERIFY(sceneRead);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
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
                blankMaps += picture.mapPath.endsWith("/blank.png") ? 1 : 0;
        }
        QVERIFY(scene.sections.size() >= 12 && scene.sections.size() <= 16);
        QVERIFY(stackedTwice == 1 && reordered >= 2 && blankMaps == 1);
        // Every detail lies on a panel, and pointing at its colour finds it and no other.
        QSet<int> ids, letters;
        for (const Detail& detail : scene.details) {
            const float height = detail.box.max.y - detail.box.min.y;
            QVERIFY2(detail.panel >= 0 && height > 0.05f, qPrintable(detail.name));
            QCOMPARE(scene.detailIdAtColor(detail.color.x, detail.color.y, detail.color.z), detail.id);
            ids << detail.id;
            letters << detail.id / 100;
        }
        QVERIFY(ids.size() == scene.details.size() && ids.size() >= 40 && ids.size() <= 60);
        QCOMPARE(letters.size(), mapColours.size()); // one database letter per map
    }

    void databaseFile()
    {
        QVERIFY(csv.endsWith('\n') && !QString::fromUtf8(csv).contains(QChar::ReplacementCharacter));
        const QStringList categories{"Anfibi", "Insetti", "Mammiferi", "Pesci", "Rettili", "Uccelli"};
        QCOMPARE(database.categories(), categories);
        QHash<QString, int> exemplars;
        int scientific = 0, common = 0;
        for (const Animal& animal : database.records) {
            ++exemplars[animal.name];
            if (!animal.otherName.isEmpty())
                (animal.otherName.startsWith('(') ? scientific : common) += 1;
        }
        const auto [fewest, most] = std::minmax_element(exemplars.cbegin(), exemplars.cend());
        QVERIFY(exemplars.size() >= 22 && exemplars.size() <= 28 && *fewest == 1 && *most >= 13);
        QVERIFY(scientific > common && common >= 2);
    }

    void recordFeature_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("pattern");
        for (const char* quality : {"Scarsa", "Media", "Buona", "1", "2", "3", ""})
            QTest::addRow("quality '%s'", quality) << 6 << QString("^%1$").arg(quality);
        QTest::newRow("quality of another word") << 6 << "^(?!(Scarsa|Media|Buona|1|2|3)$).";
        QTest::newRow("name with an alternative") << 4 << "/";
        QTest::newRow("second name with an alternative") << 5 << "/";
        for (const char* word : {" ind.", " non determinato", " non determinabile a livello specifico"})
            QTest::addRow("qualifier%s", word) << 4 << QRegularExpression::escape(word);
        for (const char* accent : {"à", "è", "é", "ù"})
            QTest::addRow("notes with %s", accent) << 9 << QString::fromUtf8(accent);
    }

    void recordFeature()
    {
        QFETCH(int, column);
        QFETCH(QString, pattern);
        const QRegularExpression expression(pattern);
        QVERIFY(std::any_of(records.begin(), records.end(),
                            [&](const QStringList& line) { return line.value(column).contains(expression); }));
    }

    void folderSizeAndRegeneration()
    {
        const QStringList committed = QDir("data").entryList(QDir::Files, QDir::Name);
        QTemporaryDir folder;
        const roomgen::RoomPlan plan = roomgen::demoRoomPlan();
        QString error;
        QVERIFY2(roomgen::writeRoom(plan, folder.path(), &error), qPrintable(error));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), committed);
        QCOMPARE(roomgen::roomFiles(plan), committed);
        qint64 total = 0;
        for (const QString& name : committed) {
            const QString made = folder.filePath(name), kept = "data/" + name;
            total += QFileInfo(kept).size();
            // Texts byte for byte, images by their size and resolution.
            const QImage a(made), b(kept);
            const bool sameImage = a.size() == b.size() && a.dotsPerMeterX() == b.dotsPerMeterX()
                                   && a.dotsPerMeterY() == b.dotsPerMeterY();
            QVERIFY2(a.isNull() ? fileBytes(made) == fileBytes(kept) : sameImage, qPrintable(name));
            // Another font release may move a silhouette's edge: regions may move by less than 1 % of the map.
            if (!mapColours.contains(name))
                continue;
            const DetailMap madeRegions(toGLLayout(a)), keptRegions(toGLLayout(b));
            for (const point3& colour : mapColours[name]) {
                const BoundingBox m = madeRegions.region(colour), k = keptRegions.region(colour);
                const bool near = (m.min - k.min).length() <= 0.02f && (m.max - k.max).length() <= 0.02f;
                QVERIFY2(!m.empty && !k.empty && near, qPrintable(name));
            }
        }
        QVERIFY2(total < 25 * 1024 * 1024, qPrintable(QString::number(total)));
    }
};

QTEST_MAIN(TestDemoRoom)
#include "tst_demoroom.moc"
