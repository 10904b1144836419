#include "scene.h"

#include <GL/glew.h>

#include <QGLWidget>
#include <QPainter>
#include <QSignalSpy>
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

QStringList warnings()
{
    return logLines.filter(QRegularExpression("^WARNING "));
}

bool fuzzyEqual(const point3& a, const point3& b)
{
    return qAbs(a.x - b.x) < 1e-4f && qAbs(a.y - b.y) < 1e-4f && qAbs(a.z - b.z) < 1e-4f;
}

// A map or panel image with coloured rectangles given in rows counted from the bottom.
QImage panel(int width, int height, int dotsPerMetre, QVector<QPair<QRect, QColor>> spots = {})
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    for (const auto& spot : spots) {
        const QRect& r = spot.first;
        painter.fillRect(QRect(r.x(), height - 1 - r.bottom(), r.width(), r.height()), spot.second);
    }
    return image;
}

} // namespace

Q_DECLARE_METATYPE(point3)

class TestScene : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { buildFolder = QDir::currentPath(); }
    void init();
    void cleanup();

    void refusesUnreadableFiles_data();
    void refusesUnreadableFiles();
    void roomHeight_data();
    void roomHeight();
    void logsAndProgressWhileReading();
    void ignoresMisplacedElements();
    void firstSectionHangsFromCeiling();
    void meshPlacement_data();
    void meshPlacement();
    void extrasStackDownwards();
    void meshFileLoadedOnce();
    void sectionBeforeCeilingHasNoCeiling();
    void badImagesGiveEmptySections();
    void runsAndStartPoint();
    void closingStretchesFirstAndLastRun();
    void detailIdsFollowDatabaseLetters();
    void mapRegionAndBox();
    void detailColour_data();
    void detailColour();
    void detailsOnMapsFoundThroughPicturePaths();
    void detailOnNoSection();
    void uploadReportsProgressAndNamesTextures();

private:
    void writeFile(const QString& name, const QByteArray& bytes);
    void writeImage(const QString& name, const QImage& image);
    bool readScene(Scene& scene, const QString& xml);
    bool readRoom(Scene& scene, const QString& wallsBody, const QString& afterWalls = QString());

    QString buildFolder;
    QScopedPointer<QTemporaryDir> folder;
};

// Every case reads its own room from data/ of a fresh folder.
void TestScene::init()
{
    folder.reset(new QTemporaryDir);
    QVERIFY(folder->isValid());
    QVERIFY(QDir(folder->path()).mkdir("data"));
    QVERIFY(QDir::setCurrent(folder->path()));
    writeFile("ceiling.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n");
    writeImage("blank.png", panel(4, 4, 1000));
    logLines.clear();
    logFunctions.clear();
    qInstallMessageHandler(captureMessage);
}

void TestScene::cleanup()
{
    qInstallMessageHandler(nullptr);
    QDir::setCurrent(buildFolder);
}

void TestScene::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(folder->path() + "/data/" + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestScene::writeImage(const QString& name, const QImage& image)
{
    QVERIFY(image.save(folder->path() + "/data/" + name));
}

bool TestScene::readScene(Scene& scene, const QString& xml)
{
    writeFile("Stanza.xml", xml.toUtf8());
    return scene.readXML("Stanza.xml");
}

bool TestScene::readRoom(Scene& scene, const QString& wallsBody, const QString& afterWalls)
{
    return readScene(scene, QString("<room height=\"6\"><walls><ceiling model=\"ceiling.obj\"/>%1"
                                    "</walls>%2</room>").arg(wallsBody, afterWalls));
}

void TestScene::refusesUnreadableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QByteArray() << "Cannot open the scene file";
    QTest::newRow("not well formed") << QByteArray("<room><walls></room>") << "not readable XML";
    QTest::newRow("root spelled Room") << QByteArray("<Room/>") << "instead of <room>";
    QTest::newRow("100000 nested elements")
        << QByteArray("<room>") + QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000)
               + "</room>"
        << "nested deeper";
}

