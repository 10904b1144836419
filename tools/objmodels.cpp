#include "objmodels.h"

#include <QStringList>
#include <QVector>

#include <cmath>

namespace roomgen {

namespace {

struct Vec
{
    double x, y, z;
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    double dot(const Vec& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec cross(const Vec& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
};

// Four decimals, and never "-0.0000".
QString number(double v)
{
    return QString::number(std::round(v * 10000.0) / 10000.0 + 0.0, 'f', 4);
}

// Collects quads as triangle pairs, each listed counter-clockwise as seen
// from the side its normal points to, as OBJ files expect.
class ObjMesh
{
public:
    void quad(Vec a, Vec b, Vec c, Vec d, Vec normal)
    {
        if ((b - a).cross(c - a).dot(normal) < 0)
            std::swap(b, d);
        normals.append(normal);
        const int n = normals.size();
        const int first = vertices.size() + 1;
        vertices << a << b << c << d;
        faces << face(first, first + 1, first + 2, n) << face(first, first + 2, first + 3, n);
    }

    // Every face but the one against the wall (z = low.z).
    void box(Vec low, Vec high)
    {
        const double x0 = low.x, y0 = low.y, z0 = low.z, x1 = high.x, y1 = high.y, z1 = high.z;
        quad({x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, {0, 0, 1});
        quad({x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}, {0, 1, 0});
        quad({x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, {0, -1, 0});
        quad({x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}, {x0, y0, z1}, {-1, 0, 0});
        quad({x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}, {1, 0, 0});
    }

    // A profile of (y, z) points, from the floor side upwards, swept along x.
    void sweep(const QVector<QPair<double, double>>& profile)
    {
        for (int i = 0; i + 1 < profile.size(); ++i) {
            const double y0 = profile[i].first, z0 = profile[i].second;
            const double y1 = profile[i + 1].first, z1 = profile[i + 1].second;
            const double dy = y1 - y0, dz = z1 - z0, length = std::sqrt(dy * dy + dz * dz);
            quad({-0.5, y0, z0}, {0.5, y0, z0}, {0.5, y1, z1}, {-0.5, y1, z1}, {0, -dz / length, dy / length});
            endCaps(y0, z0, y1, z1);
        }
    }

    // Closes both ends of a sweep, one strip from the profile back to the
    // wall at a time, so that a section's end seen at a slant is not hollow.
    // The profiles climb steadily, so the strips never overlap.
    void endCaps(double y0, double z0, double y1, double z1)
    {
        if (y1 <= y0)
            return;
        for (const double x : {-0.5, 0.5})
            quad({x, y0, 0.0}, {x, y1, 0.0}, {x, y1, z1}, {x, y0, z0}, {x < 0 ? -1.0 : 1.0, 0, 0});
    }

    QString text(const QString& title) const
    {
        QStringList lines;
        lines << QStringLiteral("# Pellavio demo room: %1").arg(title)
              << QStringLiteral("# x -0.5..0.5 and y 0..1 are stretched to the size the scene gives; z is in metres.");
        for (const Vec& v : vertices)
            lines << QStringLiteral("v %1 %2 %3").arg(number(v.x), number(v.y), number(v.z));
        for (const Vec& n : normals)
            lines << QStringLiteral("vn %1 %2 %3").arg(number(n.x), number(n.y), number(n.z));
        lines << faces;
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

private:
    static QString face(int a, int b, int c, int n)
    {
        return QStringLiteral("f %1//%4 %2//%4 %3//%4").arg(a).arg(b).arg(c).arg(n);
    }

    QVector<Vec> vertices;
    QVector<Vec> normals;
    QStringList faces;
};

} // namespace

QString corniceObj()
{
    QVector<QPair<double, double>> profile = {{0.0, 0.0}, {0.0, 0.05}, {0.08, 0.05}, {0.1, 0.08},
                                              {0.16, 0.08}, {0.18, 0.06}};
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        const double t = M_PI / 2 * i / steps;
        profile.append({0.18 + 0.74 * std::sin(t), 0.06 + 0.34 * (1 - std::cos(t))});
    }
    profile << qMakePair(0.92, 0.44) << qMakePair(1.0, 0.44) << qMakePair(1.0, 0.0);
    ObjMesh mesh;
    mesh.sweep(profile);
    return mesh.text(QStringLiteral("moulded cornice, a cove rising from the ceiling line"));
}

QString wainscotObj()
{
    ObjMesh mesh;
    mesh.sweep({{0.0, 0.0}, {0.0, 0.05}, {0.06, 0.05}, {0.07, 0.025}, {0.94, 0.025},
                {0.95, 0.06}, {1.0, 0.06}, {1.0, 0.0}});
    mesh.box({-0.46, 0.14, 0.025}, {-0.02, 0.86, 0.04});
    mesh.box({0.02, 0.14, 0.025}, {0.46, 0.86, 0.04});
    return mesh.text(QStringLiteral("panelled wainscot below the paintings"));
}

QString benchObj()
{
    ObjMesh mesh;
    mesh.box({-0.5, 0.82, 0.04}, {0.5, 1.0, 0.44});
    mesh.box({-0.47, 0.0, 0.08}, {-0.39, 0.82, 0.4});
    mesh.box({0.39, 0.0, 0.08}, {0.47, 0.82, 0.4});
    return mesh.text(QStringLiteral("wooden bench"));
}

} // namespace roomgen
