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

    void touch(const QVector<QPoint>& finger, const QVector<QPoint>& second = {})
    {
        auto fingers = QTest::touchEvent(view, screen, false);
        for (int i = 0; i < finger.size(); ++i) {
            for (int id : {0, 1}) {
                const QVector<QPoint>& path = id == 0 ? finger : second;
                if (path.isEmpty())
                    continue;
                const QPoint at = path.value(i, path.last());
                if (i == 0)
                    fingers.press(id, at, view);
                else if (i == finger.size() - 1)
                    fingers.release(id, at, view);
                else
                    fingers.move(id, at, view);
            }
            fingers.commit();
        }
    }
    void tap(const QPoint& at) { touch({at, at}); }

    void mouseDrag(const QVector<QPoint>& path)
    {
        QTest::mousePress(view, Qt::LeftButton, {}, path.first());
        for (const QPoint& at : path.mid(1)) {
            QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
        }
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
    void initTestCase();
    void init();
    void tapPicksAtOnceAndSecondTapFlies();
    void dragTurnsAsTheMouse_data();
    void dragTurnsAsTheMouse();
    void pinchZoomsAsTheWheel_data();
    void pinchZoomsAsTheWheel();
    void twoFingerTapFliesBack_data();
    void twoFingerTapFliesBack();
    void touchAndMouseInterleaved();
};

void TestTouchGestures::initTestCase()
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
void TestTouchGestures::init()
{
    view->findChild<QTimer*>("pickTimer")->stop();
    view->returnToStart();
    view->placeCamera(facing);
    QMouseEvent move(QEvent::MouseMove, QPoint(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QCOMPARE(view->highlightColor(), point3());
}

// A tap fills the panel and pulses at once, where no pointer rested; a second
// tap on the pulsing butterfly flies there, as a click does.
void TestTouchGestures::tapPicksAtOnceAndSecondTapFlies()
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

void TestTouchGestures::dragTurnsAsTheMouse_data()
{
    QTest::addColumn<QVector<QPoint>>("path");
    QTest::addColumn<QPointF>("turn"); // yaw and pitch, degrees
    const QPoint c(240, 150);
    QTest::newRow("right, in three moves") << QVector<QPoint>{c, c + QPoint(15, 0), c + QPoint(40, 0), c + QPoint(60, 0)}
                                           << QPointF(6, 0);
    QTest::newRow("down and left, one move") << QVector<QPoint>{c, c + QPoint(-30, 50)} << QPointF(-3, 5);
    QTest::newRow("back where it began") << QVector<QPoint>{c, c + QPoint(0, 80), c} << QPointF(0, 0);
}

// The finger turns by the whole way from where it went down, as the mouse
// turns from where it was pressed.
void TestTouchGestures::dragTurnsAsTheMouse()
{
    QFETCH(QVector<QPoint>, path);
    QFETCH(QPointF, turn);
    QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
    mouseDrag(path);
    const Avatar byMouse = view->camera();
    view->placeCamera(facing);
    touch(path);
    QCOMPARE(view->camera().yaw, byMouse.yaw);
    QCOMPARE(view->camera().pitch, byMouse.pitch);
    QCOMPARE(QPointF(view->camera().yaw - facing.yaw, view->camera().pitch), turn);
    // A drag is no tap, and never a flight.
    QVERIFY(entered.isEmpty() && view->highlightColor() == point3() && WidgetOpenGL::lastVisitedDetail() == -1);
}

void TestTouchGestures::pinchZoomsAsTheWheel_data()
{
    QTest::addColumn<float>("fov");
    QTest::addColumn<int>("from"); // the fingers' spread, pixels
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("notches");
    QTest::newRow("spread to twice: 14 steps in") << 85.0f << 100 << 200 << 14;
    QTest::newRow("pinched to a half: 14 steps out") << 50.0f << 200 << 100 << -14;
    QTest::newRow("just short of a step") << 85.0f << 100 << 104 << 0;
    QTest::newRow("spread wide stops at 10 degrees") << 20.0f << 60 << 400 << 38;
    QTest::newRow("pinched at the widest angle steps back") << 84.0f << 300 << 100 << -22;
}

// Each 5 % of spread is one wheel notch, taken while the fingers move, with
// the wheel's limits and its step back at 90 degrees.
void TestTouchGestures::pinchZoomsAsTheWheel()
{
    QFETCH(float, fov);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, notches);
    Avatar start = facing;
    start.fov = fov;
    view->placeCamera(start);
    wheel(notches);
    const Avatar byWheel = view->camera();
    view->placeCamera(start);
    QVector<QPoint> left, right;
    for (int i = 0; i <= 10; ++i) {
        const int half = (from + (to - from) * i / 10) / 2;
        left << centre() - QPoint(half, 0);
        right << centre() + QPoint(half, 0);
    }
    touch(left, right);
    QCOMPARE(view->camera().fov, byWheel.fov);
    QCOMPARE(view->camera().position, byWheel.position);
    QCOMPARE(WidgetOpenGL::lastVisitedDetail(), -1);
}

void TestTouchGestures::twoFingerTapFliesBack_data()
{
    QTest::addColumn<QPoint>("slide"); // both fingers, the same way
    QTest::addColumn<bool>("back");
    QTest::newRow("two still fingers") << QPoint(0, 0) << true;
    QTest::newRow("two fingers that hardly slide") << QPoint(3, -3) << true;
    QTest::newRow("two fingers sliding away") << QPoint(40, 0) << false;
}

void TestTouchGestures::twoFingerTapFliesBack()
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
void TestTouchGestures::touchAndMouseInterleaved()
{
    QSignalSpy entered(view, SIGNAL(notifyMouseOver(int)));
    const auto pointAtButterfly = [this] {
        QMouseEvent move(QEvent::MouseMove, centre(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        view->updateObjectUnderMouse();
    };
    pointAtButterfly();
    Avatar down = facing;
    down.pitch = -70.0f;
    view->placeCamera(down);
    tap(centre());
    QVERIFY(view->highlightColor() == point3() && !blink->isActive());
    view->placeCamera(facing);
    pointAtButterfly();
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
    touch({centre() - QPoint(50, 0), centre() - QPoint(50, 0)}, {centre() + QPoint(50, 0), centre() + QPoint(50, 0)});
    QCOMPARE(WidgetOpenGL::lastVisitedDetail(), -1);
    QTest::ignoreMessage(QtDebugMsg, "GO TO DETAIL 102");
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(entered.size(), 2);
}

QTEST_MAIN(TestTouchGestures)
#include "tst_touchgestures.moc"
