#include "widgetopenGL.h"

#include "loadingwindow.h"
#include "scene.h"
#include "testgeometry.h"
#include "viewprojection.h"

#include <QtTest>
#include <QApplication>
#include <QPainter>

#include <cmath>

namespace {

// What a child run of this binary is for: "escape" and "no room" run in the
// folder they are given, "scaled" on a display scaled by 2; a scene text runs
// in a room of its own with that scene file.
const char* const childMode = "PELLAVIO_VIEW_CHILD";
const point3 black, lupoColour(200, 40, 10), aironeColour(10, 200, 40);
// From the start view: the north panel's centre between the details, the floor
// through the gap under that panel, and a point above every wall.
const point3 panelCentre(2, 2, 0), floorUnderPanel(2, 0, -1.5f), sky(2, 12, -2);
const QString csv = "data/determinazioni.csv";
const QByteArray database = "intestazione\n\n\n\n1;1;B;Mammiferi;Lupo;Canis lupus;Buona;Un lupo;;nota\n";
const QByteArray aironeRecord = "2;2;B;Uccelli;Airone;Ardea;Media;Un airone;;nota\n";
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

// Written in place, or saved as editors do: a new file renamed over the old.
bool writeFile(const QString& path, const QByteArray& bytes, bool byRename = false)
{
    QFile inPlace(path);
    QSaveFile renamed(path);
    QFileDevice& file = byRename ? static_cast<QFileDevice&>(renamed) : inPlace;
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
           && (!byRename || renamed.commit());
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
              && writeFile(data + "soffitto.obj", "") && writeFile(dir + "/" + csv, database)
              && saveImage(data + "nord.jpg", QColor(40, 120, 60)) && saveImage(data + "blank.png", Qt::black)
              && saveImage(data + "nord.png", Qt::black, true);
    for (const char* name : {"est", "sud", "ovest"})
        ok = ok && saveImage(data + name + ".jpg", QColor(150, 90, 40));
    for (const QString& shader : QDir(built).entryList({"*.glsl"}))
        ok = ok && QFile::copy(built + shader, dir + "/" + shader);
    return ok;
}

// The warnings a test collects while it listens for them.
QStringList warnings;
void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        warnings << message;
}

QPointer<LoadingWindow> loadingWindow;

// The view never swapping its buffers, so that a frame can be read back once drawn.
struct ProbedView : WidgetOpenGL { ProbedView() { setAutoBufferSwap(false); } };

} // namespace

class TestWidgetOpenGL : public QObject
{
    Q_OBJECT

    QTemporaryDir room;
    ProbedView* view = nullptr;
    QSignalSpy* progress = nullptr;
    point3 lupo, airone; // the details' centres
    // Pictures with their textures and without their decoded panels once the view is made.
    int picturesOnCardBeforePaint = 0;
    int pictures = 0;

    QTimer* timer(const char* name) const { return view->findChild<QTimer*>(name); }
    QImage frame() { view->updateGL(); return view->grabFrameBuffer(); }
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
    void pulse(int steps) { while (steps-- > 0) QMetaObject::invokeMethod(view, "updateBlink"); }

private slots:
    void initTestCase()
    {
        const QByteArray mode = qgetenv(childMode);
        if (mode != "escape" && mode != "no room")
            QVERIFY(room.isValid() && writeRoom(room.path()) && QDir::setCurrent(room.path()));
        if (mode.startsWith('<'))
            QVERIFY(writeFile("outside.obj", "v 0 0 0\n") && writeFile("data/Stanza.xml", mode));
        WidgetOpenGL::setLoadingWindowMaker([]() -> QWidget* { return loadingWindow = new LoadingWindow(); });
        view = new ProbedView();
        for (const Section& section : view->room().sections) {
            for (const Picture& picture : section.pictures) {
                ++pictures;
                picturesOnCardBeforePaint += picture.texture != Picture::noTexture && picture.image.isNull();
            }
        }
        if (mode == "escape")
            QTest::keyClick(view, Qt::Key_Escape);
        QVERIFY2(mode != "escape", "still running after Escape");
        view->resize(480, 300);
        progress = new QSignalSpy(&view->room(), SIGNAL(loadingProgressSignal(float)));
        QVERIFY(loadingWindow && loadingWindow->isVisible());
        // Every test draws and points in the room, which the first paint makes.
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QTRY_VERIFY(view->room().texturesUploaded && loadingWindow.isNull());
        lupo = detail(100).box.center();
        airone = detail(101).box.center();
    }

