#include "widgetopenGL.h"

#include "loadingwindow.h"
#include "scene.h"
#include "testgeometry.h"
#include "viewprojection.h"

#include <QtTest>
#include <QApplication>
#include <QGLShaderProgram>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>

#include <cmath>

namespace {

// What a child run of this binary is for: "escape" and "no room" run in the
// folder they are given, "scaled" on a display scaled by 2 and "broken room"
// with a scene file cut short, "model outside the room" with a ceiling model
// named outside the room folder, each in a room of its own.
const char* const childMode = "PELLAVIO_VIEW_CHILD";
const point3 black, lupoColour(200, 40, 10), aironeColour(10, 200, 40);
// From the start view: the north panel's centre between the details, the floor
// through the gap under that panel, and a point above every wall.
const point3 panelCentre(2, 2, 0), floorUnderPanel(2, 0, -1.5f), sky(2, 12, -2);
const QByteArray database = "intestazione\n\n\n\n1;1;B;Mammiferi;Lupo;Canis lupus;Buona;Un lupo;;nota\n";
// Four walls of 4 m x 2 m panels under an empty ceiling model; the north one
// carries Lupo (id 100) and Airone (101); Fantasma (200) is listed on a map
// that no panel uses.
const QByteArray stanza =
    "<room height='3'><walls><ceiling model='soffitto.obj' height='0.5'/>"
    "<section name='nord.jpg' height='2'/><wall turn='90'/><section name='est.jpg' height='2'/><wall turn='90'/>"
    "<section name='sud.jpg' height='2'/><wall turn='90'/><section name='ovest.jpg' height='2'/><wall turn='90'/>"
    "</walls><detailMap name='nord.png'><database name='B'/><detail unused='Lupo' rgb='200, 40, 10'/>"
    "<detail unused='Airone' rgb='10, 200, 40'/></detailMap><detailMap name='nessuno.png'>"
    "<database name='C'/><detail unused='Fantasma' rgb='50, 50, 50'/></detailMap></room>";

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// 400 x 200 pixels at 100 dots per inch: a panel twice as wide as high, or the
// north map with Lupo on the left and Airone on the right.
bool saveImage(const QString& path, const QColor& ground, bool withDetails = false)
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.fillRect(40, 40, 120, 120, withDetails ? QColor(200, 40, 10) : ground);
    painter.fillRect(240, 40, 120, 120, withDetails ? QColor(10, 200, 40) : ground);
    painter.end();
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    return image.save(path);
}

bool writeRoom(const QString& dir)
{
    const QString data = dir + "/data/", built = QCoreApplication::applicationDirPath() + "/../";
    bool ok = QDir(dir).mkpath("data") && writeFile(data + "Stanza.xml", stanza)
              && writeFile(data + "determinazioni.csv", database) && writeFile(data + "soffitto.obj", "")
              && saveImage(data + "nord.jpg", QColor(40, 120, 60)) && saveImage(data + "nord.png", Qt::black, true)
              && saveImage(data + "blank.png", Qt::black);
    for (const char* name : {"est", "sud", "ovest"})
        ok = ok && saveImage(data + name + ".jpg", QColor(150, 90, 40));
    for (const QString& shader : QDir(built).entryList({"*.glsl"}))
        ok = ok && QFile::copy(built + shader, dir + "/" + shader);
    return ok;
}

// Runs this binary's first frame and pointing tests in a child process in
// `folder` (the escape and no room runs end before them); its exit status (-2
// after a crash or a hang) and all it wrote.
int runInChild(const QString& mode, const QString& folder, QString& output)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(folder);
    qputenv(childMode, mode.toUtf8());
    qputenv("QT_SCALE_FACTOR", mode == "scaled" ? "2" : "1");
    child.start(QCoreApplication::applicationFilePath(), {"firstPaintUploadsTexturesAndShowsTheRoom", "pointing"});
    qunsetenv(childMode);
    qunsetenv("QT_SCALE_FACTOR");
    const bool ended = child.waitForFinished(300000) && child.exitStatus() == QProcess::NormalExit;
    output = child.readAll();
    return ended ? child.exitCode() : -2;
}

