#include "widgetopenGL.h"

#include "loadingwindow.h"
#include "scene.h"

#include <QtTest>
#include <QApplication>
#include <QGLShaderProgram>
#include <QMatrix4x4>
#include <QPainter>
#include <QPointer>

#include <cmath>
#include <cstdio>

Q_DECLARE_METATYPE(point3)

namespace {

const char* const constructArgument = "--construct-view";
const char* const escapeArgument = "--press-escape";
const QColor northColour(40, 120, 60);
const QStringList shaderFiles = {"tapestry.vertex.glsl", "tapestry.fragment.glsl", "map.vertex.glsl",
                                 "map.fragment.glsl"};

const char* const stanza = R"(<room height="3">
  <walls>
    <ceiling model="soffitto.obj" height="0.5"/>
    <section name="nord.jpg" height="2"/>
    <wall turn="90"/>
    <section name="est.jpg" height="2"/>
    <wall turn="90"/>
    <section name="sud.jpg" height="2"/>
    <wall turn="90"/>
    <section name="ovest.jpg" height="2"/>
    <wall turn="90"/>
  </walls>
  <detailMap name="nord.png">
    <database name="B"/>
    <detail unused="Lupo" rgb="200, 40, 10"/>
    <detail unused="Airone" rgb="10, 200, 40"/>
  </detailMap>
  <detailMap name="nessuno.png">
    <database name="C"/>
    <detail unused="Fantasma" rgb="50, 50, 50"/>
  </detailMap>
</room>
)";

// A ceiling band spanning x -1..0, listed counter-clockwise as seen from the room.
const char* const ceilingObj = "v -1 0 0\nv 0 0 0\nv 0 1 0\nv -1 1 0\nvn 0 0 1\n"
                               "f 1//1 2//1 3//1\nf 1//1 3//1 4//1\n";

const char* const databaseHeader = "intestazione\n\n\n\n";
const char* const wolfRecord = "1;1;B;Mammiferi;Lupo;Canis lupus;Buona;Un lupo;;nota\n";
const char* const heronRecord = "2;2;B;Uccelli;Airone;Ardea cinerea;Media;Un airone;;nota\n";

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// 400 x 200 pixels at 100 dots per inch: a panel twice as wide as high.
bool saveImage(QImage image, const QString& path)
{
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    return image.save(path);
}

QImage filled(const QColor& colour)
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage northMap()
{
    QImage map = filled(Qt::black);
    QPainter painter(&map);
    painter.fillRect(40, 40, 120, 120, QColor(200, 40, 10));
    painter.fillRect(240, 40, 120, 120, QColor(10, 200, 40));
    return map;
}

bool writeRoom(const QString& dir)
{
    const QString data = dir + "/data/";
    bool ok = QDir(dir).mkpath("data") && writeFile(data + "Stanza.xml", stanza)
              && writeFile(data + "soffitto.obj", ceilingObj)
              && writeFile(data + "determinazioni.csv", QByteArray(databaseHeader) + wolfRecord)
              && saveImage(filled(northColour), data + "nord.jpg") && saveImage(northMap(), data + "nord.png")
              && saveImage(filled(Qt::black).scaled(4, 4), data + "blank.png");
    for (const char* name : {"est", "sud", "ovest"})
        ok = ok && saveImage(filled(QColor(150, 90, 40)), data + name + ".jpg");
    const QString built = QCoreApplication::applicationDirPath() + "/../";
    for (const QString& shader : shaderFiles)
        ok = ok && QFile::copy(built + shader, dir + "/" + shader);
    return ok;
}

