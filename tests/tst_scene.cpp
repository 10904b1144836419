#include "scene.h"
#include "sharedimages.h"

#include "glcanvas.h"
#include "testgeometry.h"

#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList logLines;
QStringList logFunctions;

void captureMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    logLines << (type == QtWarningMsg ? "WARNING " + text : text);
    logFunctions << QString::fromLatin1(context.function);
}

QStringList warnings() { return logLines.filter(QRegularExpression("^WARNING ")); }

bool near(const point3& a, const point3& b) { return (a - b).length() < 1e-4f; }

bool nearBox(const BoundingBox& box, point3 min, point3 max) { return near(box.min, min) && near(box.max, max); }

// A map or panel image, black but for some coloured rectangles; square pixels, as
// the default resolution follows the display's and may differ across and down.
QImage panel(int width, int height, QVector<QPair<QRect, QColor>> spots = {})
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setDotsPerMeterX(1000);
    image.setDotsPerMeterY(1000);
    QPainter painter(&image);
    for (const auto& spot : spots)
        painter.fillRect(spot.first, spot.second);
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray file;
    QBuffer buffer(&file);
    return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format) ? file : QByteArray();
}

// Files go to data/ of the current folder, where the scene reads them.
bool writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file("data/" + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool readRoom(Scene& scene, const QString& walls, const QString& afterWalls = {},
              const QString& ceiling = "<ceiling model=\"ceiling.obj\"/>")
{
    const QString xml = QString("<room height=\"6\"><walls>%1%2</walls>%3</room>").arg(ceiling, walls, afterWalls);
    return writeFile("Stanza.xml", xml.toUtf8()) && scene.readXML("Stanza.xml");
}

} // namespace

class TestScene : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> folder;

