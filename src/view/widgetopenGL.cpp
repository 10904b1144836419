#include "widgetopenGL.h"

#include "blanktexture.h"
#include "picturedraw.h"
#include "processend.h"
#include "roomfolder.h"
#include "shaderfolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGLShaderProgram>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTouchEvent>
#include <QWheelEvent>

#include <cmath>

int WidgetOpenGL::lastDetailId = -1;
bool WidgetOpenGL::texturesPending = true;

namespace {

WidgetOpenGL::LoadingWindowMaker loadingWindowMaker = nullptr;

constexpr double halfPi = 1.57079632679489661923;

// Halves round up, toward positive infinity: 2.5 gives 3, -2.5 gives -2.
QPoint roundedPosition(const QPointF& position)
{
    return QPoint(int(std::floor(position.x() + 0.5)), int(std::floor(position.y() + 0.5)));
}

bool isBlack(const point3& color)
{
    return color.x == 0.0f && color.y == 0.0f && color.z == 0.0f;
}

// A colour of the view's 0..1 channels as map bytes R, G, B, rounded as the shaders round them.
quint32 mapBytes(const point3& color)
{
    const auto byte = [](float channel) { return quint32(std::floor(channel * 255.0f + 0.5f)) & 0xffu; };
    return byte(color.x) | byte(color.y) << 8 | byte(color.z) << 16;
}

// A program that failed to build is left unbound: binding it would make Qt try
// to link it again, and warn again, on every frame.
bool useProgram(QGLShaderProgram* program)
{
    if (program->isLinked())
        return program->bind();
    glUseProgram(0);
    return false;
}

// While a program is built, Qt's own shader messages are held back: they repeat
// the GL log without naming the file; loadShaderProgram warns once with both.
bool holdingShaderMessages = false;
QtMessageHandler forwardedHandler = nullptr;

void holdBackShaderMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!holdingShaderMessages || !message.startsWith("QGLShader"))
        forwardedHandler(type, context, message);
}

void compileShaderFile(QGLShader* shader, const QString& fileName, QStringList& problems)
{
    if (!QFile::exists(fileName)) {
        problems << QString("%1 is missing").arg(fileName);
        return;
    }
    if (!shader->compileSourceFile(fileName))
        problems << QString("%1 does not compile: %2").arg(fileName, shader->log().trimmed());
}

} // namespace

void WidgetOpenGL::setLoadingWindowMaker(LoadingWindowMaker maker)
{
    loadingWindowMaker = maker;
}

WidgetOpenGL::WidgetOpenGL(QWidget* parent)
    : QGLWidget(parent), touchGestures(QApplication::startDragDistance())
{
    QWidget* loadingWindow = loadingWindowMaker ? loadingWindowMaker() : nullptr;
    if (loadingWindow)
        loadingWindow->show();
    animalData.readAll(roomFile("determinazioni.csv"));
    if (!animalData.problem.isEmpty())
        qWarning("Animal database %s (working directory %s): %s; the kiosk starts without animals",
                 qPrintable(animalData.fileName), qPrintable(QDir::currentPath()), qPrintable(animalData.problem));
    scene = new Scene();

    pickTimer = makeTimer("pickTimer", 200, false, SLOT(updateObjectUnderMouse()));
    pickTimer->start();
    blinkTimer = makeTimer("blinkTimer", 45, false, SLOT(updateBlink()));
    animationTimer = makeTimer("animationTimer", 16, false, SLOT(animateAvatar()));
    glanceTimer = makeTimer("glanceTimer", 1000, true, SLOT(startGlancing()));
    reloadTimer = makeTimer("reloadTimer", 2000, true, SLOT(reloadDatabase()));
    setAttribute(Qt::WA_MouseTracking);
    setAttribute(Qt::WA_AcceptTouchEvents);
    // A click or a tap brings the keys back from the panel, so that F5 and S work
    // whatever the visitor touched before.
    setFocusPolicy(Qt::ClickFocus);
    watchDatabase();

    if (loadingWindow)
        connect(scene, SIGNAL(loadingProgressSignal(float)), loadingWindow, SLOT(setProgress(float)));
    if (texturesPending) {
        // Once for every texture, whenever it is made: maps read as indices by
        // shader files that take them as colours would pick the wrong details.
        setMapsIndexed(shadersReadIndexedMaps());
        makeTexturesWhileReading();
    }
    if (!scene->readXML("Stanza.xml")) {
        qDebug("Error!!! -.-\"");
        // A file that is there but broken has been reported with its line and
        // column: only a missing one calls for another folder.
        const QString sceneFile = roomFile("Stanza.xml");
        if (!QFileInfo::exists(sceneFile))
            qCritical("Cannot find the scene file %s in the working directory %s: "
                      "start the program from the folder that holds data/",
                      qPrintable(sceneFile), qPrintable(QDir::currentPath()));
        endProcess(-1);
    }
    currentAvatar.resetToStart(*scene);
    targetAvatar = currentAvatar;
}