void sendMove(QWidget* widget, QPoint position, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent event(QEvent::MouseMove, position, Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QString describe(point3 p)
{
    return QString("(%1, %2, %3)").arg(double(p.x)).arg(double(p.y)).arg(double(p.z));
}

bool nearlyEqual(point3 a, point3 b, float tolerance = 1e-4f)
{
    return (a - b).length() < tolerance;
}

// The view as the window holds it, with the buffer swap reachable, so that a
// frame can be read back before it is swapped away.
class ProbedView : public WidgetOpenGL
{
public:
    using QGLWidget::setAutoBufferSwap;
};

bool onDemoRoom()
{
    return qEnvironmentVariableIsSet("PELLAVIO_DEMO_ROOM");
}

// Runs the named test functions of this binary in a child process.
bool runTestsInChild(const QStringList& functions, const QString& variable, const QString& value)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(variable, value);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList("firstPaintUploadsTexturesOnce") << functions);
    const bool passed = child.waitForFinished(300000) && child.exitCode() == 0;
    if (!passed)
        qWarning("%s", child.readAllStandardOutput().constData());
    return passed;
}

// A pixel of the colour whose 5 x 5 neighbourhood is all that colour: the view
// shows that colour there whatever the rounding of the projection.
QPoint interiorPixel(const QImage& map, QRgb colour)
{
    for (int y = 2; y + 2 < map.height(); ++y)
        for (int x = 2; x + 2 < map.width(); ++x) {
            bool inside = true;
            for (int i = 0; i < 25 && inside; ++i)
                inside = map.pixel(x + i % 5 - 2, y + i / 5 - 2) == colour;
            if (inside)
                return QPoint(x, y);
        }
    return QPoint(-1, -1);
}

int runChild(const char* mode, int argc, char* argv[])
{
    QApplication application(argc, argv);
    WidgetOpenGL view;
    if (qstrcmp(mode, escapeArgument) == 0) {
        view.show();
        QTest::keyClick(&view, Qt::Key_Escape);
    }
    std::puts("still running");
    return 3;
}

} // namespace

class TestWidgetOpenGL : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir room;
    ProbedView* view = nullptr;
    QSignalSpy* progress = nullptr;
    QPointer<LoadingWindow> loadingWindow;

    QImage frame();
    QPoint pixelOf(point3 world) const;
    point3 pictureCentre(int section) const;
    Detail detail(int id) const;
    point3 placeNamed(const QString& name) const;
    void pointAt(point3 world);

private slots:
    void initTestCase();
    void firstPaintUploadsTexturesOnce();
    void startViewShowsTheRoom();
    void mapPassReadsDetailColours_data();
    void mapPassReadsDetailColours();
    void mouseOverNotifiesOnEnteringDetails();
    void pulseDarkensTheSelectedDetail();
    void goToDetailFliesInFront();
    void rightClickReturnsToStartFacingTheDetail();
    void unknownOrUnplacedDetailKeepsTarget_data();
    void unknownOrUnplacedDetailKeepsTarget();
    void leftClickGoesToHighlightedDetail();
    void dragRotatesAndWheelZooms();
    void glancesHighlightAndTurn();
    void keysReloadShadersAndDatabase();
    void brokenShaderWarnsOnceAndDrawingGoesOn_data();
    void brokenShaderWarnsOnceAndDrawingGoesOn();
    void scaledDisplayPicksDevicePixels();
    void demoRoomShowsAndPicksEveryDetail();
    void processEnds_data();
    void processEnds();
};

void TestWidgetOpenGL::initTestCase()
{
    if (onDemoRoom()) {
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath() + "/.."));
    } else {
        QVERIFY(room.isValid());
        QVERIFY(writeRoom(room.path()));
        QVERIFY(QDir::setCurrent(room.path()));
    }
    view = new ProbedView();
    view->resize(480, 300);
    progress = new QSignalSpy(view->scene, SIGNAL(loadingProgressSignal(float)));
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<LoadingWindow*>(widget))
            loadingWindow = window;
    QVERIFY(loadingWindow && loadingWindow->isVisible());
}

// The visible frame, drawn into the back buffer and read before any swap.
QImage TestWidgetOpenGL::frame()
{
    view->setAutoBufferSwap(false);
    view->updateGL();
    const QImage image = view->grabFrameBuffer();
    view->setAutoBufferSwap(true);
    return image;
}

