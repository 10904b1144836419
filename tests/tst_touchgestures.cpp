#include "touchgestures.h"

#include "scene.h"
#include "testgeometry.h"
#include "widgetopenGL.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

namespace {

// A butterfly on the second north panel of the demo room.
const int butterfly = 102;

} // namespace

// The fingers on the view of the demo room, side by side with the mouse and
// the wheel they stand in for.
class TestTouchGestures : public QObject
{
    Q_OBJECT

    WidgetOpenGL* view = nullptr;
    QTouchDevice* screen = nullptr;
    QTimer* flight = nullptr;
    QTimer* blink = nullptr;
    Avatar facing; // square in front of the butterfly, which lies at the view's centre

    QPoint centre() const { return view->rect().center(); }
    Detail detail(int id) const { return view->room().detailAt(view->room().indexOfDetail(id)); }

    // Each finger down where its path begins and up where the first finger's ends.
    void touch(const QVector<QPoint>& finger, const QVector<QPoint>& second = {})
    {
        auto fingers = QTest::touchEvent(view, screen, false);
        const int last = finger.size() - 1;
        for (int i = 0; i <= last; ++i) {
            for (int id = 0; id < (second.isEmpty() ? 1 : 2); ++id) {
                const QPoint at = (id == 0 ? finger : second).value(i, (id == 0 ? finger : second).last());
                i == 0 ? fingers.press(id, at, view)
                       : i == last ? fingers.release(id, at, view) : fingers.move(id, at, view);
            }
            fingers.commit();
        }
    }
    void tap(const QPoint& at) { touch({at, at}); }

    void pointAt(const QPoint& at, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }

    void mouseDrag(const QVector<QPoint>& path)
    {
        QTest::mousePress(view, Qt::LeftButton, {}, path.first());
        for (const QPoint& at : path.mid(1))
            pointAt(at, Qt::LeftButton);
        QTest::mouseRelease(view, Qt::LeftButton, {}, path.last());
    }