    // The start view with nothing highlighted, no pulse, no glance on its way and
    // no periodic mouse-over test to race the test's own.
    void init()
    {
        timer("pickTimer")->stop();
        view->ponderDetail(-1);
        view->ponderDetailLater(-1);
        if (WidgetOpenGL::lastVisitedDetail() != -1)
            view->goToDetail(-1);
        view->placeCamera({0, 0, 85, view->room().startPoint()});
        // Entering a detail and leaving it: a highlight left by a glance goes too.
        pointAt(lupo);
        pointAt(panelCentre);
        QVERIFY(view->highlightColor() == black && !view->pulsePhase() && !timer("blinkTimer")->isActive());
    }

    // Every texture is made as its section is read; the first paint reports the
    // progress as it always has and closes the loading window; the start view
    // then shows the room.
    void firstPaintUploadsTexturesAndShowsTheRoom()
    {
        QCOMPARE(picturesOnCardBeforePaint, pictures);
        QCOMPARE(pictures, 4);
        QList<float> fractions;
        for (const QVariantList& signal : *progress)
            fractions << signal.at(0).toFloat();
        QCOMPARE(fractions, (QList<float>{0.625f, 0.75f, 0.875f, 1.0f, 2.0f}));
        const QImage image = frame();
        QCOMPARE(progress->size(), 5);
        // Exactly the decoded image's colour there: pictures take no light and no tint.
        QCOMPARE(colourAt(image, panelCentre), QColor(QImage("data/nord.jpg").pixel(200, 100)));
        const QColor floor = colourAt(image, floorUnderPanel);
        QVERIFY2(floor.saturation() == 0 && floor.value() > 60, qPrintable(floor.name()));
    }

    void pointing_data()
    {
        QTest::addColumn<QVector<point3>>("before"); // where the pointer goes first
        QTest::addColumn<point3>("place");
        QTest::addColumn<point3>("colour");
        QTest::addColumn<int>("notified"); // -1: no notifyMouseOver
        QTest::newRow("floor under the panel") << QVector<point3>() << floorUnderPanel << black << -1;
        QTest::newRow("entering Lupo") << QVector<point3>{floorUnderPanel} << lupo << lupoColour << 100;
        QTest::newRow("moving to Lupo's top left corner")
            << QVector<point3>{lupo} << lupo + point3(-0.5f, 0.5f, 0) << lupoColour << -1;
        QTest::newRow("panel between the details") << QVector<point3>{lupo} << panelCentre << black << -1;
        QTest::newRow("Lupo again after leaving it")
            << QVector<point3>{lupo, panelCentre} << lupo << lupoColour << 100;
        QTest::newRow("Airone straight after Lupo") << QVector<point3>{lupo} << airone << aironeColour << 101;
        QTest::newRow("background above the walls") << QVector<point3>{airone} << sky << black << -1;
    }

