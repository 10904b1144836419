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
            quad({-0.5, y0, z0}, {0.5, y0, z0}, {0.5, y1, z1}, {-0.5, y1, z1}, profileNormal(y0, z0, y1, z1));
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

    // A closed convex profile of (y, z) points, in either order, drawn from
    // x0 to x1 with both ends closed: a board with shaped edges.
    void extrude(const QVector<QPair<double, double>>& profile, double x0, double x1)
    {
        double cy = 0, cz = 0;
        for (const auto& point : profile) {
            cy += point.first / profile.size();
            cz += point.second / profile.size();
        }
        for (int i = 0; i < profile.size(); ++i) {
            const auto& a = profile[i];
            const auto& b = profile[(i + 1) % profile.size()];
            Vec normal = profileNormal(a.first, a.second, b.first, b.second);
            // Outwards, away from the profile's centre.
            if (normal.y * (a.first - cy) + normal.z * (a.second - cz) < 0)
                normal = {0, -normal.y, -normal.z};
            quad({x0, a.first, a.second}, {x1, a.first, a.second}, {x1, b.first, b.second},
                 {x0, b.first, b.second}, normal);
            for (const double x : {x0, x1})
                triangle({x, cy, cz}, {x, a.first, a.second}, {x, b.first, b.second}, {x < x1 ? -1.0 : 1.0, 0, 0});
        }
    }

    // A raised field: the face at depth z1, inset by bevel, and four slopes
    // down to the rectangle x0..x1, y0..y1 at depth z0.
    void raisedPanel(double x0, double x1, double y0, double y1, double z0, double z1, double bevel)
    {
        const double u0 = x0 + bevel, u1 = x1 - bevel, v0 = y0 + bevel * 2, v1 = y1 - bevel * 2;
        quad({u0, v0, z1}, {u1, v0, z1}, {u1, v1, z1}, {u0, v1, z1}, {0, 0, 1});
        slope({x0, y0, z0}, {x1, y0, z0}, {u1, v0, z1}, {u0, v0, z1});
        slope({x1, y1, z0}, {x0, y1, z0}, {u0, v1, z1}, {u1, v1, z1});
        slope({x0, y1, z0}, {x0, y0, z0}, {u0, v0, z1}, {u0, v1, z1});
        slope({x1, y0, z0}, {x1, y1, z0}, {u1, v1, z1}, {u1, v0, z1});
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

    void triangle(Vec a, Vec b, Vec c, Vec normal)
    {
        if ((b - a).cross(c - a).dot(normal) < 0)
            std::swap(b, c);
        normals.append(normal);
        const int first = vertices.size() + 1;
        vertices << a << b << c;
        faces << face(first, first + 1, first + 2, normals.size());
    }

private:
    // Facing the side from which a, b, c, d turn counter-clockwise; the
    // slopes of a raised panel all face the room.
    void slope(Vec a, Vec b, Vec c, Vec d)
    {
        Vec n = (b - a).cross(c - a);
        const double length = std::sqrt(n.dot(n));
        n = {n.x / length, n.y / length, n.z / length};
        if (n.z < 0)
            n = {-n.x, -n.y, -n.z};
        quad(a, b, c, d, n);
    }

    // The normal of a profile step from (y0, z0) to (y1, z1), turned a
    // quarter towards the room as the step climbs.
    static Vec profileNormal(double y0, double z0, double y1, double z1)
    {
        const double dy = y1 - y0, dz = z1 - z0, length = std::sqrt(dy * dy + dz * dz);
        return {0, -dz / length, dy / length};
    }

    static QString face(int a, int b, int c, int n)
    {
        return QStringLiteral("f %1//%4 %2//%4 %3//%4").arg(a).arg(b).arg(c).arg(n);
    }

    QVector<Vec> vertices;
    QVector<Vec> normals;
    QStringList faces;
};

} // namespace

QString corniceObj(double reach)
{
    QVector<QPair<double, double>> profile = {{0.0, 0.0}, {0.0, 0.05}, {0.08, 0.05}, {0.1, 0.08},
                                              {0.16, 0.08}, {0.18, 0.06}};
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        const double t = M_PI / 2 * i / steps;
        profile.append({0.18 + 0.62 * std::sin(t), 0.06 + 0.34 * (1 - std::cos(t))});
    }
    ObjMesh mesh;
    mesh.sweep(profile);
    // The ceiling, seen from below: a flat band from the cove's top edge, a
    // step up, and the sunk field out over the room. The fields of opposite
    // walls meet in the middle; each band covers the others' fields.
    const double stepAt = 1.1;
    mesh.quad({-0.5, 0.8, 0.4}, {0.5, 0.8, 0.4}, {0.5, 0.8, stepAt}, {-0.5, 0.8, stepAt}, {0, -1, 0});
    mesh.quad({-0.5, 0.8, stepAt}, {0.5, 0.8, stepAt}, {0.5, 1.0, stepAt}, {-0.5, 1.0, stepAt}, {0, 0, 1});
    mesh.quad({-0.5, 1.0, stepAt}, {0.5, 1.0, stepAt}, {0.5, 1.0, reach}, {-0.5, 1.0, reach}, {0, -1, 0});
    return mesh.text(QStringLiteral("moulded cornice, a cove rising from the ceiling line, and the ceiling "
                                    "reaching %1 m over the room").arg(reach));
}

QString wainscotObj()
{
    ObjMesh mesh;
    // Two raised and fielded panels. They come first: what stands in front
    // is drawn before what it hides, which then costs nothing to shade.
    for (const double x : {-0.47, 0.02})
        mesh.raisedPanel(x, x + 0.45, 0.13, 0.83, 0.025, 0.045, 0.03);
    // Skirting with a rounded top, the dado, and a rail with a bead under a cap.
    mesh.sweep({{0.0, 0.0}, {0.0, 0.05}, {0.05, 0.05}, {0.065, 0.045}, {0.075, 0.035}, {0.085, 0.025},
                {0.89, 0.025}, {0.9, 0.04}, {0.915, 0.05}, {0.93, 0.045}, {0.94, 0.05},
                {0.97, 0.065}, {1.0, 0.065}, {1.0, 0.0}});
    return mesh.text(QStringLiteral("panelled wainscot below the paintings"));
}

QString benchObj()
{
    ObjMesh mesh;
    // The seat: a thick board with rounded edges, standing clear of the wall.
    mesh.extrude({{0.86, 0.08}, {0.86, 0.44}, {0.9, 0.47}, {0.96, 0.48}, {1.0, 0.46}, {1.0, 0.08}}, -0.5, 0.5);
    // Under it an apron between the legs, the legs with their feet, and a stretcher.
    mesh.box({-0.4, 0.74, 0.14}, {0.4, 0.86, 0.16});
    mesh.box({-0.4, 0.74, 0.38}, {0.4, 0.86, 0.40});
    for (const double x : {-0.45, 0.37}) {
        mesh.box({x, 0.06, 0.14}, {x + 0.08, 0.86, 0.40});
        mesh.extrude({{0.0, 0.09}, {0.0, 0.45}, {0.06, 0.42}, {0.1, 0.38}, {0.1, 0.16}, {0.06, 0.12}},
                     x - 0.01, x + 0.09);
    }
    mesh.box({-0.37, 0.28, 0.25}, {0.37, 0.36, 0.29});
    return mesh.text(QStringLiteral("bench on two legs joined by a stretcher"));
}

} // namespace roomgen
