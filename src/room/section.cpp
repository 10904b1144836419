#include "section.h"

Section::Section(point3 position, point3 direction)
    : origin(position.x, 0.0f, position.z)
    , direction(point3(direction.x, 0.0f, direction.z).normalized())
{
    updateFrame();
}

void Section::updateFrame()
{
    axisX = direction.normalized();
    axisY = point3(0, 1, 0);
    axisZ = axisX.cross(axisY).normalized();
}

point3 Section::toWorld(const point3& local) const
{
    return origin + axisX * local.x + axisY * local.y + axisZ * local.z;
}