WidgetOpenGL::~WidgetOpenGL() = default;

// Each section's textures are made as soon as it is read, by this thread, which
// would otherwise wait for the workers decoding the images of later sections.
// The first paint makes those left, and shows the progress as before.
void WidgetOpenGL::makeTexturesWhileReading()
{
    if (!isValid())
        return;
    makeCurrent();
    if (glewInit() != GLEW_OK)
        return;
    connect(scene, &Scene::sectionRead, this, [this](int index) {
        makeCurrent();
        scene->uploadSectionTextures(scene->sections[index]);
    });
}

// Named, so that the timers can be found among the widget's children.
QTimer* WidgetOpenGL::makeTimer(const char* name, int interval, bool singleShot, const char* slot)
{
    auto* timer = new QTimer(this);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    connect(timer, SIGNAL(timeout()), this, slot);
    return timer;
}

void WidgetOpenGL::moveAvatarTo(Avatar& avatar)
{
    targetAvatar = avatar;
    animationTimer->start();
}

void WidgetOpenGL::placeCamera(const Avatar& avatar)
{
    animationTimer->stop();
    currentAvatar = avatar;
    targetAvatar = avatar;
    update();
}

bool WidgetOpenGL::shaderProgramsLinked() const
{
    return tapestryProgram && mapProgram && tapestryProgram->isLinked() && mapProgram->isLinked();
}

void WidgetOpenGL::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_S:
        // The programs hold GL objects of this context.
        makeCurrent();
        delete tapestryProgram;
        delete mapProgram;
        tapestryProgram = nullptr;
        mapProgram = nullptr;
        pickPassMissingReported = false;
        qDebug("Reload Shaders!");
        break;
    case Qt::Key_F5:
        // A change still being written keeps its quiet-time reload, which follows.
        reloadDatabase();
        break;
    case Qt::Key_Escape:
        endProcess(0);
    default:
        break;
    }
    update();
}

void WidgetOpenGL::reloadDatabase()
{
    if (!animalData.reload())
        return;
    qInfo("Animal database %s read again: records read: %d, lines dropped: %d", qPrintable(animalData.fileName),
          animalData.records.size(), animalData.droppedLines);
    emit databaseReloaded();
}

// Editors save by writing a new file and renaming it over the old one: the
// watch on the file then ends with it, and the folder's watch sees the new one.
void WidgetOpenGL::watchDatabase()
{
    const QFileInfo file(animalData.fileName);
    if (!databaseWatcher) {
        databaseWatcher = new QFileSystemWatcher(this);
        connect(databaseWatcher, SIGNAL(fileChanged(QString)), this, SLOT(databaseFileChanged()));
        connect(databaseWatcher, SIGNAL(directoryChanged(QString)), this, SLOT(databaseFolderChanged()));
        if (file.dir().exists())
            databaseWatcher->addPath(file.absolutePath());
    }
    if (file.exists() && !databaseWatcher->files().contains(file.absoluteFilePath()))
        databaseWatcher->addPath(file.absoluteFilePath());
}

void WidgetOpenGL::databaseFileChanged()
{
    watchDatabase();
    reloadTimer->start();
}

// Another file of the folder changing leaves the database alone.
void WidgetOpenGL::databaseFolderChanged()
{
    const int watched = databaseWatcher->files().size();
    watchDatabase();
    if (databaseWatcher->files().size() != watched)
        reloadTimer->start();
}

void WidgetOpenGL::mousePressEvent(QMouseEvent* event)
{
    lastMousePos = roundedPosition(event->localPos());
    if (event->button() == Qt::RightButton) {
        goToDetail(-1);
    } else if (event->button() == Qt::LeftButton) {
        setCursor(Qt::BlankCursor);
        // The detail of the last mouse-over test, not a fresh read.
        goToSelectedDetail();
    }
}