// Where a world point lands in the widget, worked out from the camera alone.
QPoint TestWidgetOpenGL::pixelOf(point3 world) const
{
    const Avatar& a = view->currentAvatar;
    const float w = view->width(), h = view->height();
    QMatrix4x4 projection;
    projection.scale(1.3f * h / w, 1, 1);
    projection.perspective(a.fov, 1.0f, 0.1f, 70.0f);
    QMatrix4x4 camera;
    camera.rotate(-a.pitch, 1, 0, 0);
    camera.rotate(-a.yaw, 0, 1, 0);
    camera.translate(-a.position.x, -a.position.y, -a.position.z);
    const QVector3D ndc = (projection * camera).map(QVector3D(world.x, world.y, world.z));
    return QPoint(int(std::floor((ndc.x() + 1) / 2 * w)), int(std::floor((1 - ndc.y()) / 2 * h)));
}

point3 TestWidgetOpenGL::pictureCentre(int section) const
{
    const Section& s = view->scene->sections[section];
    const Picture& p = s.pictures.first();
    return s.toWorld(point3(p.position.x + p.size.x / 2, p.position.y + p.size.y / 2, 0));
}

Detail TestWidgetOpenGL::detail(int id) const
{
    return view->scene->detailAt(view->scene->indexOfDetail(id));
}

point3 TestWidgetOpenGL::placeNamed(const QString& name) const
{
    if (name == "lupo")
        return detail(100).box.center();
    if (name == "airone")
        return detail(101).box.center();
    if (name == "panel")
        return pictureCentre(0);
    // Seen through the gap under the north panel from the start view.
    if (name == "floor")
        return point3(2, 0, -1.5f);
    return point3(2, 12, -2); // above every wall
}

void TestWidgetOpenGL::pointAt(point3 world)
{
    sendMove(view, pixelOf(world));
    view->updateObjectUnderMouse();
}

void TestWidgetOpenGL::firstPaintUploadsTexturesOnce()
{
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QTRY_VERIFY(!view->texturesPending && view->scene->texturesUploaded);
    QList<float> reported;
    for (const QList<QVariant>& arguments : *progress)
        reported << arguments.at(0).toFloat();
    const int n = view->scene->sections.size();
    QVERIFY(n > 0);
    QList<float> expected;
    for (int i = 0; i < n; ++i)
        expected << (i + 1) * 0.5f / n + 0.5f;
    QCOMPARE(reported, expected << 2.0f);
    QTRY_VERIFY(loadingWindow.isNull());

    view->makeCurrent();
    QVERIFY(glIsTexture(blankTexture));
    for (const Section& section : view->scene->sections)
        for (const Picture& picture : section.pictures)
            QVERIFY(glIsTexture(picture.texture) && glIsTexture(picture.mapTexture));
    frame();
    QCOMPARE(progress->size(), n + 1);
}

void TestWidgetOpenGL::startViewShowsTheRoom()
{
    view->currentAvatar.resetToStart(*view->scene);
    const QImage image = frame();
    const qreal ratio = view->devicePixelRatioF();
    QCOMPARE(image.size(), view->size() * ratio);
    auto colourAt = [&](point3 world) { return QColor(image.pixel(pixelOf(world) * ratio)); };
    // The panel's own colour (JPEG keeps a flat colour within a few levels).
    const QColor panel = colourAt(pictureCentre(0));
    QVERIFY2(std::abs(panel.red() - northColour.red()) < 6 && std::abs(panel.green() - northColour.green()) < 6
                 && std::abs(panel.blue() - northColour.blue()) < 6,
             qPrintable(panel.name()));
    // Seen under the panel: the floor, plain grey whatever map unit 1 holds.
    const QColor floor = colourAt(placeNamed("floor"));
    QVERIFY2(floor.red() > 60 && floor.red() == floor.green() && floor.green() == floor.blue(),
             qPrintable(floor.name()));
}