private slots:
    // Every case reads its own room from data/ of a fresh working folder.
    void init()
    {
        folder.reset(new QTemporaryDir);
        QVERIFY(QDir(folder->path()).mkdir("data") && QDir::setCurrent(folder->path()));
        QVERIFY(writeFile("ceiling.obj", "v 0 0 0\nv 1 1 0\n") && panel(4, 4).save("data/blank.png"));
        logLines.clear();
        logFunctions.clear();
        qInstallMessageHandler(captureMessage);
    }

    void readsTheRoomElement_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("read");
        QTest::addColumn<float>("height");
        QTest::addColumn<QString>("warning");
        const auto room = [](const char* height) { return "<room height=\"" + QByteArray(height) + "\"/>"; };
        const QByteArray nested = QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000);
        QTest::newRow("missing file") << QByteArray() << false << 0.0f << "Cannot open the scene file";
        QTest::newRow("not well formed") << QByteArray("<room><walls></room>") << false << 0.0f << "not readable XML";
        QTest::newRow("root spelled Room") << QByteArray("<Room/>") << false << 0.0f << "<Room> as its root element";
        QTest::newRow("100000 nested elements") << "<room>" + nested + "</room>" << false << 0.0f << "nest deeper than 256 levels";
        // The DOM reader takes an undeclared entity, the stream reader does not:
        // past it, the tags alone are counted.
        QTest::newRow("100000 nested elements after an undeclared entity") << "<room>&x;" + nested + "</room>" << false
                                                                           << 0.0f << "nest deeper than 256 levels";
        QTest::newRow("comments, CDATA and empty elements after an undeclared entity")
            << "<room height=\"2\">&x;" + QByteArray("<!-- <a> --><![CDATA[<a>]]><a/><?p <a>?>").repeated(300) + "</room>"
            << true << 2.0f << "";
        // What the DOM reader takes, the nesting check takes too: a prefix without its namespace.
        QTest::newRow("namespace prefix") << QByteArray("<room height=\"2\"><x:note/></room>") << true << 2.0f << "";
        QTest::newRow("height missing") << QByteArray("<room/>") << true << 6.0f << "";
        QTest::newRow("height with decimal point") << room("4.25") << true << 4.25f << "";
        QTest::newRow("height with decimal comma") << room("4,5") << true << 0.0f << "";
        QTest::newRow("height infinite") << room("inf") << true << 0.0f << "\"inf\"> is not a finite number";
        QTest::newRow("height over float range") << room("1e39") << true << 0.0f << "\"1e39\"> is not a finite number";
    }

    void readsTheRoomElement()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, read);
        QFETCH(QString, warning);
        QVERIFY(content.isNull() || writeFile("Stanza.xml", content));
        Scene scene;
        QCOMPARE(scene.readXML("Stanza.xml"), read);
        QTEST(scene.roomHeight, "height");
        QCOMPARE(warnings().size(), int(!warning.isEmpty()));
        QVERIFY2(warning.isEmpty() || warnings().first().contains(warning), qPrintable(warnings().join('|')));
        // A refused file is named, so that a curator knows what to mend.
        QVERIFY(read || warnings().first().contains("data/Stanza.xml"));
        QCOMPARE(scene.dataPath, QDir::currentPath() + "/data/");
    }

    void readsASmallRoom()
    {
        QVERIFY(panel(3000, 1500).save("data/p.png"));
        Scene scene;
        QList<float> values;
        connect(&scene, &Scene::loadingProgressSignal, [&values](float value) { values << value; });
        // Four child nodes of walls (a comment among them), three maps on no section: N = 3.
        QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"2\"/><!-- x --><wall turn=\"90\"/>",
                         "<detailMap name=\"a.png\"><detail unused=\"first\"/><database name=\"B\"/><detail/><detail/>"
                         "<detail/></detailMap><detailMap><detail/></detailMap><detailMap/>"));
        QCOMPARE(values, (QList<float>{0, 0.0625f, 0.125f, 0.1875f, 0.25f, 0.25f + 0.25f / 3, 0.25f + 0.5f / 3}));
        // The single run of sections cannot be closed.
        QCOMPARE(logLines, (QStringList{"Reading SCENE!", "el: 'walls'", "PROGRESS 0%", "PROGRESS 6%",
                                        "Adding section 0 with 1 pictures", "PROGRESS 12%", "PROGRESS 18%",
                                        "WARNING The walls lay out 1 straight run(s) of sections; the room needs two "
                                        "to close, so it is left open", "el: 'detailMap'", "PROGRESS 25%",
                                        "el: 'detailMap'", "PROGRESS 33%", "el: 'detailMap'", "PROGRESS 41%",
                                        "Done loading"}));
        const auto writer = [](const QString& line) { return logFunctions.at(logLines.indexOf(line)); };
        QCOMPARE(writer("el: 'walls'") + writer("Done loading"), QString("bool Scene::readXML(QString)").repeated(2));
        QCOMPARE(writer("Adding section 0 with 1 pictures"), QString("void Scene::readSection(QDomElement)"));
        QCOMPARE(writer("PROGRESS 25%"), QString("void Scene::showLoadingProgress(float)"));

        const Section& section = scene.sections.at(0);
        QCOMPARE(section.pictures.value("p.png").position, point3(0, 4, 0));
        QCOMPARE(section.pictures.value("p.png").size, point3(4, 2, 0));
        QCOMPARE(section.axisZ, point3(0, 0, 1));
        // The pen moves on by the width and turns; the room's bounds take in the corner.
        QVERIFY(scene.layoutPosition == point3(4, 0, 0) && near(scene.layoutDirection, point3(0, 0, 1)));
        QCOMPARE(scene.bounds.max, point3(4, 0, 0));
        // The ceiling is stretched to the section and hangs at the room's height.
        QCOMPARE(section.models.value(0).size, point3(4, 1.5f, 0));
        QCOMPARE(section.models.value(0).position, point3(0, 6, 0));

        QVector<int> ids;
        for (const Detail& detail : scene.details)
            ids << detail.id;
        QCOMPARE(ids, (QVector<int>{0, 100, 101, 102, 103}));
        QVERIFY(scene.indexOfDetail(102) == 3 && scene.indexOfDetail(104) == -1);
        const Detail unplaced = scene.detailAt(0);
        QVERIFY(unplaced.label == "first" && unplaced.name == "a.png" && unplaced.panel == -1 && unplaced.box.empty);
        QVERIFY(unplaced.direction == point3() && unplaced.normal() == point3() && unplaced.maxCorner == point3());
        QVERIFY(scene.detailAt(5).id == 0 && warnings().last().contains("No detail at index 5"));
    }

    void placesMeshesAndExtras_data()
    {
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<point3>("position");
        QTest::addColumn<point3>("size");
        const QString mesh = "<mesh model=\"bench.obj\" width=\"1\" %1/>";
        QTest::newRow("mesh without size fills the wall below the picture")
            << "<mesh model=\"bench.obj\"/>" << "" << point3(0, 0, 0) << point3(4, 4, 0);
        QTest::newRow("mesh right margin wins") << mesh.arg("height=\"2\" marginleft=\"1\" marginright=\"0.5\"") << ""
                                                << point3(2.5f, 0, 0) << point3(1, 2, 0);
        QTest::newRow("mesh left margin") << mesh.arg("marginleft=\"1\"") << "" << point3(1, 0, 0) << point3(1, 4, 0);
        QTest::newRow("mesh empty margin absent") << mesh.arg("marginleft=\"\"") << "" << point3() << point3(1, 4, 0);
        const QString extras = "<extra name=\"e1.png\" height=\"1\" marginleft=\"0.5\"/><!-- c -->"
                               "<extra name=\"e2.png\" height=\"0.5\" marginright=\"1\"/>";
        QTest::newRow("first extra under the picture") << extras << "e1.png" << point3(0.5f, 3, 0) << point3(1, 1, 0);
        QTest::newRow("second extra under the first") << extras << "e2.png" << point3(2, 2.5f, 0) << point3(1, 0.5f, 0);
    }

    void placesMeshesAndExtras()
    {
        QFETCH(QString, items);
        QFETCH(QString, extra);
        QVERIFY(panel(40, 20).save("data/p.png") && panel(10, 10).save("data/e1.png")
                && panel(20, 10).save("data/e2.png") && writeFile("bench.obj", "v 0 0 0\nv 2 1 0\n"));
        Scene scene;
        const QString section = "<section name=\"p.png\" height=\"2\">%1</section>";
        QVERIFY(readRoom(scene, section.arg(items) + section.arg("<mesh model=\"bench.obj\" width=\"3\"/>")));
        const Model mesh = scene.sections.at(0).models.value(1);
        const Picture picture = scene.sections.at(0).pictures.value(extra);
        QTEST(extra.isEmpty() ? mesh.position : picture.position, "position");
        QTEST(extra.isEmpty() ? mesh.size : picture.size, "size");
        // The model file is read once; each section keeps the placement it was given.
        QVERIFY(scene.models.size() == 2 && scene.findModel("bench.obj") == 1 && scene.findModel("data/bench.obj") < 0);
        QCOMPARE(scene.models[1].size, point3(3, 4, 0));
    }

    void oddElementsAndImages()
    {
        QVERIFY(writeFile("empty.jpg", QByteArray()) && writeFile("garbage.png", "not an image at all"));
        Scene scene;
        // Elements out of place are logged and skipped.
        QVERIFY(readRoom(scene, "<section name=\"empty.jpg\" height=\"2\"/><ceiling model=\"ceiling.obj\"/>"
                                "<section name=\"garbage.png\" height=\"x\"/><wall turn=\"90\"/>"
                                "<section name=\"nothere.png\" height=\"1\"/><detailMap><detail/></detailMap>",
                         "text<!-- c --><section name=\"nothere.png\" height=\"1\"/>", ""));
        QCOMPARE(logLines.filter("el: "), (QStringList{"el: 'walls'", "el: ''", "el: 'comment'", "el: 'section'"}));
        QVERIFY(scene.sections.size() == 3 && scene.details.isEmpty());
        QVERIFY(scene.sections[0].models.isEmpty() && scene.sections[1].models.size() == 1);
        QCOMPARE(warnings().filter("ceiling"),
                 QStringList{"WARNING Section 0 (empty.jpg) has no ceiling: no <ceiling> came before it"});
        // Images that do not decode give sections of no width.
        for (const Section& section : scene.sections)
            QCOMPARE(section.width, 0.0f);
        // Their pictures still get textures, one section at a time.
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        logLines.clear();
        scene.uploadTexturesInRam();
        QCOMPARE(logLines, (QStringList{"0/3", "PROGRESS 66%", "1/3", "PROGRESS 83%", "2/3", "PROGRESS 100%",
                                        "PROGRESS 200%"}));
    }

    void fileNamesStayInTheRoom_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("refusal"); // empty: read
        QTest::newRow("absolute path") << QDir::currentPath() + "/p.png" << "an absolute path";
        QTest::newRow("climbing out") << "../p.png" << "a path out of the room folder";
        QTest::newRow("a folder") << "sub" << "something other than a regular file";
        QTest::newRow("a device") << "zero" << "something other than a regular file";
        QTest::newRow("down and up again") << "sub/../p.png" << "";
    }

    // The scene file names files of its own folder only; a refused picture is
    // an empty one, named with its line.
    void fileNamesStayInTheRoom()
    {
        QFETCH(QString, name);
        QFETCH(QString, refusal);
        QVERIFY(panel(4, 2).save("p.png") && panel(4, 2).save("data/p.png") && QDir("data").mkdir("sub"));
        QVERIFY(QFile::link("/dev/zero", "data/zero"));
        Scene scene;
        QVERIFY(readRoom(scene, "\n<section name=\"" + name + "\" height=\"2\"/>"));
        const QStringList refusals = warnings().filter("Scene file line");
        QCOMPARE(refusals, refusal.isEmpty() ? QStringList() : QStringList{
            "WARNING Scene file line 2: <section name=\"" + name + "\"> names " + refusal + "; the file is not read"});
        QCOMPARE(scene.sections[0].pictures[name].image.isNull(), !refusal.isEmpty());
        QCOMPARE(scene.sections[0].width, refusal.isEmpty() ? 4.0f : 0.0f);
    }

    // Finite numbers near the float's limit that overflow in the layout read as 0.
    void overflowingLayout()
    {
        QVERIFY(panel(4, 2).save("data/p.png"));
        QVERIFY(writeFile("Stanza.xml", "<room height=\"3e38\"><walls><ceiling model=\"ceiling.obj\"/>"
                                        "<section name=\"p.png\" height=\"-3e38\"/>\n"
                                        "<section name=\"p.png\" height=\"3e38\"/></walls></room>"));
        Scene scene;
        QVERIFY(scene.readXML("Stanza.xml"));
        // 3e38 down from 3e38 is below the float's range; so is a width twice 3e38.
        QCOMPARE(scene.sections[0].pictures["p.png"].position, point3(0, 0, 0));
        QCOMPARE(scene.sections[1].pictures["p.png"].size, point3(0, 3e38f, 0));
        QCOMPARE(warnings().filter("is not a finite number; reading 0"), (QStringList{
            "WARNING Scene file line 1: <section> gives a position that is not a finite number; reading 0",
            "WARNING Scene file line 2: <section> gives a size that is not a finite number; reading 0"}));
    }

    void repeatedImagesSharedThenReleased()
    {
        QVERIFY(panel(40, 20).save("data/p.jpg"));
        Scene scene;
        QVERIFY(readRoom(scene, "<section name=\"p.jpg\" height=\"2\"/><section name=\"p.jpg\" height=\"2\"/>"));
        QVector<const Picture*> pictures;
        for (const Section& section : scene.sections)
            for (const Picture& picture : section.pictures)
                pictures << &picture;
        QCOMPARE(pictures.size(), 2);
        // One decode of the panel and one of the blank map serve both sections.
        for (const Picture* picture : pictures) {
            QCOMPARE(picture->image.constBits(), pictures[0]->image.constBits());
            QCOMPARE(picture->mapImage.constBits(), pictures[0]->mapImage.constBits());
            QCOMPARE(picture->image.size(), QSize(40, 20));
        }
        // Outside a scene being read nothing is shared: a picture may be changed alone.
        const Picture alone("data/p.jpg", point3(), point3(-1, 1, 0));
        QVERIFY(alone.image == pictures[0]->image && alone.image.constBits() != pictures[0]->image.constBits());

        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        scene.uploadTexturesInRam();
        for (const Picture* picture : pictures) {
            QVERIFY(picture->image.isNull() && picture->mapImage.isNull());
            QVERIFY(picture->texture != Picture::noTexture && picture->mapTexture != Picture::noTexture);
        }
    }

    // Once read as often as named, a file's pixels belong to its pictures alone.
    void sharedImageLetGoAfterItsLastRead()
    {
        QVERIFY(panel(8, 8).save("data/p.png"));
        const SharedImages::Decode decode = [](const QString& path) { return QImage(path); };
        SharedImages shared;
        shared.prefetch({"data/p.png", "data/p.png"}, decode);
        QImage first = SharedImages::read("data/p.png", decode);
        const QImage second = SharedImages::read("data/p.png", decode);
        QCOMPARE(second.constBits(), first.constBits());
        first = QImage();
        QVERIFY(second.isDetached());
    }

    // As the view does: each section's textures are made as soon as it is read.
    // A panel beyond the card's limit waits for the usual pass, where its
    // warnings come after the progress lines of its section, as they always did.
    void texturesMadeAsSectionsAreRead()
    {
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        GLint limit = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
        QVERIFY(panel(40, 20).save("data/p.jpg") && panel(limit + 2, 1).save("data/wide.png"));
        Scene scene;
        connect(&scene, &Scene::sectionRead, [&scene](int index) { scene.uploadSectionTextures(scene.sections[index]); });
        QVERIFY(readRoom(scene, "<section name=\"p.jpg\" height=\"2\"/><section name=\"wide.png\" height=\"2\"/>"));
        const Picture& made = scene.sections[0].pictures["p.jpg"];
        const Picture& waiting = scene.sections[1].pictures["wide.png"];
        QVERIFY(made.texture != Picture::noTexture && made.mapTexture != Picture::noTexture);
        QVERIFY(made.image.isNull() && !made.mapImage.isNull());
        QVERIFY(waiting.texture == Picture::noTexture && !waiting.image.isNull());
        QVERIFY(warnings().filter("texture limit").isEmpty());
        scene.uploadTexturesInRam();
        QVERIFY(waiting.texture != Picture::noTexture && waiting.image.isNull() && made.mapImage.isNull());
        const QStringList limits = warnings().filter("texture limit");
        QCOMPARE(limits.size(), 2);
        QCOMPARE(logLines.mid(logLines.indexOf("1/2"), 3), (QStringList{"1/2", "PROGRESS 100%", limits.first()}));
    }

    void decoderComplaintsInPlace_data()
    {
        QImage detailed(64, 64, QImage::Format_RGB32);
        for (int i = 0; i < 64 * 64; ++i)
            detailed.setPixel(i % 64, i / 64, qRgb(i % 64 * 4, i / 64 * 4, i % 7 * 36));
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("complaints"); // %1: the file's path
        const QByteArray jpeg = encoded(detailed, "JPEG"), png = encoded(detailed, "PNG");
        QTest::newRow("JPEG cut short") << "cut.jpg" << jpeg.left(jpeg.size() * 4 / 5)
                                        << QStringList{"Image %1 is damaged; its decoder says:",
                                                       "Corrupt JPEG data: premature end of data segment"};
        QByteArray badPixels = png;
        badPixels[badPixels.indexOf("IDAT") + 8] = char(badPixels[badPixels.indexOf("IDAT") + 8] ^ 0x55);
        // A PNG panel is its own map: read twice when it cannot be read, and
        // libpng's words come from the error stream, which only the main thread catches.
        const QStringList unread{"Cannot read image: %1", "libpng error: IDAT: invalid code lengths set"};
        QTest::newRow("PNG with damaged pixels") << "cut.png" << badPixels << unread + unread;
    }

    // Panels decode on worker threads, yet a damaged one is reported where and as often as it is shown.
    void decoderComplaintsInPlace()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, complaints);
        QVERIFY(writeFile(name, file) && panel(40, 20).save("data/p.jpg"));
        Scene scene;
        const QString section = "<section name=\"" + name + "\" height=\"1\"/>";
        QVERIFY(readRoom(scene, section + "<section name=\"p.jpg\" height=\"1\"/>" + section));
        QStringList damaged;
        for (const QString& complaint : complaints)
            damaged << "WARNING " + QString(complaint).replace("%1", QDir::currentPath() + "/data/" + name);
        const QStringList expected = QStringList{"Reading SCENE!", "el: 'walls'", "PROGRESS 0%", "PROGRESS 6%"} + damaged
                                     + QStringList{"Adding section 0 with 1 pictures", "PROGRESS 12%",
                                                   "Adding section 1 with 1 pictures", "PROGRESS 18%"}
                                     + damaged
                                     + QStringList{"Adding section 2 with 1 pictures",
                                                   "WARNING The walls lay out 1 straight run(s) of sections; the room "
                                                   "needs two to close, so it is left open", "Done loading"};
        QCOMPARE(logLines, expected);
        QCOMPARE(scene.sections[1].pictures.first().image.size(), QSize(40, 20));
    }

    void closingStretchesFirstAndLastRun()
    {
        // Two sections along +x, then three down -z ending at E = (0.3, 0, -0.2).
        Scene scene;
        const QVector<point3> origins{{0, 0, 0}, {2, 0, 0}, {0.3f, 0, 2.8f}, {0.3f, 0, 1.8f}, {0.3f, 0, 0.8f}};
        for (int i = 0; i < origins.size(); ++i) {
            scene.sections.append(Section(origins[i], i < 2 ? point3(1, 0, 0) : point3(0, 0, -1)));
            Section& section = scene.sections.last();
            section.width = section.pictures["p"].size.x = i < 2 ? 2.0f : 1.0f;
            section.addModel(Model());
            section.models[0].size.x = section.width;
        }
        scene.closeRoom();
        const float g = -0.2f / 3;
        const QVector<float> widths{1.85f, 1.85f, 1 + g, 1 + g, 1 + g};
        const QVector<point3> moved{{0.3f, 0, 0}, {2.15f, 0, 0}, {0.3f, 0, 2.8f}, {0.3f, 0, 1.8f - g},
                                    {0.3f, 0, 0.8f - 2 * g}};
        for (int i = 0; i < origins.size(); ++i) {
            const Section& s = scene.sections[i];
            QVERIFY2(qAbs(s.width - widths[i]) < 1e-5f && near(s.origin, moved[i]), qPrintable(QString::number(i)));
            QVERIFY(s.pictures["p"].size.x == s.width && s.models[0].size.x == s.width);
        }
        // A last run of one section still counts; the start point is the middle of the walk at eye height.
        scene.sections.append(Section(point3(), point3(-1, 0, 0)));
        QCOMPARE(scene.wallRuns(), (QVector<int>{2, 5, 6}));
        scene.bounds.add(0, 0, 0);
        scene.bounds.add(8, 0, 6);
        QCOMPARE(scene.startPoint(), point3(4, 1.7f, 3));
    }

    void detailsFoundOnTheirMaps_data()
    {
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<point3>("rgb");
        QTest::addColumn<point3>("min");
        QTest::addColumn<point3>("max");
        QTest::addColumn<int>("warningCount");
        const point3 centre(2, 5, 0);
        QTest::newRow("comma and blank") << "rgb=\"12, 200, 7\"" << point3(12, 200, 7) << point3(1.2f, 4.8f, 0)
                                         << point3(1.36f, 5.12f, 0) << 0;
        QTest::newRow("bare commas") << "rgb=\"12,200,7\"" << point3(0, 0, 0) << centre << centre << 1;
        QTest::newRow("missing is black") << "" << point3(0, 0, 0) << centre << centre << 0;
        QTest::newRow("not numbers") << "rgb=\"red, green, 7\"" << point3(0, 0, 7) << centre << centre << 1;
        QTest::newRow("300 does not wrap to 44") << "rgb=\"300, 0, 0\"" << point3(300, 0, 0) << centre << centre << 1;
    }

    // A 2 x 2 m panel with a 100 x 50 map after a 1 m panel that falls back on blank.png.
    void detailsFoundOnTheirMaps()
    {
        QFETCH(QString, attribute);
        QFETCH(point3, rgb);
        QVERIFY(panel(100, 100).save("data/p.jpg") && panel(100, 100).save("data/q.jpg"));
        QVERIFY(panel(100, 50, {{QRect(10, 20, 10, 10), qRgb(12, 200, 7)}, {QRect(30, 2, 4, 4), qRgb(44, 0, 0)}})
                    .save("data/p.png"));
        QVERIFY(panel(4, 4, {{QRect(0, 2, 2, 2), QColor(1, 2, 3)}}).save("data/blank.png"));
        Scene scene;
        QVERIFY(readRoom(scene, "<section name=\"q.jpg\" height=\"1\"/><section name=\"p.jpg\" height=\"2\"/>",
                         QString("<detailMap name=\"p.png\"><detail %1/></detailMap><detailMap name=\"blank.png\">"
                                 "<detail rgb=\"1, 2, 3\"/></detailMap>").arg(attribute)));
        const Detail onOwnMap = scene.detailAt(0);
        QCOMPARE(onOwnMap.color, rgb);
        QVERIFY(scene.detailIdAtColor(rgb.x, rgb.y, rgb.z) == 0 && scene.detailIdAtColor(rgb.x, rgb.y, rgb.z + 1) < 0);
        QFETCH(point3, min);
        QFETCH(point3, max);
        QVERIFY(nearBox(onOwnMap.box, min, max) && onOwnMap.maxCorner == onOwnMap.box.max);
        // Across the 2 m panel the map runs from -1 to 1: its region is the box less the panel's centre.
        const point3 centre(2, 5, 0);
        QVERIFY(nearBox(scene.mapRegion(scene.sections[1].pictures.first(), onOwnMap), min - centre, max - centre));
        QVERIFY(onOwnMap.panel == 1 && onOwnMap.direction == point3(1, 0, 0) && onOwnMap.normal() == point3(0, 0, -1));
        QTEST(int(warnings().filter("rgb=").size()), "warningCount");
        const Detail onBlank = scene.detailAt(1);
        QVERIFY(onBlank.panel == 0 && nearBox(onBlank.box, point3(0, 5, 0), point3(0, 5, 0)));
    }
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
