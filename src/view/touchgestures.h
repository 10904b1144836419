// The visitor's fingers on the 3D view, read as the mouse's gestures: a tap,
// a one-finger drag, a two-finger pinch and a two-finger tap. It only
// recognises them; the view decides what each one does.
#pragma once

#include <QPointF>

class QTouchEvent;

class TouchGestures
{
public:
    // Each 5 % that the fingers' spread grows (or shrinks) is one wheel step in
    // (or out): spreading them to twice their distance is 14 steps.
    static constexpr double pinchStepRatio = 1.05;

    // What one touch event asks of the view.
    struct Gesture
    {
        enum Kind { None, Tap, Turn, Zoom, TwoFingerTap };
        Kind kind = None;
        QPointF from;      // Turn: the finger's previous place
        QPointF to;        // Tap: where; Turn: the finger's new place
        int zoomSteps = 0; // Zoom: wheel steps, in when positive
    };

    // `slop`: how far, in pixels, a finger may wander and still tap.
    explicit TouchGestures(double slop) : slop(slop) {}

    Gesture take(const QTouchEvent& event);

private:
    Gesture oneFinger(const QPointF& position, bool lifted);
    Gesture twoFingers(double spread, bool lifted);
    int pinchSteps(double spread);
    void reset();

    double slop = 0.0;
    // The gesture under way: where one finger went down and was last seen,
    // whether fingers moved too far to tap, and the spread a pinch is measured from.
    QPointF fingerStart;
    QPointF fingerLast;
    bool dragging = false;
    bool twoFingered = false;
    bool wandered = false;
    bool pinched = false;
    double pinchBase = 0.0;
};