void TestWidgetOpenGL::mapPassReadsDetailColours_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<float>("pitch");
    QTest::addColumn<point3>("expected");

    QTest::newRow("centre of Lupo") << "lupo" << 0.0f << point3(200, 40, 10);
    QTest::newRow("centre of Airone") << "airone" << 0.0f << point3(10, 200, 40);
    QTest::newRow("panel between the details") << "panel" << 0.0f << point3();
    QTest::newRow("floor under the panel") << "floor" << 0.0f << point3();
    QTest::newRow("background above the walls") << "sky" << 35.0f << point3();
}

void TestWidgetOpenGL::mapPassReadsDetailColours()
{
    QFETCH(QString, place);
    QFETCH(float, pitch);
    QFETCH(point3, expected);
    view->currentAvatar.resetToStart(*view->scene);
    view->currentAvatar.pitch = pitch;
    view->targetAvatar = view->currentAvatar;
    pointAt(placeNamed(place));
    const QPoint pixel = pixelOf(placeNamed(place));
    QCOMPARE(view->readPixelColor(pixel.x(), pixel.y()), expected);
    QCOMPARE(view->selectedColor * 255.0f, expected);
}

void TestWidgetOpenGL::mouseOverNotifiesOnEnteringDetails()
{
    view->currentAvatar.resetToStart(*view->scene);
    pointAt(placeNamed("floor"));
    QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
    pointAt(placeNamed("lupo"));
    QCOMPARE(entered.size(), 1);
    QCOMPARE(entered.last().at(0).toInt(), 100);
    QVERIFY(view->blinkTimer->isActive());
    pointAt(placeNamed("lupo") + point3(0.1f, 0.1f, 0));
    QCOMPARE(entered.size(), 1);

    pointAt(placeNamed("floor"));
    QCOMPARE(entered.size(), 1);
    QVERIFY(!view->blinkTimer->isActive());
    QCOMPARE(view->blinkPhase, 0.0f);
    pointAt(placeNamed("lupo"));
    QCOMPARE(entered.size(), 2);

    view->blinkPhase = 1.2f;
    pointAt(placeNamed("airone"));
    QCOMPARE(entered.size(), 3);
    QCOMPARE(entered.last().at(0).toInt(), 101);
    QCOMPARE(view->blinkPhase, 1.2f); // the pulse carries on
    QVERIFY(view->blinkTimer->isActive());
}

void TestWidgetOpenGL::pulseDarkensTheSelectedDetail()
{
    view->currentAvatar.resetToStart(*view->scene);
    pointAt(placeNamed("lupo"));
    const float start = view->blinkPhase;
    QTRY_VERIFY(view->blinkPhase >= start + 0.8f); // two ticks of 0.4

    const QPoint lupo = pixelOf(placeNamed("lupo")), airone = pixelOf(placeNamed("airone"));
    view->blinkPhase = 0;
    const QImage steady = frame();
    view->blinkPhase = float(M_PI); // (1 - cos phase) / 4 = 0.5
    const QImage darkest = frame();
    QVERIFY(std::abs(QColor(darkest.pixel(lupo)).green() * 2 - QColor(steady.pixel(lupo)).green()) <= 2);
    QCOMPARE(darkest.pixel(airone), steady.pixel(airone));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    QVERIFY(!view->blinkTimer->isActive() && !view->pickTimer->isActive());
    QCOMPARE(view->blinkPhase, 0.0f);
    QCOMPARE(view->selectedColor * 255.0f, point3(200, 40, 10));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(view, &enter);
    QVERIFY(view->pickTimer->isActive());
}