void WidgetOpenGL::goToSelectedDetail()
{
    const int id = scene->detailIdAtColor(selectedColor.x * 255.0f, selectedColor.y * 255.0f,
                                          selectedColor.z * 255.0f);
    if (id != -1)
        goToDetail(id);
}

void WidgetOpenGL::mouseReleaseEvent(QMouseEvent*)
{
    setCursor(Qt::ArrowCursor);
}

void WidgetOpenGL::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = roundedPosition(event->localPos());
    if (event->buttons() == Qt::LeftButton) {
        setCursor(Qt::BlankCursor);
        turnCamera(lastMousePos, position);
    } else {
        mouseMoved = true;
    }
    lastMousePos = position;
}

void WidgetOpenGL::wheelEvent(QWheelEvent* event)
{
    // The dominant axis, as the wheel's single delta.
    const QPoint angle = event->angleDelta();
    const int delta = std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
    // Only the direction counts, not how many notches.
    const int steps = delta / 120;
    zoomCamera(steps > 0 ? 1 : steps < 0 ? -1 : 0);
}

// The room follows the hand: a drag stops a flight where it stands.
void WidgetOpenGL::turnCamera(const QPoint& from, const QPoint& to)
{
    animationTimer->stop();
    currentAvatar.rotateBy(from.x() - to.x(), from.y() - to.y());
    update();
}

void WidgetOpenGL::zoomCamera(int steps)
{
    for (int i = 0; i < steps; ++i)
        currentAvatar.zoomIn();
    for (int i = 0; i > steps; --i)
        currentAvatar.zoomOut();
    update();
}

bool WidgetOpenGL::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        // Accepted, so that no mouse events are made up from the touch; the
        // keys come back with it as with a click.
        event->accept();
        if (event->type() == QEvent::TouchBegin)
            setFocus(Qt::MouseFocusReason);
        touchGesture(*static_cast<QTouchEvent*>(event));
        return true;
    default:
        return QGLWidget::event(event);
    }
}

void WidgetOpenGL::touchGesture(const QTouchEvent& event)
{
    const TouchGestures::Gesture gesture = touchGestures.take(event);
    switch (gesture.kind) {
    case TouchGestures::Gesture::Tap:
        tapAt(roundedPosition(gesture.to));
        break;
    case TouchGestures::Gesture::Turn:
        turnCamera(roundedPosition(gesture.from), roundedPosition(gesture.to));
        break;
    case TouchGestures::Gesture::Zoom:
        zoomCamera(gesture.zoomSteps);
        break;
    case TouchGestures::Gesture::TwoFingerTap:
        goToDetail(-1);
        break;
    case TouchGestures::Gesture::None:
        break;
    }
}

// A finger has no resting pointer to pick ahead of it: a tap picks at once.
// Tapping the pulsing detail again goes there, as a click on it does.
void WidgetOpenGL::tapAt(const QPoint& position)
{
    const point3 color = mapColorAt(position);
    if (!isBlack(color) && color == selectedColor && blinkTimer->isActive())
        goToSelectedDetail();
    else
        showPicked(color);
}

void WidgetOpenGL::enterEvent(QEvent*)
{
    pickTimer->start();
}

void WidgetOpenGL::leaveEvent(QEvent*)
{
    pickTimer->stop();
    setCursor(Qt::ArrowCursor);
    if (!isBlack(selectedColor)) {
        blinkTimer->stop();
        blinkPhase = 0.0f;
        update();
    }
}

void WidgetOpenGL::goToDetail(int id)
{
    animationTimer->start();
    qDebug("GO TO DETAIL %d", id);
    if (id != -1) {
        const int index = scene->indexOfDetail(id);
        if (index != -1) {
            const double aspect = height() > 0 ? double(width()) / height() : 1.0;
            targetAvatar.setInFrontOf(scene->detailAt(index), float(aspect));
        }
        lastDetailId = id;
        return;
    }
    if (lastDetailId == -1)
        return;
    // Step back to the room's start view, still facing the detail.
    targetAvatar.resetToStart(*scene);
    const int index = scene->indexOfDetail(lastDetailId);
    if (index != -1)
        targetAvatar.lookAt(scene->detailAt(index));
    lastDetailId = -1;
}