    // The map pass reads exactly a detail's colour at its projected centre and
    // black elsewhere; entering a detail notifies once and runs the pulse, which
    // carries on from one detail to the next and stops off them.
    void pointing()
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
        if (place == sky) // looking up at it
            view->placeCamera({0, 35, 85, view->room().startPoint()});
        QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
        pointAt(place);
        QCOMPARE(view->readPixelColor(view->pointerPosition().x(), view->pointerPosition().y()), colour);
        QCOMPARE(entered.size(), notified < 0 ? 0 : 1);
        QVERIFY(notified < 0 || entered.first().at(0).toInt() == notified);
        QCOMPARE(blink->isActive(), colour != black);
        QCOMPARE(view->pulsePhase(), colour != black ? phase : 0.0f);
    }

    // The pulse darkens the selected detail alone; leaving the view stops it and
    // the mouse-over tests, which a drag does not ask for either. The wheel zooms.
    void pulseDarkensTheSelectedDetail()
    {
        QTimer *blink = timer("blinkTimer"), *pick = timer("pickTimer"), *flight = timer("animationTimer");
        pointAt(lupo); // the pulse stands at 0
        pulse(1);
        QVERIFY(view->pulsePhase() == 0.4f && blink->interval() == 45); // 0.4 every 45 ms
        QTRY_VERIFY(view->pulsePhase() >= 1.2f);
        QEvent leave(QEvent::Leave), enter(QEvent::Enter);
        QApplication::sendEvent(view, &enter);
        QVERIFY(pick->isActive());
        QApplication::sendEvent(view, &leave);
        QVERIFY(!blink->isActive() && !pick->isActive() && view->pulsePhase() == 0.0f);
        // Lupo stays selected: undarkened at 0, then (1 - cos phase) / 4 darker, just under half at 3.2.
        const QImage steady = frame();
        pulse(8);
        const QImage darkest = frame();
        QVERIFY(qAbs(colourAt(darkest, lupo).green() - colourAt(steady, lupo).green() * 0.5004f) <= 1);
        QCOMPARE(colourAt(darkest, airone), colourAt(steady, airone));
        QApplication::sendEvent(view, &enter);
        QVERIFY(pick->isActive());
        // Dragged right and up onto Airone: turned left and tilted down, with no
        // mouse-over test and no flight, though the press on the selected Lupo began one.
        QTest::mousePress(view, Qt::LeftButton, {}, pixelOf(airone) + QPoint(-10, 5));
        QVERIFY(flight->isActive());
        QMouseEvent drag(QEvent::MouseMove, pixelOf(airone), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drag);
        QCOMPARE(QPointF(view->camera().yaw, view->camera().pitch), QPointF(1, -0.5));
        QVERIFY(!flight->isActive());
        QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
        view->updateObjectUnderMouse();
        QVERIFY(entered.isEmpty() && view->highlightColor() * 255.0f == lupoColour);
        QTest::mouseRelease(view, Qt::LeftButton, {}, drag.pos());
        for (const int delta : {60, 240, -120}) { // half a notch does nothing, more is one step
            QWheelEvent wheel({50, 50}, {50, 50}, {}, {0, delta}, {}, {}, Qt::NoScrollPhase, false);
            const float fov = view->camera().fov;
            QApplication::sendEvent(view, &wheel);
            QCOMPARE(view->camera().fov, fov + (delta == 60 ? 0 : delta > 0 ? -2 : 2));
        }
    }

    // A name chosen in the panel glances at its detail: highlighted at once with
    // the pulse from 0 and the camera turned toward it where it stands; or after
    // the one-second glance delay.
    void glancesHighlightAndTurn()
    {
        QTimer *blink = timer("blinkTimer"), *glance = timer("glanceTimer");
        pointAt(lupo);
        pulse(1); // Lupo's pulse under way
        view->ponderDetail(101);
        QVERIFY(view->isGlancing() && blink->isActive() && view->pulsePhase() == 0.0f);
        QCOMPARE(view->highlightColor() * 255.0f, aironeColour);
        QVERIFY(view->cameraTarget().position == view->room().startPoint()); // turned where it stands
        QVERIFY(timer("animationTimer")->isActive());
        QCOMPARE(view->cameraTarget().yaw, -26.335415f); // as seen from the start
        view->ponderDetail(-1);
        QVERIFY(!view->isGlancing() && !blink->isActive());
        view->ponderDetailLater(100);
        QVERIFY(glance->isSingleShot() && glance->interval() == 1000 && !view->isGlancing());
        QTRY_VERIFY_WITH_TIMEOUT(view->isGlancing(), 3000);
        QCOMPARE(view->highlightColor() * 255.0f, lupoColour);
        view->ponderDetailLater(-1);
        QVERIFY(!view->isGlancing() && !blink->isActive());
    }

    void flights_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("byClick"); // a left click anywhere, after pointing at the detail
        QTest::addColumn<point3>("front"); // the box centre less the normal times top / (2 tan 60)
        QTest::addColumn<float>("yawBack"); // at the start, turned toward the detail
        const point3 start(2, 1.7f, 2);
        QTest::newRow("goToDetail Lupo") << 100 << false << point3(0.99f, 1.99f, 0.744782f) << 26.79377f;
        QTest::newRow("left click on the highlighted Airone")
            << 101 << true << point3(2.99f, 1.99f, 0.744782f) << -26.335415f;
        QTest::newRow("id the scene does not know") << 9999 << false << start << 0.0f;
        QTest::newRow("detail on no section") << 200 << false << start << 0.0f;
    }

    // The camera flies until it is in front of the detail; a right click returns
    // to the start view turned toward it, a second right click changes nothing.
    void flights()
    {
        QFETCH(int, id);
        QFETCH(bool, byClick);
        QFETCH(point3, front);
        QTimer* flight = timer("animationTimer");
        const point3 start = view->room().startPoint();
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QString("GO TO DETAIL %1").arg(id)));
        for (int i = 0; i < (id == 200 ? 2 : 0); ++i) // going there, then turning toward it
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("lies on no wall section"));
        if (byClick)
            pointAt(airone);
        byClick ? QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 10)) : view->goToDetail(id);
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), id);
        QVERIFY((view->cameraTarget().position - front).length() < 1e-4f);
        QCOMPARE(view->cameraTarget().fov, id < 200 ? 60.0f : 85.0f);
        QTRY_VERIFY_WITH_TIMEOUT(!flight->isActive(), 10000);

        QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), -1);
        const Avatar back = view->cameraTarget();
        QVERIFY(back.position == start && back.fov == 85.0f);
        QTEST(back.yaw, "yawBack");
        QTRY_VERIFY_WITH_TIMEOUT(!flight->isActive(), 10000);
        QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(view->cameraTarget().position == back.position && view->cameraTarget().yaw == back.yaw);
    }

    void keysReloadShaders_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("pointable");
        QTest::newRow("S with a fragment shader that does not compile") << "tapestry.fragment.glsl"
            << QByteArray("#version 120\nvoid main() { not glsl }\n")
            << "tapestry.fragment.glsl does not compile: .+" << true;
        // Without the pick pass's program nothing is pointable, rather than everything.
        QTest::newRow("S without a vertex shader") << "map.vertex.glsl" << QByteArray()
            << "map.vertex.glsl is missing\nThe \"map\" program is not linked: "
               "nothing in the view can be pointed at$" << false;
    }

    // S drops the programs and the next frame builds them again from the files:
    // one warning for a broken file while frames and mouse-over tests go on.
    void keysReloadShaders()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QString, warning);
        QFETCH(bool, pointable);
        QVERIFY(QFile::rename(file, file + ".saved") && (text.isEmpty() || writeFile(file, text)));
        QTest::ignoreMessage(QtDebugMsg, "Reload Shaders!");
        QTest::keyClick(view, Qt::Key_S);
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
        frame();
        QSignalSpy mouseOver(view, SIGNAL(notifyMouseOver(int)));
        pointAt(airone);
        pointAt(lupo);
        frame();
        qInstallMessageHandler(previous);
        QCOMPARE(warnings.size(), pointable ? 1 : 2);
        const QString said = warnings.join('\n');
        QVERIFY2(said.contains(QRegularExpression("^Shader program .*" + warning)), qPrintable(said));
        QCOMPARE(mouseOver.size(), pointable ? 2 : 0);
        QCOMPARE(view->cursor().shape(), pointable ? Qt::PointingHandCursor : Qt::ArrowCursor);
        QVERIFY((QFile::remove(file) || text.isEmpty()) && QFile::rename(file + ".saved", file));
        QTest::keyClick(view, Qt::Key_S);
        frame();
        QVERIFY(view->shaderProgramsLinked());
    }

    void liveReload_data()
    {
        QTest::addColumn<bool>("byRename");
        QTest::newRow("rewritten in place") << false;
        QTest::newRow("saved by rename") << true;
    }

    // The database is read again once it has stayed unchanged for two seconds, a
    // change meanwhile starting the wait again; the watch outlives the rename.
    void liveReload()
    {
        QFETCH(bool, byRename);
        QTimer* quiet = timer("reloadTimer");
        QTest::qWait(50); // changes made by the tests before
        quiet->stop();
        QSignalSpy reloaded(view, SIGNAL(databaseReloaded()));
        QVERIFY(writeFile(csv, database + aironeRecord, byRename));
        QTRY_VERIFY(quiet->isActive());
        QCOMPARE(quiet->interval(), 2000);
        QTest::qWait(1000);
        QVERIFY(writeFile(csv, database + aironeRecord + aironeRecord, byRename));
        QTRY_VERIFY(quiet->remainingTime() > 1500);
        QVERIFY(reloaded.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.size(), 1, 5000);
        QCOMPARE(view->animals().records.size(), 3);
        QVERIFY(writeFile(csv, database, byRename));
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.size(), 2, 5000);
        QCOMPARE(view->animals().records.size(), 1);
    }

    void childRuns_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        const QString folderAdvice = "start the program from the folder that holds data/";
        QTest::newRow("Escape ends with 0") << "escape" << 0 << "";
        // The path tried and the folder it was tried in, for the curator; the
        // missing database before it only warns.
        QTest::newRow("missing scene ends with -1") << "no room" << 255
            << "Animal database data/determinazioni.csv \\(working directory %1\\): cannot be opened "
               "\\(No such file or directory\\); the kiosk starts without animals\n(.|\n)*Error!!! -.-\"\n"
               "(.|\n)*data/Stanza.xml.*%1.*" + folderAdvice;
        // Where the file breaks off, and no word about folders.
        QTest::newRow("scene cut mid-element ends with -1")
            << "<room height='3'>\n<walls><section name='nord.jpg' he" << 255
            << "^(?!(.|\n)*" + folderAdvice + ")(.|\n)*The scene file data/Stanza.xml is not readable XML: "
               ".+ at line 2, column \\d+\n.*Error!!! -.-\"";
        // A model named outside the room folder is a model that cannot be read.
        QTest::newRow("model outside the room ends with -2")
            << "<room height='3'>\n<walls><ceiling model='../outside.obj'/></walls></room>" << 254
            << "Scene file line 2: <ceiling model=\"../outside.obj\"> names a path out of the room folder; "
               "the file is not read\n(.|\n)*Error!!! -.-\"\n(.|\n)*Cannot read the model file "
               "\"data/../outside.obj\"";
        QTest::newRow("scaled display: frame and pointing in device pixels") << "scaled" << 0 << "";
    }

    // This binary's first frame and pointing tests, run in a child process in a
    // folder of its own (the escape and no room runs end before them).
    void childRuns()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expected);
        QTemporaryDir empty;
        const QString folder = mode == "escape" ? room.path() : empty.path();
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.setWorkingDirectory(folder);
        qputenv(childMode, mode.toUtf8());
        qputenv("QT_SCALE_FACTOR", mode == "scaled" ? "2" : "1");
        child.start(QCoreApplication::applicationFilePath(),
                    {"firstPaintUploadsTexturesAndShowsTheRoom", "pointing"});
        const bool ended = child.waitForFinished(300000) && child.exitStatus() == QProcess::NormalExit;
        QTEST(ended ? child.exitCode() : -2, "status"); // -2 after a crash or a hang
        const QString output = child.readAll();
        expected.replace("%1", QRegularExpression::escape(folder));
        QVERIFY2(output.contains(QRegularExpression(expected)), qPrintable(output));
    }
};

QTEST_MAIN(TestWidgetOpenGL)
#include "tst_widgetopenGL.moc"