    void wheel(int notches)
    {
        for (int i = 0; i < qAbs(notches); ++i) {
            QWheelEvent notch(centre(), view->mapToGlobal(centre()), {}, {0, notches > 0 ? 120 : -120},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &notch);
        }
    }

private slots:
    void initTestCase()
    {
        screen = QTest::createTouchDevice();
        view = new WidgetOpenGL();
        view->resize(480, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QTRY_VERIFY(view->room().texturesUploaded);
        flight = view->findChild<QTimer*>("animationTimer");
        blink = view->findChild<QTimer*>("blinkTimer");
        QVERIFY(facing.setInFrontOf(detail(butterfly), float(view->width()) / view->height()));
    }

    // In front of the butterfly, nothing highlighted, no flight and no periodic
    // mouse-over test, the pointer resting in a corner.
    void init()
    {
        view->findChild<QTimer*>("pickTimer")->stop();
        view->returnToStart();
        view->placeCamera(facing);
        pointAt(QPoint(1, 1));
        QCOMPARE(view->highlightColor(), point3());
    }

    // A tap fills the panel and pulses at once, where no pointer rested; a second
    // tap on the pulsing butterfly flies there, as a click does.
    void tapPicksAtOnceAndSecondTapFlies()
    {
        Avatar wider = facing;
        wider.fov = 70.0f; // the butterfly still at the centre, the flight still to come
        view->placeCamera(wider);
        QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
        tap(centre());
        QCOMPARE(entered.size(), 1);
        QCOMPARE(entered.first().at(0).toInt(), butterfly);
        QCOMPARE(view->highlightColor() * 255.0f, detail(butterfly).color);
        QVERIFY(blink->isActive() && !flight->isActive());
        QCOMPARE(view->pointerPosition(), QPoint(1, 1));

        QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL 102");
        tap(centre() + QPoint(2, 1));
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), butterfly);
        QTRY_VERIFY_WITH_TIMEOUT(!flight->isActive(), 10000);
        QCOMPARE(view->camera().position, facing.position);
        QCOMPARE(view->camera().fov, 60.0f);
        QCOMPARE(entered.size(), 1);
    }

    void fingersMoveAsMouseAndWheel_data()
    {
        QTest::addColumn<float>("fov");
        QTest::addColumn<QVector<QPoint>>("finger");
        QTest::addColumn<QVector<QPoint>>("second"); // none: a drag, else a pinch
        QTest::addColumn<int>("notches"); // the wheel's part of a pinch
        QTest::addColumn<QVector3D>("after"); // turned yaw, pitch and field of view, degrees
        const QPoint c = centre();
        const auto drag = [](const char* name, const QVector<QPoint>& path, float yaw, float pitch) {
            QTest::newRow(name) << 85.0f << path << QVector<QPoint>() << 0 << QVector3D(yaw, pitch, 85);
        };
        drag("drag right, in three moves", {c, c + QPoint(15, 0), c + QPoint(40, 0), c + QPoint(60, 0)}, 6, 0);
        drag("drag down and left, one move", {c, c + QPoint(-30, 50)}, -3, 5);
        drag("drag back where it began", {c, c + QPoint(0, 80), c}, 0, 0);
        // Each 5 % of spread is one wheel notch, taken while the fingers move, with
        // the wheel's limits and its step back at 90 degrees.
        const auto pinch = [&](const char* name, float fov, int from, int to, int notches, float after) {
            QVector<QPoint> left, right;
            for (int i = 0; i <= 10; ++i) {
                const int half = (from + (to - from) * i / 10) / 2;
                left << c - QPoint(half, 0);
                right << c + QPoint(half, 0);
            }
            QTest::newRow(name) << fov << left << right << notches << QVector3D(0, 0, after);
        };
        pinch("spread to twice: 14 steps in", 85.0f, 100, 200, 14, 57);
        pinch("pinched to a half: 14 steps out", 50.0f, 200, 100, -14, 78);
        pinch("just short of a step", 85.0f, 100, 104, 0, 85);
        pinch("spread wide stops at 10 degrees", 20.0f, 60, 400, 38, 10);
        pinch("pinched at the widest angle steps back", 84.0f, 300, 100, -22, 90);
    }

    // The finger turns by the whole way from where it went down, as the mouse
    // turns from where it was pressed; a pinch zooms as the wheel does.
    void fingersMoveAsMouseAndWheel()
    {
        QFETCH(float, fov);
        QFETCH(QVector<QPoint>, finger);
        QFETCH(QVector<QPoint>, second);
        QFETCH(int, notches);
        Avatar start = facing;
        start.fov = fov;
        view->placeCamera(start);
        QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
        second.isEmpty() ? mouseDrag(finger) : wheel(notches);
        const Avatar byMouse = view->camera();
        view->placeCamera(start);
        touch(finger, second);
        const Avatar& byTouch = view->camera();
        QCOMPARE(QVector3D(byTouch.yaw, byTouch.pitch, byTouch.fov),
                 QVector3D(byMouse.yaw, byMouse.pitch, byMouse.fov));
        QCOMPARE(byTouch.position, byMouse.position);
        QTEST(QVector3D(byTouch.yaw - start.yaw, byTouch.pitch, byTouch.fov), "after");
        // A drag or a pinch is no tap, and never a flight.
        QVERIFY(entered.isEmpty() && view->highlightColor() == point3() && WidgetOpenGL::lastVisitedDetail() == -1);
    }

    void twoFingerTapFliesBack_data()
    {
        QTest::addColumn<QPoint>("slide"); // both fingers, the same way
        QTest::addColumn<bool>("back");
        QTest::newRow("two still fingers") << QPoint(0, 0) << true;
        QTest::newRow("two fingers that hardly slide") << QPoint(3, -3) << true;
        QTest::newRow("two fingers sliding away") << QPoint(40, 0) << false;
    }

    void twoFingerTapFliesBack()
    {
        QFETCH(QPoint, slide);
        QFETCH(bool, back);
        view->goToDetail(butterfly);
        const Avatar there = view->cameraTarget();
        const QPoint a = centre() - QPoint(50, 0), b = centre() + QPoint(50, 0);
        if (back)
            QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL -1");
        touch({a, a + slide, a + slide}, {b, b + slide, b + slide});
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), back ? -1 : butterfly);
        Avatar start;
        start.resetToStart(view->room());
        QCOMPARE(view->cameraTarget().position, back ? start.position : there.position);
        QCOMPARE(view->cameraTarget().fov, back ? 85.0f : 60.0f);
    }

    // Whichever of finger and pointer picked last holds the highlight: a tap on the
    // floor clears it, a tap on what the pointer highlighted flies there, a click
    // where a tap highlighted.
    void touchAndMouseInterleaved()
    {
        QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
        pointAt(centre());
        view->updateObjectUnderMouse();
        Avatar down = facing;
        down.pitch = -70.0f;
        view->placeCamera(down);
        tap(centre());
        QVERIFY(view->highlightColor() == point3() && !blink->isActive());
        view->placeCamera(facing);
        pointAt(centre());
        view->updateObjectUnderMouse();
        QCOMPARE(entered.size(), 2);
        const float yaw = view->camera().yaw;
        touch({centre(), centre() + QPoint(30, 0)});
        QCOMPARE(view->camera().yaw, yaw + 3.0f);
        QCOMPARE(view->highlightColor() * 255.0f, detail(butterfly).color);
        view->placeCamera(facing);
        QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL 102");
        tap(centre());
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), butterfly);
        QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL -1");
        const QPoint left = centre() - QPoint(50, 0), right = centre() + QPoint(50, 0);
        touch({left, left}, {right, right});
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), -1);
        QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL 102");
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(entered.size(), 2);
    }
};

QTEST_MAIN(TestTouchGestures)
#include "tst_touchgestures.moc"
