// A small window with a current GL context for drawing tests: the fixed-function
// pipeline looking at 8 x 8 units of the z = 0 plane on 64 x 64 pixels.
#pragma once

#include <GL/glew.h>

#include <QColor>
#include <QGLWidget>
#include <QtTest>

class GlCanvas : public QGLWidget
{
public:
    static constexpr int pixels = 64;
    static constexpr float units = 8.0f;

    GlCanvas() { setFixedSize(pixels, pixels); }

    // Shows the window, makes its context current and clears it to black.
    bool prepare()
    {
        show();
        if (!QTest::qWaitForWindowExposed(this))
            return false;
        makeCurrent();
        if (glewInit() != GLEW_OK)
            return false;
        glViewport(0, 0, pixels, pixels);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, units, 0, units, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return true;
    }

    // The colour drawn at a point of the plane, in units.
    QColor colorAt(float x, float y)
    {
        glFinish();
        glReadBuffer(GL_BACK);
        unsigned char rgba[4] = {0, 0, 0, 0};
        const float scale = pixels / units;
        glReadPixels(int(x * scale), int(y * scale), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return QColor(rgba[0], rgba[1], rgba[2]);
    }
};
