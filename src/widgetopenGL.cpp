#include "widgetopenGL.h"

WidgetOpenGL::WidgetOpenGL(QWidget* parent) : QGLWidget(parent) {}
WidgetOpenGL::~WidgetOpenGL() = default;
void WidgetOpenGL::moveAvatarTo(Avatar& avatar) { targetAvatar = avatar; }
void WidgetOpenGL::goToDetail(int) {}
void WidgetOpenGL::ponderDetail(int) {}
void WidgetOpenGL::ponderDetailLater(int) {}
void WidgetOpenGL::updateObjectUnderMouse() {}
void WidgetOpenGL::animateAvatar() {}
void WidgetOpenGL::updateBlink() {}
void WidgetOpenGL::startGlancing() {}
void WidgetOpenGL::stopGlancing() {}
void WidgetOpenGL::mousePressEvent(QMouseEvent*) {}
void WidgetOpenGL::mouseReleaseEvent(QMouseEvent*) {}
void WidgetOpenGL::mouseMoveEvent(QMouseEvent*) {}
void WidgetOpenGL::wheelEvent(QWheelEvent*) {}
void WidgetOpenGL::keyPressEvent(QKeyEvent*) {}
void WidgetOpenGL::enterEvent(QEvent*) {}
void WidgetOpenGL::leaveEvent(QEvent*) {}
void WidgetOpenGL::initializeGL() {}
void WidgetOpenGL::paintGL() {}
