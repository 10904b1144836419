#include "detail.h"

Detail::Detail(int id, float r, float g, float b, QString name, QString label)
    : name(name)
    , color(r, g, b)
    , id(id)
    , label(label)
{
}

point3 Detail::normal() const
{
    return point3(direction.z, direction.y, -direction.x).normalized();
}
