// A triangle mesh read from a Wavefront OBJ file under data/, placed and
// stretched by the scene (the ceiling and the meshes under the paintings).
#pragma once

#include "geometry.h"

#include <QString>
#include <QTypeInfo>
#include <QVector>

class Face
{
public:
    Face() = default;
    Face(int v1, int t1, int n1, int v2, int t2, int n2, int v3, int t3, int n3);

    int vertexIndex(int corner) const { return vertex[corner]; }
    int normalIndex(int corner) const { return normal[corner]; }

    int vertex[3] = {0, 0, 0};
    int texture[3] = {0, 0, 0};
    int normal[3] = {0, 0, 0};
};

// Faces are plain integers: large lists grow by moving memory, not copying.
Q_DECLARE_TYPEINFO(Face, Q_MOVABLE_TYPE);

class Model
{
public:
    Model() = default;
    Model(QString name, point3 position, point3 size);

    bool readObj(QString path);
    // The end of the program for a model it cannot read, with status -2.
    [[noreturn]] static void stopForUnreadableFile(const QString& path);

    // Scale that stretches the model's box to the requested width and height; an
    // axis on which the box is flat keeps factor 1.
    point3 scaleFactors() const;

    // Draws with the GL context current, in the containing frame.
    void draw() const;

    QVector<point3> vertices;
    QVector<point3> normals;
    QVector<Face> faces;
    QString materialLibrary;
    QString filePath;
    BoundingBox boundingBox;
    point3 size;
    point3 position;
    QString name;
    // Faces the reader could not keep (fewer than three corners, or a vertex outside the list).
    int droppedFaces = 0;
};