void TestWidgetOpenGL::goToDetailFliesInFront()
{
    view->currentAvatar.resetToStart(*view->scene);
    view->targetAvatar = view->currentAvatar;
    const Detail lupo = detail(100);
    const float top = lupo.maxCorner.y, t = std::tan(float(M_PI) / 3);
    const float distance = std::max(top / (2 * t), top / (2 * 1.6f * t));
    QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL 100");
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Detail: Lupo \\(panel 0\\) Norm = "));
    view->goToDetail(100);
    QCOMPARE(WidgetOpenGL::lastDetailId, 100);
    QCOMPARE(view->targetAvatar.fov, 60.0f);
    QVERIFY2(nearlyEqual(view->targetAvatar.position, lupo.box.center() - lupo.normal() * distance),
             qPrintable(describe(view->targetAvatar.position)));
    QTRY_VERIFY_WITH_TIMEOUT(!view->animationTimer->isActive(), 10000);
    QCOMPARE(view->currentAvatar.position, view->targetAvatar.position);
    QCOMPARE(view->currentAvatar.fov, 60.0f);
}

void TestWidgetOpenGL::rightClickReturnsToStartFacingTheDetail()
{
    QCOMPARE(WidgetOpenGL::lastDetailId, 100);
    const point3 start = view->scene->startPoint();
    const point3 v = placeNamed("lupo") - start;
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(WidgetOpenGL::lastDetailId, -1);
    const Avatar target = view->targetAvatar;
    QCOMPARE(target.position, start);
    QCOMPARE(target.fov, 85.0f);
    QVERIFY(qFuzzyCompare(target.yaw + 360, float(std::atan2(-v.x, -v.z) * 180 / M_PI) + 360));
    QVERIFY(qFuzzyCompare(target.pitch + 360, float(std::asin(v.y / v.length()) * 180 / M_PI) + 360));
    QTRY_VERIFY_WITH_TIMEOUT(!view->animationTimer->isActive(), 10000);

    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(view->targetAvatar.position, target.position);
    QCOMPARE(view->targetAvatar.yaw, target.yaw);
    QCOMPARE(WidgetOpenGL::lastDetailId, -1);
}

void TestWidgetOpenGL::unknownOrUnplacedDetailKeepsTarget_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("id the scene does not know") << 9999;
    QTest::newRow("detail on no section") << 200;
}

void TestWidgetOpenGL::unknownOrUnplacedDetailKeepsTarget()
{
    QFETCH(int, id);
    view->targetAvatar.yaw = 20;
    const Avatar before = view->targetAvatar;
    if (id == 200)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("lies on no wall section"));
    view->goToDetail(id);
    QVERIFY(view->animationTimer->isActive());
    QCOMPARE(WidgetOpenGL::lastDetailId, id);
    QCOMPARE(view->targetAvatar.position, before.position);
    QCOMPARE(view->targetAvatar.yaw, before.yaw);
    QTRY_VERIFY_WITH_TIMEOUT(!view->animationTimer->isActive(), 10000);
    QVERIFY(view->currentAvatar.position.isFinite());
    // The step back still happens: the start view, turned only toward a placed detail.
    if (id == 200)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("lies on no wall section"));
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(view->targetAvatar.position, view->scene->startPoint());
    QCOMPARE(view->targetAvatar.yaw, 0.0f);
    QCOMPARE(WidgetOpenGL::lastDetailId, -1);
}