// The warnings a test collects while it listens for them.
QStringList warnings;

// The view never swapping its buffers, so that a frame can be read back once drawn.
struct ProbedView : WidgetOpenGL
{
    ProbedView() { setAutoBufferSwap(false); }
};

} // namespace

class TestWidgetOpenGL : public QObject
{
    Q_OBJECT

    QTemporaryDir room;
    ProbedView* view = nullptr;
    QSignalSpy* progress = nullptr;
    QPointer<LoadingWindow> loadingWindow;

    QTimer* timer(const char* name) const { return view->findChild<QTimer*>(name); }

    Avatar startView() const
    {
        Avatar start;
        start.resetToStart(view->room());
        return start;
    }

    QImage frame()
    {
        view->updateGL();
        return view->grabFrameBuffer();
    }

    QPoint pixelOf(point3 world) const { return projectedPixel(view->camera(), view->size(), world); }

    // The colour a frame shows at a world point, in device pixels on a scaled display.
    QColor colourAt(const QImage& image, point3 world) const
    {
        return image.pixel(pixelOf(world) * view->devicePixelRatioF());
    }

    Detail detail(int id) const { return view->room().detailAt(view->room().indexOfDetail(id)); }

    // Moves the pointer over a world point and runs the mouse-over test at once.
    void pointAt(point3 world)
    {
        QMouseEvent move(QEvent::MouseMove, pixelOf(world), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        view->updateObjectUnderMouse();
    }

    // Steps of the pulse, as its timer would make them.
    void pulse(int steps)
    {
        for (int i = 0; i < steps; ++i)
            QMetaObject::invokeMethod(view, "updateBlink");
    }

private slots:
    void initTestCase();
    void init();
    void firstPaintUploadsTexturesAndShowsTheRoom();
    void pointing_data();
    void pointing();
    void pulseDarkensTheSelectedDetail();
    void glancesHighlightAndTurn();
    void flights_data();
    void flights();
    void keysReloadShadersAndDatabase_data();
    void keysReloadShadersAndDatabase();
    void liveReload_data();
    void liveReload();
    void childRuns_data();
    void childRuns();
};

void TestWidgetOpenGL::initTestCase()
{
    const QByteArray mode = qgetenv(childMode);
    if (mode != "escape" && mode != "no room")
        QVERIFY(room.isValid() && writeRoom(room.path()) && QDir::setCurrent(room.path()));
    if (mode == "broken room")
        QVERIFY(writeFile("data/Stanza.xml", "<room height='3'>\n<walls><section name='nord.jpg' he"));
    if (mode == "model outside the room")
        QVERIFY(writeFile("outside.obj", "v 0 0 0\n")
                && writeFile("data/Stanza.xml", "<room height='3'>\n<walls><ceiling model='../outside.obj'/></walls></room>"));
    WidgetOpenGL::setLoadingWindowMaker([]() -> QWidget* { return new LoadingWindow(); });
    view = new ProbedView();
    if (mode == "escape") {
        QTest::keyClick(view, Qt::Key_Escape);
        QFAIL("still running after Escape");
    }
    view->resize(480, 300);
    progress = new QSignalSpy(&view->room(), SIGNAL(loadingProgressSignal(float)));
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<LoadingWindow*>(widget))
            loadingWindow = window;
    QVERIFY(loadingWindow && loadingWindow->isVisible());
    // Every test draws and points in the room, which the first paint makes.
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QTRY_VERIFY(view->room().texturesUploaded && loadingWindow.isNull());
}

// The start view with nothing highlighted, no pulse, no glance on its way and
// no periodic mouse-over test to race the test's own.
void TestWidgetOpenGL::init()
{
    timer("pickTimer")->stop();
    view->ponderDetail(-1);
    view->ponderDetailLater(-1);
    if (WidgetOpenGL::lastVisitedDetail() != -1)
        view->goToDetail(-1);
    view->placeCamera(startView());
    // Entering a detail and leaving it: a highlight left by a glance goes too.
    pointAt(detail(100).box.center());
    pointAt(panelCentre);
    QVERIFY(view->highlightColor() == black && view->pulsePhase() == 0.0f && !timer("blinkTimer")->isActive());
}

