// Lets Qt Test carry point3 values in data tables and print them on failure.
#pragma once

#include "geometry.h"

#include <QByteArray>
#include <QMetaType>
#include <QtTest>

Q_DECLARE_METATYPE(point3)

namespace QTest {
template <>
inline char* toString(const point3& p)
{
    return qstrdup(QByteArray::number(p.x) + ", " + QByteArray::number(p.y) + ", "
                   + QByteArray::number(p.z));
}
} // namespace QTest