void WidgetOpenGL::ponderDetail(int id)
{
    if (id == -1) {
        stopGlancing();
        return;
    }
    ponderedDetailId = id;
    startGlancing();
}

void WidgetOpenGL::ponderDetailLater(int id)
{
    if (id != -1) {
        ponderedDetailId = id;
        glanceTimer->start();
    } else if (!glancing) {
        glanceTimer->stop();
    } else {
        stopGlancing();
    }
    update();
}

void WidgetOpenGL::startGlancing()
{
    if (ponderedDetailId == -1)
        return;
    const int index = scene->indexOfDetail(ponderedDetailId);
    if (index == -1)
        return;
    const Detail detail = scene->detailAt(index);
    glancing = true;
    ponderedColor = detail.color;
    selectedColor = point3(ponderedColor.x / 255.0f, ponderedColor.y / 255.0f, ponderedColor.z / 255.0f);
    Avatar turned = targetAvatar;
    turned.lookAt(detail);
    moveAvatarTo(turned);
    blinkPhase = 0.0f;
    blinkTimer->start();
    update();
}

void WidgetOpenGL::stopGlancing()
{
    glancing = false;
    blinkTimer->stop();
    blinkPhase = 0.0f;
    update();
}

void WidgetOpenGL::returnToStart()
{
    glanceTimer->stop();
    ponderedDetailId = -1;
    stopGlancing();
    selectedColor = point3();
    // Forgotten, so that the pointer resting where it was picks afresh once it moves.
    lastPickedColor = point3();
    setCursor(Qt::ArrowCursor);
    lastDetailId = -1;
    Avatar start;
    start.resetToStart(*scene);
    moveAvatarTo(start);
}

void WidgetOpenGL::updateBlink()
{
    blinkPhase += 0.4f;
    update();
}

void WidgetOpenGL::animateAvatar()
{
    const float distance = avatarDistance(currentAvatar, targetAvatar);
    // A distance that is not a number never falls below the threshold: land at once.
    if (distance < 0.005f || !std::isfinite(distance)) {
        currentAvatar = targetAvatar;
        animationTimer->stop();
        update();
        return;
    }
    const float s = 1.5f / distance;
    const float t = s > 0.07f ? s / 3.0f : 0.023333333f;
    currentAvatar = interpolateAvatars(currentAvatar, targetAvatar, t);
    update();
}

// Without the "map" program the pass would draw the pictures themselves, and
// every painted pixel would read as a detail: nothing is pointable then.
bool WidgetOpenGL::startPickPass()
{
    makeCurrent();
    ensureShaderPrograms();
    if (useProgram(mapProgram)) {
        mapProgram->setUniformValue("mapTexture", 1);
        mapProgram->setUniformValue("mapPalette", 2);
        return true;
    }
    if (!pickPassMissingReported)
        qWarning("The \"map\" program is not linked: nothing in the view can be pointed at");
    pickPassMissingReported = true;
    return false;
}

void WidgetOpenGL::updateObjectUnderMouse()
{
    if (!mouseMoved)
        return;
    mouseMoved = false;
    const point3 color = mapColorAt(lastMousePos);
    if (color == lastPickedColor)
        return;
    showPicked(color);
}

point3 WidgetOpenGL::mapColorAt(const QPoint& position)
{
    if (!startPickPass())
        return point3(0.0f, 0.0f, 0.0f);
    // Only the pixel read back is drawn.
    const QPoint pixel = framebufferPixel(position.x(), position.y());
    glEnable(GL_SCISSOR_TEST);
    glScissor(pixel.x(), pixel.y(), 1, 1);
    renderScene();
    glDisable(GL_SCISSOR_TEST);

    const point3 read = readPixelColor(position.x(), position.y());
    return point3(read.x / 255.0f, read.y / 255.0f, read.z / 255.0f);
}

void WidgetOpenGL::showPicked(const point3& color)
{
    // Also after a tap, so that the pointer's next test compares with what
    // was picked last, by finger or pointer.
    lastPickedColor = color;
    if (isBlack(color)) {
        setCursor(Qt::ArrowCursor);
        blinkTimer->stop();
        blinkPhase = 0.0f;
        update();
        selectedColor = color;
        return;
    }
    setCursor(Qt::PointingHandCursor);
    const int id = scene->detailIdAtColor(color.x * 255.0f, color.y * 255.0f, color.z * 255.0f);
    blinkTimer->start();
    selectedColor = color;
    if (id >= 0)
        emit notifyMouseOver(id);
}