void TestScene::refusesUnreadableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    if (!content.isNull())
        writeFile("Stanza.xml", content);
    Scene scene;
    QVERIFY(!scene.readXML("Stanza.xml"));
    QCOMPARE(logLines.first(), QString("Reading SCENE!"));
    QCOMPARE(warnings().size(), 1);
    QVERIFY2(warnings().first().contains(reason), qPrintable(warnings().first()));
    QVERIFY2(warnings().first().contains("data/Stanza.xml"), qPrintable(warnings().first()));
    QCOMPARE(scene.dataPath, QDir::currentPath() + "/data/");
    QVERIFY(scene.sections.isEmpty() && scene.bounds.empty);
}

void TestScene::roomHeight_data()
{
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("warningCount");
    QTest::newRow("missing") << "" << 6.0f << 0;
    QTest::newRow("decimal point") << "height=\"4.25\"" << 4.25f << 0;
    QTest::newRow("not a number") << "height=\"tall\"" << 0.0f << 0;
    QTest::newRow("decimal comma") << "height=\"4,5\"" << 0.0f << 0;
    QTest::newRow("infinite") << "height=\"inf\"" << 0.0f << 1;
    QTest::newRow("beyond float range") << "height=\"1e39\"" << 0.0f << 1;
}

void TestScene::roomHeight()
{
    QFETCH(QString, attribute);
    QFETCH(float, height);
    QFETCH(int, warningCount);
    Scene scene;
    QVERIFY(readScene(scene, QString("<room %1/>").arg(attribute)));
    QCOMPARE(scene.roomHeight, height);
    QCOMPARE(warnings().size(), warningCount);
}

void TestScene::logsAndProgressWhileReading()
{
    writeImage("p.png", panel(20, 10, 1000));
    Scene scene;
    QSignalSpy progress(&scene, &Scene::loadingProgressSignal);
    // Four child nodes of walls (a comment among them), three maps: N = 3.
    QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"1\"/><!-- x --><wall turn=\"90\"/>",
                     "<detailMap name=\"p.png\"/><detailMap/><detailMap/>"));
    QList<float> values;
    for (const QList<QVariant>& arguments : progress)
        values << arguments.at(0).toFloat();
    QCOMPARE(values, (QList<float>{0.0f, 0.0625f, 0.125f, 0.1875f, 0.25f, 0.25f + 0.25f / 3,
                                   0.25f + 0.5f / 3}));
    QCOMPARE(logLines.filter("PROGRESS"),
             (QStringList{"PROGRESS 0%", "PROGRESS 6%", "PROGRESS 12%", "PROGRESS 18%",
                          "PROGRESS 25%", "PROGRESS 33%", "PROGRESS 41%"}));
    QCOMPARE(logLines.filter("el: "),
             (QStringList{"el: 'walls'", "el: 'detailMap'", "el: 'detailMap'", "el: 'detailMap'"}));
    QVERIFY(logLines.contains("Adding section 0 with 1 pictures"));
    QCOMPARE(logLines.first(), QString("Reading SCENE!"));
    QCOMPARE(logLines.last(), QString("Done loading"));
    // Each line travels with the signature of the function that writes it.
    const QMap<QString, QString> writers{{"el: 'walls'", "bool Scene::readXML(QString)"},
                                         {"Done loading", "bool Scene::readXML(QString)"},
                                         {"Adding section 0 with 1 pictures",
                                          "void Scene::readSection(QDomElement)"},
                                         {"PROGRESS 25%", "void Scene::showLoadingProgress(float)"}};
    for (auto it = writers.cbegin(); it != writers.cend(); ++it)
        QCOMPARE(logFunctions.at(logLines.indexOf(it.key())), it.value());
    // The single run of sections cannot be closed.
    QCOMPARE(warnings(), QStringList{"WARNING The walls lay out 1 straight run(s) of sections; the room "
                                     "needs two to close, so it is left open"});
}

void TestScene::ignoresMisplacedElements()
{
    writeImage("p.png", panel(40, 20, 10));
    Scene scene;
    QVERIFY(readScene(scene, "<room>text<!-- c --><section name=\"p.png\" height=\"1\"/><walls>"
                             "<detailMap name=\"p.png\"><detail/></detailMap></walls></room>"));
    QCOMPARE(logLines.filter("el: "),
             (QStringList{"el: ''", "el: 'comment'", "el: 'section'", "el: 'walls'"}));
    QVERIFY(scene.sections.isEmpty());
    QVERIFY(scene.details.isEmpty());
}