void TestWidgetOpenGL::leftClickGoesToHighlightedDetail()
{
    view->currentAvatar.resetToStart(*view->scene);
    pointAt(placeNamed("airone"));
    const QPoint pixel = pixelOf(placeNamed("airone"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Detail: Airone"));
    QTest::mousePress(view, Qt::LeftButton, {}, pixel);
    QCOMPARE(WidgetOpenGL::lastDetailId, 101);
    QCOMPARE(view->cursor().shape(), Qt::BlankCursor);
    QTest::mouseRelease(view, Qt::LeftButton, {}, pixel);
    QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    QTRY_VERIFY_WITH_TIMEOUT(!view->animationTimer->isActive(), 10000);
}

void TestWidgetOpenGL::dragRotatesAndWheelZooms()
{
    view->currentAvatar.resetToStart(*view->scene);
    view->animationTimer->start();
    view->mouseMoved = false;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    sendMove(view, QPoint(110, 95), Qt::LeftButton);
    QCOMPARE(view->currentAvatar.yaw, 1.0f);   // dragged right: turned left
    QCOMPARE(view->currentAvatar.pitch, -0.5f); // dragged up: tilted down
    QVERIFY(!view->animationTimer->isActive() && !view->mouseMoved);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(110, 95));

    for (const int delta : {60, 240, -120}) {
        const float before = view->currentAvatar.fov;
        QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        QCOMPARE(view->currentAvatar.fov, before + (delta == 60 ? 0 : delta > 0 ? -2 : 2));
    }
}

void TestWidgetOpenGL::glancesHighlightAndTurn()
{
    view->targetAvatar.resetToStart(*view->scene);
    view->ponderDetail(101);
    QVERIFY(view->glancing && view->blinkTimer->isActive() && view->animationTimer->isActive());
    QCOMPARE(view->selectedColor * 255.0f, point3(10, 200, 40));
    const point3 v = placeNamed("airone") - view->targetAvatar.position;
    QVERIFY(qFuzzyCompare(view->targetAvatar.yaw + 360, float(std::atan2(-v.x, -v.z) * 180 / M_PI) + 360));
    view->ponderDetail(-1);
    QVERIFY(!view->glancing && !view->blinkTimer->isActive());
    QCOMPARE(view->selectedColor * 255.0f, point3(10, 200, 40));

    view->ponderDetailLater(100);
    QVERIFY(view->glanceTimer->isActive());
    view->ponderDetailLater(-1);
    QVERIFY(!view->glanceTimer->isActive() && !view->glancing);
}

void TestWidgetOpenGL::keysReloadShadersAndDatabase()
{
    frame();
    QTest::ignoreMessage(QtDebugMsg, "Reload Shaders!");
    QTest::keyClick(view, Qt::Key_S);
    QVERIFY(!view->tapestryProgram && !view->mapProgram);
    frame();
    QVERIFY(view->tapestryProgram && view->tapestryProgram->isLinked());
    QVERIFY(view->mapProgram && view->mapProgram->isLinked());

    QCOMPARE(view->animalData.records.size(), 1);
    QVERIFY(writeFile("data/determinazioni.csv", QByteArray(databaseHeader) + wolfRecord + heronRecord));
    QTest::keyClick(view, Qt::Key_F5);
    QCOMPARE(view->animalData.records.size(), 2);
}

void TestWidgetOpenGL::brokenShaderWarnsOnceAndDrawingGoesOn_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("warning");

    QTest::newRow("fragment shader that does not compile")
        << "tapestry.fragment.glsl" << QByteArray("#version 120\nvoid main() { not glsl }\n")
        << "tapestry.fragment.glsl does not compile: .+";
    QTest::newRow("missing vertex shader") << "map.vertex.glsl" << QByteArray() << "map.vertex.glsl is missing";
}

void TestWidgetOpenGL::brokenShaderWarnsOnceAndDrawingGoesOn()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    QFETCH(QString, warning);
    const QString saved = file + ".saved";
    QVERIFY(QFile::rename(file, saved));
    QVERIFY(text.isEmpty() || writeFile(file, text));
    QTest::ignoreMessage(QtDebugMsg, "Reload Shaders!");
    QTest::keyClick(view, Qt::Key_S);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Shader program .*" + warning));
    frame();
    view->mouseMoved = true;
    view->updateObjectUnderMouse();
    frame(); // no second warning: QTest would report it as unexpected
    QFile::remove(file);
    QVERIFY(QFile::rename(saved, file));
    QTest::ignoreMessage(QtDebugMsg, "Reload Shaders!");
    QTest::keyClick(view, Qt::Key_S);
    frame();
    QVERIFY(view->tapestryProgram->isLinked() && view->mapProgram->isLinked());
}

void TestWidgetOpenGL::scaledDisplayPicksDevicePixels()
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QSKIP("already the scaled run");
    QVERIFY(runTestsInChild({"startViewShowsTheRoom", "mapPassReadsDetailColours"}, "QT_SCALE_FACTOR", "2"));
}