QSize WidgetOpenGL::deviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(qRound(width() * ratio), qRound(height() * ratio));
}

// The frame buffer pixel (GL rows count from the bottom) under widget pixel
// (x, y); on a scaled display it is the device pixel at the pixel's centre.
QPoint WidgetOpenGL::framebufferPixel(int x, int y) const
{
    const qreal ratio = devicePixelRatioF();
    const int column = int(std::floor((x + 0.5) * ratio));
    const int row = int(std::floor((y + 0.5) * ratio));
    return QPoint(column, deviceSize().height() - 1 - row);
}

point3 WidgetOpenGL::readPixelColor(int x, int y)
{
    makeCurrent();
    const QPoint pixel = framebufferPixel(x, y);
    const QSize size = deviceSize();
    GLubyte rgb[4] = {0, 0, 0, 0};
    // Outside the frame GL leaves the buffer untouched: that reads as background.
    if (pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < size.width() && pixel.y() < size.height())
        glReadPixels(pixel.x(), pixel.y(), 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return point3(rgb[0], rgb[1], rgb[2]);
}

void WidgetOpenGL::initializeGL()
{
    glewInit();
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    createBlankTexture();
}

QGLShaderProgram* WidgetOpenGL::loadShaderProgram(QString name)
{
    auto* program = new QGLShaderProgram();
    // Parented to the program, so that the S key frees them with it.
    auto* vertexShader = new QGLShader(QGLShader::Vertex, program);
    auto* fragmentShader = new QGLShader(QGLShader::Fragment, program);

    QStringList problems;
    holdingShaderMessages = true;
    forwardedHandler = qInstallMessageHandler(holdBackShaderMessages);
    compileShaderFile(vertexShader, shaderFilePath(name + ".vertex.glsl"), problems);
    compileShaderFile(fragmentShader, shaderFilePath(name + ".fragment.glsl"), problems);
    program->addShader(vertexShader);
    program->addShader(fragmentShader);
    if (vertexShader->isCompiled() && fragmentShader->isCompiled() && !program->link())
        problems << QString("linking fails: %1").arg(program->log().trimmed());
    qInstallMessageHandler(forwardedHandler);
    holdingShaderMessages = false;

    if (!problems.isEmpty())
        qWarning("Shader program \"%s\" (working directory %s): %s", qPrintable(name),
                 qPrintable(QDir::currentPath()), qPrintable(problems.join("; ")));
    return program;
}

void WidgetOpenGL::ensureShaderPrograms()
{
    if (!tapestryProgram)
        tapestryProgram = loadShaderProgram("tapestry");
    if (!mapProgram)
        mapProgram = loadShaderProgram("map");
}

void WidgetOpenGL::paintGL()
{
    if (texturesPending) {
        texturesPending = false;
        scene->uploadTexturesInRam();
    }
    ensureShaderPrograms();
    if (!useProgram(tapestryProgram)) {
        renderScene();
        return;
    }
    tapestryProgram->setUniformValue("rgbTexture", 0);
    tapestryProgram->setUniformValue("mapTexture", 1);
    setSelectedMapColour(!isBlack(selectedColor), mapBytes(selectedColor));
    if (isBlack(selectedColor)) {
        tapestryProgram->setUniformValue("selectedMapColor", -1.0f, -1.0f, -1.0f);
        tapestryProgram->setUniformValue("darkenSelectedFactor", 0.0f);
    } else {
        const double factor = (std::sin(double(blinkPhase) - halfPi) + 1.0) * 0.25;
        tapestryProgram->setUniformValue("selectedMapColor", selectedColor.x, selectedColor.y,
                                         selectedColor.z);
        tapestryProgram->setUniformValue("darkenSelectedFactor", float(factor));
    }
    renderScene();
}

void WidgetOpenGL::renderScene()
{
    glClearColor(clearColor[0], clearColor[1], clearColor[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The viewport is in device pixels, so a scaled display fills the whole frame.
    const QSize size = deviceSize();
    glViewport(0, 0, size.width(), size.height());
    if (width() <= 0 || height() <= 0)
        return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(float(double(height()) * 1.3 / double(width())), 1.0f, 1.0f);
    currentAvatar.applyProjection();
    currentAvatar.applyView();
    scene->draw();
}
