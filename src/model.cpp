#include "model.h"

#include <GL/glew.h>

#include "scene.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cmath>
#include <cstdlib>

namespace {

struct ReadProblems
{
    int brokenFaces = 0;
    int nonFiniteNumbers = 0;
};

// A coordinate that is not a finite number would poison the box and the
// scaling of the whole model; it counts as 0 like any other unreadable number.
float coordinate(const QStringList& fields, int index, ReadProblems& problems)
{
    if (index >= fields.size())
        return 0.0f;
    bool number = false;
    const float value = fields.at(index).toFloat(&number);
    if (!number)
        return 0.0f;
    if (std::isfinite(value))
        return value;
    ++problems.nonFiniteNumbers;
    return 0.0f;
}

point3 readPoint(const QString& line, ReadProblems& problems)
{
    const QStringList fields = line.split(' ');
    return point3(coordinate(fields, 1, problems), coordinate(fields, 2, problems),
                  coordinate(fields, 3, problems));
}

// Indices in the file count from 1; a missing or unreadable part becomes -1.
int zeroBasedIndex(const QVector<QStringRef>& parts, int index)
{
    return index < parts.size() ? parts.at(index).toInt(nullptr, 10) - 1 : -1;
}

bool readFace(const QString& line, Face& face)
{
    const QVector<QStringRef> fields = line.splitRef(' ', Qt::SkipEmptyParts);
    if (fields.size() < 4)
        return false;
    for (int corner = 0; corner < 3; ++corner) {
        const QVector<QStringRef> parts = fields.at(corner + 1).split('/');
        face.vertex[corner] = zeroBasedIndex(parts, 0);
        face.texture[corner] = zeroBasedIndex(parts, 1);
        face.normal[corner] = zeroBasedIndex(parts, 2);
    }
    return true;
}

// Only the first three corners are kept; a face with fewer cannot be drawn.
void appendFace(const QString& line, QVector<Face>& faces, ReadProblems& problems)
{
    Face face;
    if (readFace(line, face))
        faces.append(face);
    else
        ++problems.brokenFaces;
}

bool has(const QString& line, const char* keyword)
{
    return line.contains(QLatin1String(keyword), Qt::CaseInsensitive);
}

bool isIndexOf(int index, int count)
{
    return index >= 0 && index < count;
}

bool namesVerticesIn(const Face& face, int vertexCount)
{
    for (int corner = 0; corner < 3; ++corner) {
        if (!isIndexOf(face.vertex[corner], vertexCount))
            return false;
    }
    return true;
}

// Faces are checked once the whole file is read, because an OBJ may name a
// vertex before listing it.
int dropFacesOutsideVertices(Model& model)
{
    QVector<Face> kept;
    kept.reserve(model.faces.size());
    for (const Face& face : qAsConst(model.faces)) {
        if (namesVerticesIn(face, model.vertices.size()))
            kept.append(face);
    }
    const int dropped = model.faces.size() - kept.size();
    model.faces = kept;
    return dropped;
}

// Corners written without a usable normal light up with the face's own
// normal, appended to the list so that drawing always finds one.
void completeNormals(Model& model)
{
    const int readNormals = model.normals.size();
    for (Face& face : model.faces) {
        int defaultIndex = -1;
        for (int corner = 0; corner < 3; ++corner) {
            if (isIndexOf(face.normal[corner], readNormals))
                continue;
            if (defaultIndex < 0) {
                const point3& a = model.vertices.at(face.vertex[0]);
                const point3& b = model.vertices.at(face.vertex[1]);
                const point3& c = model.vertices.at(face.vertex[2]);
                defaultIndex = model.normals.size();
                model.normals.append((b - a).cross(c - a).normalized());
            }
            face.normal[corner] = defaultIndex;
        }
    }
}

void emitCorner(const Model& model, const Face& face, int corner)
{
    const point3& n = model.normals.at(face.normalIndex(corner));
    const point3& v = model.vertices.at(face.vertexIndex(corner));
    glNormal3f(n.x, n.y, n.z);
    glVertex3f(v.x, v.y, v.z);
}

bool drawable(const Model& model, const Face& face)
{
    for (int corner = 0; corner < 3; ++corner) {
        if (!isIndexOf(face.vertex[corner], model.vertices.size())
            || !isIndexOf(face.normal[corner], model.normals.size()))
            return false;
    }
    return true;
}

float stretch(float wanted, float from, float to)
{
    const float extent = to - from;
    return extent != 0.0f ? wanted / extent : 1.0f;
}

} // namespace

Face::Face(int v1, int t1, int n1, int v2, int t2, int n2, int v3, int t3, int n3)
    : vertex{v1, v2, v3}, texture{t1, t2, t3}, normal{n1, n2, n3}
{
}

Model::Model(QString name, point3 position, point3 size) : name(name)
{
    const QString path = "data/" + name;
    if (readObj(path)) {
        this->size = size;
        this->position = position;
        return;
    }
    qDebug("Error!!! -.-\"");
    qCritical("Cannot read the model file \"%s\" (working directory \"%s\")", qPrintable(path),
              qPrintable(QDir::currentPath()));
    std::exit(-2);
}

bool Model::readObj(QString path)
{
    filePath = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;

    ReadProblems problems;
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.startsWith('#') || has(line, "usemtl"))
            continue;
        if (has(line, "mtllib"))
            materialLibrary = line.split(' ', Qt::SkipEmptyParts).constLast();
        if (has(line, "v "))
            vertices.append(readPoint(line, problems));
        else if (has(line, "vn "))
            normals.append(readPoint(line, problems));
        else if (has(line, "f "))
            appendFace(line, faces, problems);
    }

    problems.brokenFaces += dropFacesOutsideVertices(*this);
    completeNormals(*this);
    for (const point3& vertex : qAsConst(vertices))
        boundingBox.add(vertex);

    if (problems.brokenFaces > 0)
        qWarning("Model \"%s\": dropped %d faces with fewer than three corners or a vertex "
                 "outside the vertex list", qPrintable(path), problems.brokenFaces);
    if (problems.nonFiniteNumbers > 0)
        qWarning("Model \"%s\": read %d coordinates that are not finite numbers as 0",
                 qPrintable(path), problems.nonFiniteNumbers);
    return true;
}

point3 Model::scaleFactors() const
{
    const point3 min = boundingBox.getMin();
    const point3 max = boundingBox.getMax();
    return point3(stretch(size.x, min.x, max.x), stretch(size.y, min.y, max.y), 1.0f);
}

void Model::draw() const
{
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, blankTexture);
    glTranslatef(position.x, position.y, position.z);
    const point3 scale = scaleFactors();
    glScalef(scale.x, scale.y, scale.z);
    glTranslatef(boundingBox.getMax().x, 0.0f, 0.0f);
    glColor3f(1.0f, 0.0f, 0.0f);

    // First, third, second: faces listed counter-clockwise in the file turn
    // clockwise on screen, the front-face winding of the view.
    glBegin(GL_TRIANGLES);
    for (const Face& face : faces) {
        if (!drawable(*this, face))
            continue;
        emitCorner(*this, face, 0);
        emitCorner(*this, face, 2);
        emitCorner(*this, face, 1);
    }
    glEnd();
    glPopMatrix();
}