// The room in data/ beside the build: every panel in sight shows, and every
// placed detail is found by the map pass from in front of it.
void TestWidgetOpenGL::demoRoomShowsAndPicksEveryDetail()
{
    if (!onDemoRoom()) {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + "/../data/Stanza.xml"))
            QSKIP("no demo room in data/");
        QVERIFY(runTestsInChild({"demoRoomShowsAndPicksEveryDetail"}, "PELLAVIO_DEMO_ROOM", "1"));
        return;
    }
    const Scene& scene = *view->scene;
    view->currentAvatar.resetToStart(scene);
    const QImage image = frame();
    int panelsInSight = 0;
    for (const Section& section : scene.sections)
        for (const Picture& picture : section.pictures) {
            const point3 centre = section.toWorld(picture.position + picture.size * 0.5f);
            const QPoint pixel = pixelOf(centre);
            if (centre.z < view->currentAvatar.position.z && view->rect().contains(pixel)) {
                ++panelsInSight;
                QVERIFY2(QColor(image.pixel(pixel)) != Qt::black, qPrintable(picture.mapPath));
            }
        }
    QVERIFY(panelsInSight > 0);

    QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
    QStringList missed;
    for (const Detail& d : scene.details) {
        if (d.panel < 0)
            continue;
        const Section& section = scene.sections[d.panel];
        for (const Picture& picture : section.pictures) {
            if (picture.mapPath != scene.dataPath + d.name)
                continue;
            const QImage map(picture.mapPath);
            const QPoint texel = interiorPixel(map, qRgb(int(d.color.x), int(d.color.y), int(d.color.z)));
            const float u = (texel.x() + 0.5f) / map.width(), v = 1 - (texel.y() + 0.5f) / map.height();
            const point3 world = section.toWorld(picture.position + point3(u * picture.size.x, v * picture.size.y, 0));
            view->currentAvatar.setInFrontOf(d, float(view->width()) / view->height());
            pointAt(world);
            const QPoint pixel = pixelOf(world);
            if (texel.x() < 0 || view->readPixelColor(pixel.x(), pixel.y()) != d.color
                || entered.isEmpty() || entered.last().at(0).toInt() != scene.detailIdAtColor(d.color.x, d.color.y, d.color.z))
                missed << QString("%1 %2").arg(d.id).arg(d.label);
        }
    }
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(", ")));
    QVERIFY(entered.size() > 40);
}

void TestWidgetOpenGL::processEnds_data()
{
    QTest::addColumn<bool>("inRoom");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errors");

    QTest::newRow("Escape ends with 0") << true << escapeArgument << 0 << "";
    // The path tried and the folder it was tried in, for the curator.
    QTest::newRow("missing scene ends with -1")
        << false << constructArgument << 255 << "Error!!! -.-\"\n(.|\n)*data/Stanza.xml.*%1";
}

void TestWidgetOpenGL::processEnds()
{
    QFETCH(bool, inRoom);
    QFETCH(QString, argument);
    QFETCH(int, status);
    QFETCH(QString, errors);
    QTemporaryDir empty;
    const QString folder = inRoom ? room.path() : empty.path();
    QProcess child;
    child.setWorkingDirectory(folder);
    child.start(QCoreApplication::applicationFilePath(), {argument});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), status);
    QVERIFY(!child.readAllStandardOutput().contains("still running"));
    const QString written = child.readAllStandardError();
    errors.replace("%1", QRegularExpression::escape(folder));
    QVERIFY2(written.contains(QRegularExpression(errors)), qPrintable(written));
}

int main(int argc, char* argv[])
{
    if (argc > 1 && (qstrcmp(argv[1], constructArgument) == 0 || qstrcmp(argv[1], escapeArgument) == 0))
        return runChild(argv[1], argc, argv);
    QApplication application(argc, argv);
    TestWidgetOpenGL test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_widgetopenGL.moc"
