// The 3D view of the room: owns the scene, the animal database, the camera
// and the timers that drive picking, the highlight pulse and the animation.
#pragma once

#include <GL/glew.h>

#include "animal.h"
#include "avatar.h"
#include "geometry.h"

#include <QGLWidget>
#include <QPoint>
#include <QUrl>

class QGLShaderProgram;
class QTimer;
class Scene;

class WidgetOpenGL : public QGLWidget
{
    Q_OBJECT

public:
    explicit WidgetOpenGL(QWidget* parent = nullptr);
    ~WidgetOpenGL() override;

    void moveAvatarTo(Avatar& avatar);
    QGLShaderProgram* loadShaderProgram(QString name);
    void ensureShaderPrograms();
    void renderScene();
    // Colour under widget pixel (x, y), y growing downward, as three floats 0..255.
    point3 readPixelColor(int x, int y);

    // One view per process: the detail the camera was last sent to (-1: none)
    // and whether the first paint still has to make the textures.
    static int lastDetailId;
    static bool texturesPending;

    float clearColor[3] = {0.0f, 0.0f, 0.0f};
    QTimer* pickTimer = nullptr;
    QTimer* blinkTimer = nullptr;
    QTimer* animationTimer = nullptr;
    QTimer* glanceTimer = nullptr;
    float blinkPhase = 0.0f;
    QPoint lastMousePos;
    Scene* scene = nullptr;
    AnimalData animalData;
    Avatar currentAvatar;
    Avatar targetAvatar;
    point3 ponderedColor;
    int ponderedDetailId = -1;
    bool glancing = false;
    point3 selectedColor;
    QGLShaderProgram* tapestryProgram = nullptr;
    QGLShaderProgram* mapProgram = nullptr;
    bool mouseMoved = false;
    // Colour read by the previous mouse-over test, 0..1.
    point3 lastPickedColor;

signals:
    void notifyClickMouseOnDetail(QUrl);
    void notifyMouseOver(int id);

public slots:
    void goToDetail(int id);
    void ponderDetail(int id);
    void ponderDetailLater(int id);
    void updateObjectUnderMouse();
    void animateAvatar();

private slots:
    void updateBlink();
    void startGlancing();
    void stopGlancing();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void initializeGL() override;
    void paintGL() override;

private:
    QTimer* makeTimer(int interval, bool singleShot, const char* slot);
    QSize deviceSize() const;
    QPoint framebufferPixel(int x, int y) const;
};
