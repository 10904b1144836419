// One pointable spot of a painted panel, found through the panel's detail map:
// its map colour, its id in the animal database and where it lies in the room.
#pragma once

#include "geometry.h"

#include <QString>

class Detail
{
public:
    Detail() = default;
    Detail(int id, float r, float g, float b, QString name, QString label);

    // Unit vector from the room into the wall; zero for a detail on no section.
    point3 normal() const;

    QString name;
    point3 color;  // r, g, b on the 0..255 scale
    point3 direction;
    point3 maxCorner;
    BoundingBox box;
    int id = 0;
    QString label;
    int panel = -1;
};
