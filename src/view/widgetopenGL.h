// The 3D view of the room: owns the scene, the animal database, the camera
// and the timers that drive picking, the highlight pulse and the animation.
#pragma once

#include <GL/glew.h>

#include "animal.h"
#include "avatar.h"
#include "geometry.h"
#include "scene.h"
#include "touchgestures.h"

#include <QGLWidget>
#include <QPoint>
#include <QUrl>

class QFileSystemWatcher;
class QGLShaderProgram;
class QTimer;
class QTouchEvent;

class WidgetOpenGL : public QGLWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(WidgetOpenGL)

public:
    explicit WidgetOpenGL(QWidget* parent = nullptr);
    ~WidgetOpenGL() override;

    // The window that stands in front while the room loads: any widget with a
    // setProgress(float) slot. The application sets the maker before the view is
    // made; without one the room loads with no window in front.
    using LoadingWindowMaker = QWidget* (*)();
    static void setLoadingWindowMaker(LoadingWindowMaker maker);

    void moveAvatarTo(Avatar& avatar);
    // Puts the camera at once where `avatar` stands, with no flight.
    void placeCamera(const Avatar& avatar);
    // Colour under widget pixel (x, y), y growing downward, as three floats 0..255.
    point3 readPixelColor(int x, int y);

    const Scene& room() const { return *scene; }
    AnimalData& animals() { return animalData; }
    const AnimalData& animals() const { return animalData; }
    const Avatar& camera() const { return currentAvatar; }
    const Avatar& cameraTarget() const { return targetAvatar; }
    // Map colour of the highlighted detail, 0..1 per channel; black when none is.
    point3 highlightColor() const { return selectedColor; }
    float pulsePhase() const { return blinkPhase; }
    bool isGlancing() const { return glancing; }
    int ponderedDetail() const { return ponderedDetailId; }
    QPoint pointerPosition() const { return lastMousePos; }
    bool shaderProgramsLinked() const;
    // The detail the camera was last sent to; -1 when it is not at one.
    static int lastVisitedDetail() { return lastDetailId; }

signals:
    void notifyClickMouseOnDetail(QUrl);
    void notifyMouseOver(int id);
    // The database was read again and its records replaced: lists and panels built
    // from the old ones are stale.
    void databaseReloaded();

public slots:
    void goToDetail(int id);
    void ponderDetail(int id);
    void ponderDetailLater(int id);
    void updateObjectUnderMouse();
    void animateAvatar();
    // The view as a new visitor finds it: the camera flies back to the room's
    // start view, and no highlight, pulse, glance or visited detail is left.
    void returnToStart();

private slots:
    void updateBlink();
    void startGlancing();
    void stopGlancing();

    // Slots added later follow the first ones, which keep their meta-object order.
public slots:
    // F5, and the database file quiet for two seconds after a change.
    void reloadDatabase();

private slots:
    void databaseFileChanged();
    void databaseFolderChanged();

protected:
    // Touch arrives here, not as mouse events made up from it.
    bool event(QEvent* event) override;
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
    QGLShaderProgram* loadShaderProgram(QString name);
    void ensureShaderPrograms();
    void renderScene();
    // The "map" pass under widget pixel `position`: the detail-map colour there, 0..1.
    point3 mapColorAt(const QPoint& position);
    // A colour just picked becomes the highlight (black: none), as the
    // mouse-over test makes it.
    void showPicked(const point3& color);
    void goToSelectedDetail();
    void turnCamera(const QPoint& from, const QPoint& to);
    void zoomCamera(int steps);
    void touchGesture(const QTouchEvent& event);
    void tapAt(const QPoint& position);
    QTimer* makeTimer(const char* name, int interval, bool singleShot, const char* slot);
    bool startPickPass();
    void watchDatabase();
    void makeTexturesWhileReading();
    QSize deviceSize() const;
    QPoint framebufferPixel(int x, int y) const;

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
    // Whether the missing pick pass has been reported since the programs were last built.
    bool pickPassMissingReported = false;
    // Curators edit the database while the kiosk runs: it is read again once the
    // file has stayed unchanged for the reload timer's interval.
    QFileSystemWatcher* databaseWatcher = nullptr;
    QTimer* reloadTimer = nullptr;
    TouchGestures touchGestures;
};