void TestScene::firstSectionHangsFromCeiling()
{
    writeImage("p.png", panel(3000, 1500, 1000));
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"2\"/><wall turn=\"90\"/>"));
    const Section& section = scene.sections.at(0);
    const Picture& picture = section.pictures.value("p.png");
    QCOMPARE(picture.position, point3(0, 4, 0));
    QCOMPARE(picture.size, point3(4, 2, 0));
    QCOMPARE(section.width, 4.0f);
    QCOMPARE(section.axisZ, point3(0, 0, 1));
    QCOMPARE(scene.bounds.max, point3(4, 0, 0));
    QVERIFY(fuzzyEqual(scene.layoutDirection, point3(0, 0, 1)));
    QCOMPARE(scene.layoutPosition, point3(4, 0, 0));
    // The ceiling is stretched to the section and hangs at the room's height.
    QCOMPARE(section.models.size(), 1);
    QCOMPARE(section.models[0].size, point3(4, 1.5f, 0));
    QCOMPARE(section.models[0].position, point3(0, 6, 0));
}

void TestScene::meshPlacement_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<point3>("position");
    QTest::addColumn<point3>("size");
    QTest::newRow("no size fills wall below picture") << "" << point3(0, 0, 0) << point3(4, 4, 0);
    QTest::newRow("right margin") << "width=\"1\" marginright=\"0.5\"" << point3(2.5f, 0, 0)
                                  << point3(1, 4, 0);
    QTest::newRow("right margin wins over left")
        << "width=\"1\" height=\"2\" marginleft=\"1\" marginright=\"0.5\"" << point3(2.5f, 0, 0)
        << point3(1, 2, 0);
    QTest::newRow("left margin") << "width=\"1\" marginleft=\"1\"" << point3(1, 0, 0) << point3(1, 4, 0);
    QTest::newRow("margin not a number is absent") << "width=\"1\" marginright=\"abc\""
                                                   << point3(0, 0, 0) << point3(1, 4, 0);
    QTest::newRow("empty margin is absent") << "width=\"1\" marginleft=\"\"" << point3(0, 0, 0)
                                            << point3(1, 4, 0);
}

void TestScene::meshPlacement()
{
    QFETCH(QString, attributes);
    QFETCH(point3, position);
    QFETCH(point3, size);
    writeImage("p.png", panel(40, 20, 10));
    Scene scene;
    QVERIFY(readRoom(scene, QString("<section name=\"p.png\" height=\"2\"><mesh model=\"ceiling.obj\" %1/>"
                                    "</section>").arg(attributes)));
    const Model& mesh = scene.sections.at(0).models.at(1);
    QCOMPARE(mesh.position, position);
    QCOMPARE(mesh.size, size);
}

void TestScene::extrasStackDownwards()
{
    writeImage("p.png", panel(40, 20, 10));
    writeImage("e1.png", panel(10, 10, 10));
    writeImage("e2.png", panel(20, 10, 10));
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"2\"><extra name=\"e1.png\" height=\"1\" "
                            "marginleft=\"0.5\"/><!-- c --><extra name=\"e2.png\" height=\"0.5\" "
                            "marginright=\"1\"/></section>"));
    const QMap<QString, Picture>& pictures = scene.sections.at(0).pictures;
    QCOMPARE(pictures.keys(), (QStringList{"e1.png", "e2.png", "p.png"}));
    QCOMPARE(pictures["e1.png"].position, point3(0.5f, 3, 0));
    QCOMPARE(pictures["e2.png"].position, point3(2, 2.5f, 0));
    QCOMPARE(pictures["e2.png"].size, point3(1, 0.5f, 0));
    QVERIFY(logLines.contains("Adding section 0 with 3 pictures"));
}

