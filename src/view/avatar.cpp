#include "avatar.h"

#include "scene.h"

#include <GL/glew.h>

#include <QtDebug>

#include <algorithm>
#include <cmath>

namespace {

constexpr float startFov = 85.0f;
constexpr float detailFov = 60.0f;
constexpr float degreesPerPixel = 0.1f;
constexpr float minPitch = -70.0f;
constexpr float maxPitch = 35.0f;
constexpr float zoomStep = 2.0f;
constexpr float minFov = 10.0f;
constexpr float maxFov = 90.0f;
constexpr float backOffStep = 0.066f;
constexpr double pi = 3.14159265358979323846;

float radians(float degrees) { return degrees * float(pi / 180.0); }
float degrees(float radians) { return radians * float(180.0 / pi); }

// Brings an angle difference into -180..180 by whole turns. Subtracting 360
// one turn at a time is exact for the angles the camera takes; a huge or
// infinite value would loop for ever, so it is folded (or left) at once.
float wrapDifference(float angle)
{
    if (!std::isfinite(angle))
        return angle;
    if (std::fabs(angle) > 1.0e6f)
        angle = std::fmod(angle, 360.0f);
    while (angle > 180.0f)
        angle -= 360.0f;
    while (angle < -180.0f)
        angle += 360.0f;
    return angle;
}

float squared(float v) { return v * v; }

bool isFiniteAvatar(const Avatar& a)
{
    return std::isfinite(a.yaw) && std::isfinite(a.pitch) && std::isfinite(a.fov)
           && a.position.isFinite();
}

} // namespace

void Avatar::resetToStart(const Scene& scene)
{
    fov = startFov;
    yaw = 0.0f;
    pitch = 0.0f;
    position = scene.startPoint();
}

void Avatar::rotateBy(int dx, int dy)
{
    yaw -= dx * degreesPerPixel;
    pitch -= dy * degreesPerPixel;
    if (yaw > 360.0f)
        yaw -= 360.0f;
    if (yaw < -360.0f)
        yaw += 360.0f;
    if (pitch > maxPitch)
        pitch = maxPitch;
    else if (pitch < minPitch)
        pitch = minPitch;
}

void Avatar::zoomIn()
{
    fov = std::max(minFov, fov - zoomStep);
}

void Avatar::zoomOut()
{
    if (fov + zoomStep > maxFov) {
        // Already as wide as it goes: step back instead.
        fov = maxFov;
        position.x += backOffStep * std::sin(radians(yaw));
        position.z += backOffStep * std::cos(radians(yaw));
    } else {
        fov += zoomStep;
    }
}

bool Avatar::setInFrontOf(Detail detail, float aspect)
{
    const point3 n = detail.normal();
    qDebug("Detail: %s (panel %d) Norm = %f %f %f", detail.label.toLocal8Bit().constData(),
           detail.panel, double(n.x), double(n.y), double(n.z));
    if (n == point3()) {
        qWarning("Detail %d lies on no wall section: the camera stays where it is", detail.id);
        return false;
    }
    const float top = detail.maxCorner.y;
    if (!(top > 0.0f)) {
        qWarning("Detail %d has its top edge at height %f, not above the floor: the camera stays "
                 "where it is", detail.id, double(top));
        return false;
    }
    const float t = std::tan(radians(detailFov));
    const float distance = std::max(top / (2.0f * t), top / (2.0f * aspect * t));
    Avatar placed = *this;
    placed.fov = detailFov;
    placed.yaw = degrees(std::atan2(-n.x, -n.z));
    placed.pitch = 0.0f;
    placed.position = detail.box.center() - n * distance;
    if (!isFiniteAvatar(placed)) {
        qWarning("Detail %d gives no finite camera position (aspect %f): the camera stays where it is",
                 detail.id, double(aspect));
        return false;
    }
    *this = placed;
    return true;
}

bool Avatar::lookAt(const Detail& detail)
{
    if (detail.normal() == point3()) {
        qWarning("Detail %d lies on no wall section: the camera does not turn", detail.id);
        return false;
    }
    const point3 v = detail.box.center() - position;
    const float len = v.length();
    if (!(len > 0.0f) || !std::isfinite(len)) {
        qWarning("The camera stands at the centre of detail %d: it does not turn", detail.id);
        return false;
    }
    yaw = degrees(std::atan2(-v.x / len, -v.z / len));
    // Rounding can carry the ratio a hair beyond 1, where asin has no value.
    pitch = degrees(std::asin(std::clamp(v.y / len, -1.0f, 1.0f)));
    return true;
}

void Avatar::applyProjection() const
{
    const double top = 0.1 * std::tan(pi * fov / 360.0);
    GLdouble m[16] = {};
    m[0] = m[5] = 0.2 / (2.0 * top);
    m[10] = -1.0028612303290414;  // -(far + near) / (far - near), near 0.1, far 70
    m[11] = -1.0;
    m[14] = -0.20028612303290413; // -2 far near / (far - near)
    glMatrixMode(GL_PROJECTION);
    glMultMatrixd(m);
}

void Avatar::applyView() const
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-position.x, -position.y, -position.z);
}

float avatarDistance(const Avatar& a, const Avatar& b)
{
    const float dyaw = wrapDifference(a.yaw - b.yaw);
    const float dpitch = wrapDifference(a.pitch - b.pitch);
    const point3 dpos = a.position - b.position;
    const float dfov = a.fov - b.fov;
    const float dpos2 = squared(dpos.x) + squared(dpos.y) + squared(dpos.z);
    return std::sqrt(80.0f * dpos2 + (squared(dpitch) + squared(dyaw)) / 6.0f + squared(dfov));
}

Avatar interpolateAvatars(const Avatar& a, const Avatar& b, float t)
{
    if (!(t > 0.0f))
        return a;
    if (t >= 1.0f)
        return b;
    const float u = 1.0f - t;
    Avatar r;
    r.pitch = a.pitch * u + b.pitch * t;
    r.fov = a.fov * u + b.fov * t;
    r.position = a.position * u + b.position * t;
    // Turn the short way round.
    float yawB = b.yaw;
    if (a.yaw - b.yaw < -180.0f)
        yawB = b.yaw - 360.0f;
    if (a.yaw - yawB > 180.0f)
        yawB = yawB + 360.0f;
    r.yaw = a.yaw * u + yawB * t;
    return r;
}
