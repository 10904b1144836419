#include "touchgestures.h"

#include <QLineF>
#include <QTouchEvent>

TouchGestures::Gesture TouchGestures::take(const QTouchEvent& event)
{
    const QList<QTouchEvent::TouchPoint> points = event.touchPoints();
    if (event.type() == QEvent::TouchCancel || points.isEmpty()) {
        reset();
        return Gesture();
    }
    if (event.type() == QEvent::TouchBegin) {
        reset();
        fingerStart = fingerLast = points.first().pos();
    }
    const bool lifted = event.type() == QEvent::TouchEnd;
    // Once a second finger came down the gesture stays a two-finger one, so
    // that lifting one of them does not turn the camera with the other.
    if (points.size() >= 2 && !twoFingered) {
        twoFingered = true;
        pinchBase = QLineF(points[0].pos(), points[1].pos()).length();
    }
    if (!twoFingered)
        return oneFinger(points.first().pos(), lifted);

    for (const QTouchEvent::TouchPoint& point : points)
        wandered = wandered || QLineF(point.startPos(), point.pos()).length() > slop;
    // A finger lifting counts where it lifts; it is gone from the next event.
    const double spread = points.size() >= 2 ? QLineF(points[0].pos(), points[1].pos()).length() : 0.0;
    return twoFingers(spread, lifted);
}

TouchGestures::Gesture TouchGestures::oneFinger(const QPointF& position, bool lifted)
{
    Gesture gesture;
    if (!dragging && QLineF(fingerStart, position).length() > slop)
        dragging = true;
    if (dragging && position != fingerLast) {
        // From where the finger went down, so that the whole way counts, as a
        // mouse drag's does.
        gesture.kind = Gesture::Turn;
        gesture.from = fingerLast;
        gesture.to = position;
        fingerLast = position;
    } else if (lifted && !dragging) {
        gesture.kind = Gesture::Tap;
        gesture.to = fingerStart;
    }
    return gesture;
}

TouchGestures::Gesture TouchGestures::twoFingers(double spread, bool lifted)
{
    Gesture gesture;
    if (spread <= 0.0 || pinchBase <= 0.0) {
        pinchBase = spread;
    } else {
        gesture.zoomSteps = pinchSteps(spread);
        pinched = pinched || gesture.zoomSteps != 0;
    }
    if (gesture.zoomSteps != 0)
        gesture.kind = Gesture::Zoom;
    else if (lifted && !pinched && !wandered)
        gesture.kind = Gesture::TwoFingerTap;
    return gesture;
}

// Whole steps of the spread since the last one taken; the rest is kept for the next.
int TouchGestures::pinchSteps(double spread)
{
    int steps = 0;
    while (spread >= pinchBase * pinchStepRatio) {
        pinchBase *= pinchStepRatio;
        ++steps;
    }
    while (spread <= pinchBase / pinchStepRatio) {
        pinchBase /= pinchStepRatio;
        --steps;
    }
    return steps;
}

void TouchGestures::reset()
{
    dragging = false;
    twoFingered = false;
    wandered = false;
    pinched = false;
    pinchBase = 0.0;
}