// Every texture is made once, on the first paint, which reports its progress
// and closes the loading window; the start view then shows the room.
void TestWidgetOpenGL::firstPaintUploadsTexturesAndShowsTheRoom()
{
    QVERIFY(view->room().texturesUploaded && loadingWindow.isNull());
    const int n = view->room().sections.size();
    QCOMPARE(progress->size(), n + 1);
    for (int i = 0; i <= n; ++i)
        QCOMPARE(progress->at(i).at(0).toFloat(), i < n ? (i + 1) * 0.5f / n + 0.5f : 2.0f);
    const QImage image = frame();
    QCOMPARE(progress->size(), n + 1);
    const QColor panel = colourAt(image, panelCentre), floor = colourAt(image, floorUnderPanel);
    // The north panel's (40, 120, 60) within a few levels of JPEG; the floor plain grey.
    const int offPanel = qAbs(panel.red() - 40) + qAbs(panel.green() - 120) + qAbs(panel.blue() - 60);
    QVERIFY2(offPanel < 12, qPrintable(panel.name()));
    // Exactly the decoded image's colour there: pictures take no light and no tint.
    QCOMPARE(panel, QColor(QImage("data/nord.jpg").pixel(200, 100)));
    QVERIFY2(floor.saturation() == 0 && floor.value() > 60, qPrintable(floor.name()));
}

void TestWidgetOpenGL::pointing_data()
{
    QTest::addColumn<QVector<point3>>("before"); // where the pointer goes first
    QTest::addColumn<point3>("place");
    QTest::addColumn<point3>("colour");
    QTest::addColumn<int>("notified"); // -1: no notifyMouseOver
    const point3 lupo = detail(100).box.center(), airone = detail(101).box.center();
    QTest::newRow("floor under the panel") << QVector<point3>() << floorUnderPanel << black << -1;
    QTest::newRow("entering Lupo") << QVector<point3>{floorUnderPanel} << lupo << lupoColour << 100;
    QTest::newRow("moving to Lupo's top left corner")
        << QVector<point3>{lupo} << lupo + point3(-0.5f, 0.5f, 0) << lupoColour << -1;
    QTest::newRow("panel between the details") << QVector<point3>{lupo} << panelCentre << black << -1;
    QTest::newRow("Lupo again after leaving it") << QVector<point3>{lupo, panelCentre} << lupo << lupoColour << 100;
    QTest::newRow("Airone straight after Lupo") << QVector<point3>{lupo} << airone << aironeColour << 101;
    QTest::newRow("background above the walls") << QVector<point3>{airone} << sky << black << -1;
}

// The map pass reads exactly a detail's colour at its projected centre and
// black elsewhere; entering a detail notifies once and runs the pulse, which
// carries on from one detail to the next and stops off them.
void TestWidgetOpenGL::pointing()
{
    QFETCH(QVector<point3>, before);
    QFETCH(point3, place);
    QFETCH(point3, colour);
    QFETCH(int, notified);
    QTimer* blink = timer("blinkTimer");
    for (const point3& world : before)
        pointAt(world);
    if (blink->isActive())
        pulse(3); // under way, so that carrying on differs from starting again
    const float phase = view->pulsePhase();
    if (place == sky) { // looking up at it
        Avatar up = startView();
        up.pitch = 35.0f;
        view->placeCamera(up);
    }
    QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
    pointAt(place);
    const QPoint pointer = view->pointerPosition();
    QCOMPARE(view->readPixelColor(pointer.x(), pointer.y()), colour);
    QCOMPARE(entered.size(), notified < 0 ? 0 : 1);
    QVERIFY(notified < 0 || entered.first().at(0).toInt() == notified);
    QCOMPARE(blink->isActive(), colour != black);
    QCOMPARE(view->pulsePhase(), colour != black ? phase : 0.0f);
}

