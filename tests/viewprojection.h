// Where a world point lands in a view of the given size, worked out from the
// camera alone, as the view projects it (the 1.3 widening included).
#pragma once

#include "avatar.h"

#include <QMatrix4x4>
#include <QPoint>
#include <QSize>

#include <cmath>

inline QPoint projectedPixel(const Avatar& a, QSize view, point3 world)
{
    const float w = view.width(), h = view.height();
    QMatrix4x4 m;
    m.scale(1.3f * h / w, 1, 1);
    m.perspective(a.fov, 1.0f, 0.1f, 70.0f);
    m.rotate(-a.pitch, 1, 0, 0);
    m.rotate(-a.yaw, 0, 1, 0);
    m.translate(-a.position.x, -a.position.y, -a.position.z);
    const QVector3D ndc = m.map(QVector3D(world.x, world.y, world.z));
    return QPoint(int(std::floor((ndc.x() + 1) / 2 * w)), int(std::floor((1 - ndc.y()) / 2 * h)));
}