void TestScene::meshFileLoadedOnce()
{
    writeImage("p.png", panel(40, 20, 10));
    writeFile("bench.obj", "v 0 0 0\nv 2 1 0\nv 0 1 0\nf 1 2 3\n");
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"2\"><mesh model=\"bench.obj\" width=\"1\"/>"
                            "</section><section name=\"p.png\" height=\"2\"><mesh model=\"bench.obj\" "
                            "width=\"2\" marginleft=\"1\"/></section><wall turn=\"90\"/>"));
    QCOMPARE(scene.models.size(), 2);
    QCOMPARE(scene.findModel("bench.obj"), 1);
    QCOMPARE(scene.findModel("data/bench.obj"), -1);
    QCOMPARE(scene.sections[0].models[1].size, point3(1, 4, 0));
    QCOMPARE(scene.sections[1].models[1].position, point3(1, 0, 0));
    QCOMPARE(scene.models[1].size, point3(2, 4, 0));
    QCOMPARE(scene.sections[1].origin, point3(4, 0, 0));
}

void TestScene::sectionBeforeCeilingHasNoCeiling()
{
    writeImage("p.png", panel(40, 20, 10));
    Scene scene;
    QVERIFY(readScene(scene, "<room><walls><section name=\"p.png\" height=\"2\"/><wall turn=\"90\"/>"
                             "<section name=\"p.png\" height=\"2\"/></walls></room>"));
    QCOMPARE(scene.sections.size(), 2);
    QVERIFY(scene.sections[0].models.isEmpty());
    QCOMPARE(warnings().size(), 2);
    QVERIFY(warnings().at(0).contains("Section 0 (p.png) has no ceiling"));
}

void TestScene::badImagesGiveEmptySections()
{
    writeFile("empty.jpg", QByteArray());
    writeFile("garbage.png", QByteArray("not an image at all"));
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"empty.jpg\" height=\"2\"/><section name=\"garbage.png\" "
                            "height=\"x\"/><section name=\"nothere.png\" height=\"1\"/>"));
    QCOMPARE(scene.sections.size(), 3);
    for (const Section& section : scene.sections)
        QCOMPARE(section.width, 0.0f);
    QCOMPARE(scene.layoutPosition, point3(0, 0, 0));
}

void TestScene::runsAndStartPoint()
{
    Scene scene;
    for (const point3& direction : {point3(1, 0, 0), point3(1, 0, 0), point3(0, 0, 1), point3(0, 0, 1),
                                    point3(0, 0, 1), point3(-1, 0, 0)})
        scene.sections.append(Section(point3(), direction));
    QCOMPARE(scene.wallRuns(), (QVector<int>{2, 5, 6}));
    scene.bounds.add(0, 0, 0);
    scene.bounds.add(8, 0, 6);
    QCOMPARE(scene.startPoint(), point3(4, 1.7f, 3));
}

void TestScene::closingStretchesFirstAndLastRun()
{
    // Two sections along +x, then three down -z ending at E = (0.3, 0, -0.2).
    Scene scene;
    const QVector<point3> origins{{0, 0, 0}, {2, 0, 0}, {0.3f, 0, 2.8f}, {0.3f, 0, 1.8f}, {0.3f, 0, 0.8f}};
    for (int i = 0; i < origins.size(); ++i) {
        Section section(origins[i], i < 2 ? point3(1, 0, 0) : point3(0, 0, -1));
        section.width = i < 2 ? 2.0f : 1.0f;
        section.pictures.insert("p", Picture());
        section.pictures["p"].size = point3(section.width, 1, 0);
        section.addModel(Model());
        section.models[0].size = point3(section.width, 1, 0);
        scene.sections.append(section);
    }
    scene.closeRoom();
    const float g = -0.2f / 3;
    const QVector<float> widths{1.85f, 1.85f, 1 + g, 1 + g, 1 + g};
    const QVector<point3> moved{{0.3f, 0, 0}, {2.15f, 0, 0}, {0.3f, 0, 2.8f}, {0.3f, 0, 1.8f - g},
                                {0.3f, 0, 0.8f - 2 * g}};
    for (int i = 0; i < origins.size(); ++i) {
        const Section& section = scene.sections[i];
        QVERIFY2(qAbs(section.width - widths[i]) < 1e-5f, qPrintable(QString::number(i)));
        QVERIFY2(fuzzyEqual(section.origin, moved[i]), qPrintable(QString::number(i)));
        QCOMPARE(section.pictures["p"].size.x, section.width);
        QCOMPARE(section.models[0].size.x, section.width);
    }
}