// The pulse darkens the selected detail alone; leaving the view stops it and
// the mouse-over tests, which a drag does not ask for either. The wheel zooms.
void TestWidgetOpenGL::pulseDarkensTheSelectedDetail()
{
    QTimer *blink = timer("blinkTimer"), *pick = timer("pickTimer"), *flight = timer("animationTimer");
    const point3 lupo = detail(100).box.center(), airone = detail(101).box.center();
    pointAt(lupo); // the pulse stands at 0
    pulse(1);
    QVERIFY(view->pulsePhase() == 0.4f && blink->interval() == 45); // 0.4 every 45 ms
    QTRY_VERIFY(view->pulsePhase() >= 1.2f);
    QEvent leave(QEvent::Leave), enter(QEvent::Enter);
    QApplication::sendEvent(view, &enter);
    QVERIFY(pick->isActive());
    QApplication::sendEvent(view, &leave);
    QVERIFY(!blink->isActive() && !pick->isActive() && view->pulsePhase() == 0.0f);
    // Lupo stays selected: undarkened at 0, then (1 - cos phase) / 4 darker, near half at 3.2.
    const QImage steady = frame();
    pulse(8);
    const float darkening = (1 - std::cos(view->pulsePhase())) / 4;
    QVERIFY(darkening > 0.49f);
    const QImage darkest = frame();
    const float expected = colourAt(steady, lupo).green() * (1 - darkening);
    QVERIFY(qAbs(colourAt(darkest, lupo).green() - expected) <= 1);
    QCOMPARE(colourAt(darkest, airone), colourAt(steady, airone));
    QApplication::sendEvent(view, &enter);
    QVERIFY(pick->isActive());
    // Dragged right and up onto Airone: turned left and tilted down, with no
    // mouse-over test and no flight, though the press on the selected Lupo began one.
    const QPoint onAirone = pixelOf(airone);
    QTest::mousePress(view, Qt::LeftButton, {}, onAirone + QPoint(-10, 5));
    QVERIFY(flight->isActive());
    QMouseEvent drag(QEvent::MouseMove, onAirone, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drag);
    QCOMPARE(QPointF(view->camera().yaw, view->camera().pitch), QPointF(1, -0.5));
    QVERIFY(!flight->isActive());
    QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
    view->updateObjectUnderMouse();
    QVERIFY(entered.isEmpty() && view->highlightColor() * 255.0f == lupoColour);
    QTest::mouseRelease(view, Qt::LeftButton, {}, onAirone);
    for (const int delta : {60, 240, -120}) { // half a notch does nothing, more is one step
        QWheelEvent wheel({50, 50}, {50, 50}, {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        const float fov = view->camera().fov;
        QApplication::sendEvent(view, &wheel);
        QCOMPARE(view->camera().fov, fov + (delta == 60 ? 0 : delta > 0 ? -2 : 2));
    }
}

// A name chosen in the panel glances at its detail: highlighted at once with
// the pulse from 0 and the camera turned toward it where it stands; or after
// the one-second glance delay.
void TestWidgetOpenGL::glancesHighlightAndTurn()
{
    QTimer *blink = timer("blinkTimer"), *glance = timer("glanceTimer");
    const point3 c = detail(101).box.center(), eye = view->cameraTarget().position;
    pointAt(detail(100).box.center());
    pulse(1); // Lupo's pulse under way
    view->ponderDetail(101);
    QVERIFY(view->isGlancing() && blink->isActive() && view->pulsePhase() == 0.0f);
    QCOMPARE(view->highlightColor() * 255.0f, aironeColour);
    QVERIFY(view->cameraTarget().position == eye && timer("animationTimer")->isActive());
    QCOMPARE(view->cameraTarget().yaw, float(std::atan2(eye.x - c.x, eye.z - c.z) * 180 / M_PI));
    view->ponderDetail(-1);
    QVERIFY(!view->isGlancing() && !blink->isActive());
    view->ponderDetailLater(100);
    QVERIFY(glance->isSingleShot() && glance->interval() == 1000 && !view->isGlancing());
    QTRY_VERIFY_WITH_TIMEOUT(view->isGlancing(), 3000);
    QCOMPARE(view->highlightColor() * 255.0f, lupoColour);
    view->ponderDetailLater(-1);
    QVERIFY(!view->isGlancing() && !blink->isActive());
}

void TestWidgetOpenGL::flights_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("byClick"); // a left click anywhere, after pointing at the detail
    QTest::newRow("goToDetail Lupo") << 100 << false;
    QTest::newRow("left click on the highlighted Airone") << 101 << true;
    QTest::newRow("id the scene does not know") << 9999 << false;
    QTest::newRow("detail on no section") << 200 << false;
}

// The camera flies until it is in front of the detail; a right click returns
// to the start view turned toward it, a second right click changes nothing.
void TestWidgetOpenGL::flights()
{
    QFETCH(int, id);
    QFETCH(bool, byClick);
    QTimer* flight = timer("animationTimer");
    const point3 start = view->room().startPoint();
    const bool placed = id < 200;
    const Detail d = placed ? detail(id) : Detail();
    const point3 c = d.box.center();
    QTest::ignoreMessage(QtDebugMsg, qPrintable(QString("GO TO DETAIL %1").arg(id)));
    for (int i = 0; i < (id == 200 ? 2 : 0); ++i) // going there, then turning toward it
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("lies on no wall section"));
    if (byClick)
        pointAt(c);
    byClick ? QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 10)) : view->goToDetail(id);
    QCOMPARE(WidgetOpenGL::lastVisitedDetail(), id);
    // The box centre less the normal times top / (2 tan 60) in a wide window.
    const point3 front = c - d.normal() * (d.maxCorner.y / (2 * std::tan(float(M_PI) / 3)));
    QVERIFY((view->cameraTarget().position - (placed ? front : start)).length() < 1e-4f);
    QCOMPARE(view->cameraTarget().fov, placed ? 60.0f : 85.0f);
    QTRY_VERIFY_WITH_TIMEOUT(!flight->isActive(), 10000);

    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(WidgetOpenGL::lastVisitedDetail(), -1);
    const Avatar back = view->cameraTarget();
    QVERIFY(back.position == start && back.fov == 85.0f);
    QCOMPARE(back.yaw, placed ? float(std::atan2(start.x - c.x, start.z - c.z) * 180 / M_PI) : 0.0f);
    QTRY_VERIFY_WITH_TIMEOUT(!flight->isActive(), 10000);
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
    QVERIFY(view->cameraTarget().position == back.position && view->cameraTarget().yaw == back.yaw);
}

void TestWidgetOpenGL::keysReloadShadersAndDatabase_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("pointable");
    QTest::newRow("S with a fragment shader that does not compile") << "tapestry.fragment.glsl"
        << QByteArray("#version 120\nvoid main() { not glsl }\n") << "tapestry.fragment.glsl does not compile: .+"
        << true;
    // Without the pick pass's program nothing is pointable, rather than everything.
    QTest::newRow("S without a vertex shader") << "map.vertex.glsl" << QByteArray() << "map.vertex.glsl is missing"
        << false;
}

// S drops the programs and the next frame builds them again from the files:
// one warning for a broken file while frames and mouse-over tests go on. F5
// reads the database again.
void TestWidgetOpenGL::keysReloadShadersAndDatabase()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    QFETCH(QString, warning);
    QFETCH(bool, pointable);
    QVERIFY(QFile::rename(file, file + ".saved"));
    QVERIFY(text.isEmpty() || writeFile(file, text));
    QTest::ignoreMessage(QtDebugMsg, "Reload Shaders!");
    QTest::keyClick(view, Qt::Key_S);
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtWarningMsg)
                warnings << message;
        });
    frame();
    QSignalSpy mouseOver(view, SIGNAL(notifyMouseOver(int)));
    pointAt(detail(101).box.center());
    pointAt(detail(100).box.center());
    frame();
    qInstallMessageHandler(previous);
    QCOMPARE(warnings.size(), pointable ? 1 : 2);
    QVERIFY2(warnings[0].contains(QRegularExpression("^Shader program .*" + warning)), qPrintable(warnings[0]));
    QCOMPARE(mouseOver.size(), pointable ? 2 : 0);
    QCOMPARE(view->cursor().shape(), pointable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QVERIFY(pointable || warnings[1] == "The \"map\" program is not linked: nothing in the view can be pointed at");
    QVERIFY((QFile::remove(file) || text.isEmpty()) && QFile::rename(file + ".saved", file));
    QTest::keyClick(view, Qt::Key_S);
    frame();
    QVERIFY(view->shaderProgramsLinked());
    QVERIFY(writeFile("data/determinazioni.csv", database + "2;2;B;Uccelli;Airone;Ardea;Media;Un airone;;nota\n"));
    QTest::keyClick(view, Qt::Key_F5);
    QCOMPARE(view->animals().records.size(), 2);
}