void TestScene::detailIdsFollowDatabaseLetters()
{
    Scene scene;
    QVERIFY(readRoom(scene, "", "<detailMap name=\"a.png\"><detail unused=\"first\"/><database name=\"B\"/>"
                                "<detail/><detail/><detail/></detailMap><detailMap><detail/></detailMap>"));
    QVector<int> ids;
    for (const Detail& detail : scene.details)
        ids << detail.id;
    QCOMPARE(ids, (QVector<int>{0, 100, 101, 102, 103}));
    QCOMPARE(scene.details[0].label, QString("first"));
    QCOMPARE(scene.details[0].name, QString("a.png"));
    QCOMPARE(scene.indexOfDetail(102), 3);
    QCOMPARE(scene.indexOfDetail(104), -1);
}

void TestScene::mapRegionAndBox()
{
    Picture picture;
    picture.mapImage = QGLWidget::convertToGLFormat(panel(100, 50, 1000, {{QRect(10, 20, 10, 10),
                                                                           QColor(12, 200, 7)}}));
    picture.position = point3(1, 4, 0);
    picture.size = point3(2, 2, 0);
    Scene scene;
    const Detail detail(100, 12, 200, 7, "m.png", "");
    const BoundingBox region = scene.mapRegion(picture, detail);
    QVERIFY(fuzzyEqual(region.min, point3(-0.8f, -0.2f, 0)));
    QVERIFY(fuzzyEqual(region.max, point3(-0.64f, 0.12f, 0)));
    const BoundingBox box = scene.detailBox(Section(point3(), point3(1, 0, 0)), detail, picture);
    QVERIFY(fuzzyEqual(box.min, point3(1.2f, 4.8f, 0)));
    QVERIFY(fuzzyEqual(box.max, point3(1.36f, 5.12f, 0)));
    // A colour found nowhere sits at the picture's centre with no extent.
    const BoundingBox missing = scene.detailBox(Section(point3(), point3(1, 0, 0)),
                                                Detail(1, 12, 200, 8, "", ""), picture);
    QCOMPARE(missing.min, point3(2, 5, 0));
    QCOMPARE(missing.max, point3(2, 5, 0));
}

void TestScene::detailColour_data()
{
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<point3>("color");
    QTest::addColumn<bool>("onMap");
    QTest::addColumn<int>("warningCount");
    QTest::newRow("comma and blank") << "rgb=\"12, 200, 7\"" << point3(12, 200, 7) << true << 0;
    QTest::newRow("bare commas") << "rgb=\"12,200,7\"" << point3(0, 0, 0) << false << 1;
    QTest::newRow("missing is black") << "" << point3(0, 0, 0) << false << 0;
    QTest::newRow("empty") << "rgb=\"\"" << point3(0, 0, 0) << false << 1;
    QTest::newRow("not numbers") << "rgb=\"red, green, 7\"" << point3(0, 0, 7) << false << 1;
    QTest::newRow("300 does not wrap to 44") << "rgb=\"300, 0, 0\"" << point3(300, 0, 0) << false << 1;
    QTest::newRow("negative") << "rgb=\"-1, 200, 7\"" << point3(-1, 200, 7) << false << 1;
}

void TestScene::detailColour()
{
    QFETCH(QString, attribute);
    QFETCH(point3, color);
    QFETCH(bool, onMap);
    QFETCH(int, warningCount);
    writeImage("p.png", panel(40, 20, 10, {{QRect(0, 0, 4, 4), QColor(12, 200, 7)},
                                           {QRect(30, 10, 4, 4), QColor(44, 0, 0)}}));
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"2\"/><wall turn=\"90\"/>",
                     QString("<detailMap name=\"p.png\"><detail %1/></detailMap>").arg(attribute)));
    const Detail& detail = scene.details.at(0);
    QCOMPARE(detail.color, color);
    QCOMPARE(scene.detailIdAtColor(color.x, color.y, color.z), 0);
    QCOMPARE(scene.detailIdAtColor(color.x, color.y, color.z + 1), -1);
    QCOMPARE(detail.box.max.x > detail.box.min.x, onMap);
    QCOMPARE(warnings().filter("rgb=").size(), warningCount);
}