void TestWidgetOpenGL::liveReload_data()
{
    QTest::addColumn<bool>("byRename"); // saved as editors do: a new file renamed over the old
    QTest::newRow("rewritten in place") << false;
    QTest::newRow("saved by rename") << true;
}

// The database is read again once it has stayed unchanged for two seconds, a
// change meanwhile starting the wait again; the watch outlives the rename.
void TestWidgetOpenGL::liveReload()
{
    QFETCH(bool, byRename);
    const auto save = [byRename](const QByteArray& bytes) {
        if (!byRename)
            return writeFile("data/determinazioni.csv", bytes);
        QSaveFile file("data/determinazioni.csv");
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    };
    QTimer* quiet = timer("reloadTimer");
    QTest::qWait(50); // changes made by the tests before
    quiet->stop();
    QSignalSpy reloaded(view, SIGNAL(databaseReloaded()));
    const QByteArray airone = "2;2;B;Uccelli;Airone;Ardea;Media;Un airone;;nota\n";

    QVERIFY(save(database + airone));
    QTRY_VERIFY(quiet->isActive());
    QCOMPARE(quiet->interval(), 2000);
    QTest::qWait(1000);
    QVERIFY(save(database + airone + airone));
    QTRY_VERIFY(quiet->remainingTime() > 1500);
    QVERIFY(reloaded.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(reloaded.size(), 1, 5000);
    QCOMPARE(view->animals().records.size(), 3);

    QVERIFY(save(database));
    QTRY_COMPARE_WITH_TIMEOUT(reloaded.size(), 2, 5000);
    QCOMPARE(view->animals().records.size(), 1);
}

void TestWidgetOpenGL::childRuns_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("absent");
    const QString folderAdvice = "start the program from the folder that holds data/";
    QTest::newRow("Escape ends with 0") << "escape" << 0 << "" << "";
    // The path tried and the folder it was tried in, for the curator; the
    // missing database before it only warns.
    QTest::newRow("missing scene ends with -1") << "no room" << 255
        << "Animal database data/determinazioni.csv \\(working directory %1\\): cannot be opened \\(No such file or "
           "directory\\); the kiosk starts without animals\n(.|\n)*Error!!! -.-\"\n(.|\n)*data/Stanza.xml.*%1.*"
           + folderAdvice << "";
    // Where the file breaks off, and no word about folders.
    QTest::newRow("scene cut mid-element ends with -1") << "broken room" << 255
        << "The scene file data/Stanza.xml is not readable XML: .+ at line 2, column \\d+\n.*Error!!! -.-\"" << folderAdvice;
    // A model named outside the room folder is a model that cannot be read.
    QTest::newRow("model outside the room ends with -2") << "model outside the room" << 254
        << "Scene file line 2: <ceiling model=\"../outside.obj\"> names a path out of the room folder; "
           "the file is not read\n(.|\n)*Error!!! -.-\"\n(.|\n)*Cannot read the model file \"data/../outside.obj\"" << "";
    QTest::newRow("scaled display: frame and pointing in device pixels") << "scaled" << 0 << "" << "";
}

void TestWidgetOpenGL::childRuns()
{
    QFETCH(QString, mode);
    QFETCH(int, status);
    QFETCH(QString, expected);
    QFETCH(QString, absent);
    QTemporaryDir empty;
    const QString folder = mode == "escape" ? room.path() : empty.path();
    QString output;
    QCOMPARE(runInChild(mode, folder, output), status);
    expected.replace("%1", QRegularExpression::escape(folder));
    QVERIFY2(output.contains(QRegularExpression(expected)), qPrintable(output));
    QVERIFY2(absent.isEmpty() || !output.contains(absent), qPrintable(output));
}

QTEST_MAIN(TestWidgetOpenGL)
#include "tst_widgetopenGL.moc"