void TestScene::detailsOnMapsFoundThroughPicturePaths()
{
    // One panel with its own map (smaller than the panel), one falling back on blank.png.
    writeImage("p.jpg", panel(1000, 500, 3937));
    writeImage("p.png", panel(50, 25, 25, {{QRect(4, 10, 6, 5), QColor(12, 200, 7)}}));
    writeImage("q.jpg", panel(1000, 500, 3937));
    writeImage("blank.png", panel(4, 4, 1000, {{QRect(0, 0, 2, 2), QColor(1, 2, 3)}}));
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"p.jpg\" height=\"2\"/><section name=\"q.jpg\" height=\"1\"/>",
                     "<detailMap name=\"p.png\"><detail rgb=\"12, 200, 7\"/></detailMap>"
                     "<detailMap name=\"blank.png\"><detail rgb=\"1, 2, 3\"/></detailMap>"));
    const Detail onOwnMap = scene.detailAt(0);
    QCOMPARE(onOwnMap.panel, 0);
    QCOMPARE(onOwnMap.direction, point3(1, 0, 0));
    QCOMPARE(onOwnMap.normal(), point3(0, 0, -1));
    QVERIFY(fuzzyEqual(onOwnMap.box.min, point3(0.32f, 4.8f, 0)));
    QVERIFY(fuzzyEqual(onOwnMap.box.max, point3(0.64f, 5.12f, 0)));
    QCOMPARE(onOwnMap.maxCorner, onOwnMap.box.max);
    const Detail onBlank = scene.detailAt(1);
    QCOMPARE(onBlank.panel, 1);
    QCOMPARE(onBlank.box.min, point3(4, 5, 0));
    QCOMPARE(onBlank.box.max, point3(4, 5, 0));
}

void TestScene::detailOnNoSection()
{
    Scene scene;
    QVERIFY(readRoom(scene, "", "<detailMap name=\"nowhere.png\"><detail rgb=\"1, 2, 3\"/></detailMap>"));
    const Detail detail = scene.detailAt(0);
    QCOMPARE(detail.panel, -1);
    QCOMPARE(detail.direction, point3(0, 0, 0));
    QVERIFY(detail.box.empty);
    QCOMPARE(detail.maxCorner, point3(0, 0, 0));
    QCOMPARE(detail.normal(), point3(0, 0, 0));
    QCOMPARE(scene.detailAt(5).id, 0);
    QVERIFY(warnings().last().contains("No detail at index 5"));
}

void TestScene::uploadReportsProgressAndNamesTextures()
{
    writeImage("p.png", panel(40, 20, 10));
    Scene scene;
    QVERIFY(readRoom(scene, "<section name=\"p.png\" height=\"2\"/><wall turn=\"90\"/>"
                            "<section name=\"p.png\" height=\"2\"/>"));
    QGLWidget widget;
    widget.resize(64, 64);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.makeCurrent();
    QCOMPARE(glewInit(), GLenum(GLEW_OK));
    QSignalSpy progress(&scene, &Scene::loadingProgressSignal);
    logLines.clear();
    scene.uploadTexturesInRam();
    QCOMPARE(progress.size(), 3);
    QCOMPARE(progress.at(0).at(0).toFloat(), 0.75f);
    QCOMPARE(progress.at(1).at(0).toFloat(), 1.0f);
    QCOMPARE(progress.at(2).at(0).toFloat(), 2.0f);
    QCOMPARE(logLines, (QStringList{"0/2", "PROGRESS 75%", "1/2", "PROGRESS 100%", "PROGRESS 200%"}));
    QVERIFY(scene.texturesUploaded);
    for (const Section& section : scene.sections) {
        QVERIFY(section.pictures.first().texture != Picture::noTexture);
        QVERIFY(section.pictures.first().mapTexture != Picture::noTexture);
    }
    // Drawing leaves the matrix stack as it found it.
    GLint depthBefore = 0;
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    scene.draw();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    QCOMPARE(depthAfter, depthBefore);
    QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));
}

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
