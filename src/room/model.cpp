#include "model.h"

#include "processend.h"
#include "roomfolder.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QStringRef>
#include <QTextStream>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

struct ReadProblems
{
    int brokenFaces = 0;
    int nonFiniteNumbers = 0;
    int nonFiniteNormals = 0;
};

// A coordinate that is not a finite number would poison the box and the
// scaling of the whole model; it counts as 0 like any other unreadable number.
float coordinate(const QVector<QStringRef>& fields, int index, ReadProblems& problems)
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
    const QVector<QStringRef> fields = line.splitRef(' ');
    return point3(coordinate(fields, 1, problems), coordinate(fields, 2, problems),
                  coordinate(fields, 3, problems));
}

// Part n of a corner cut at "/"; empty when the corner has fewer parts.
QStringRef cornerPart(const QStringRef& corner, int n)
{
    int from = 0;
    for (int skipped = 0; skipped < n; ++skipped) {
        from = corner.indexOf('/', from);
        if (from < 0)
            return QStringRef();
        ++from;
    }
    const int to = corner.indexOf('/', from);
    return corner.mid(from, to < 0 ? -1 : to - from);
}

// Indices in the file count from 1; a missing or unreadable part becomes -1,
// and so does one beyond the range of an index.
int zeroBasedIndex(const QStringRef& corner, int part)
{
    const qlonglong index = cornerPart(corner, part).toLongLong(nullptr, 10) - 1;
    return index >= 0 && index <= INT_MAX ? int(index) : -1;
}

bool readFace(const QString& line, Face& face)
{
    const QVector<QStringRef> fields = line.splitRef(' ', Qt::SkipEmptyParts);
    if (fields.size() < 4)
        return false;
    for (int corner = 0; corner < 3; ++corner) {
        const QStringRef& text = fields.at(corner + 1);
        face.vertex[corner] = zeroBasedIndex(text, 0);
        face.texture[corner] = zeroBasedIndex(text, 1);
        face.normal[corner] = zeroBasedIndex(text, 2);
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

enum Keyword { UseMaterial, MaterialLibrary, VertexKeyword, NormalKeyword, FaceKeyword, KeywordCount };

const QLatin1String keywords[KeywordCount] = {QLatin1String("usemtl"), QLatin1String("mtllib"),
                                              QLatin1String("v "), QLatin1String("vn "),
                                              QLatin1String("f ")};

ushort asciiLower(ushort c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool asciiMatchAt(const ushort* chars, int length, int start, QLatin1String keyword)
{
    if (start + keyword.size() > length)
        return false;
    for (int i = 0; i < keyword.size(); ++i) {
        if (asciiLower(chars[start + i]) != keyword[i])
            return false;
    }
    return true;
}

int keywordsFolded(const QString& line)
{
    int found = 0;
    for (int k = 0; k < KeywordCount; ++k) {
        if (line.contains(keywords[k], Qt::CaseInsensitive))
            found |= 1 << k;
    }
    return found;
}

// Which keywords the line holds anywhere, ignoring case, as bits. Files with
// millions of lines make this the reader's inner loop, so plain ASCII lines are
// scanned once for all keywords; a line with any other character goes through
// Qt's full case folding instead.
int keywordsIn(const QString& line)
{
    const ushort* chars = line.utf16();
    int found = 0;
    for (int start = 0; start < line.size(); ++start) {
        if (chars[start] > 127)
            return keywordsFolded(line);
        const char first = char(asciiLower(chars[start]));
        for (int k = 0; k < KeywordCount; ++k) {
            if (keywords[k].front() == first && asciiMatchAt(chars, line.size(), start, keywords[k]))
                found |= 1 << k;
        }
    }
    return found;
}

bool has(int found, Keyword keyword)
{
    return found & (1 << keyword);
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
    const int vertexCount = model.vertices.size();
    const auto firstDropped = std::remove_if(model.faces.begin(), model.faces.end(),
        [vertexCount](const Face& face) { return !namesVerticesIn(face, vertexCount); });
    const int dropped = int(model.faces.end() - firstDropped);
    model.faces.erase(firstDropped, model.faces.end());
    return dropped;
}

// Coordinates near the float's limit overflow in the cross product; such a
// normal counts as 0 like a coordinate that is no finite number.
point3 faceNormal(const point3& a, const point3& b, const point3& c, ReadProblems& problems)
{
    point3 normal = (b - a).cross(c - a).normalized();
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(normal[i])) {
            ++problems.nonFiniteNormals;
            return point3(0.0f, 0.0f, 0.0f);
        }
    }
    return normal;
}

// Corners written without a usable normal light up with the face's own
// normal, appended to the list so that drawing always finds one.
void completeNormals(Model& model, ReadProblems& problems)
{
    const int readNormals = model.normals.size();
    for (Face& face : model.faces) {
        int defaultIndex = -1;
        for (int corner = 0; corner < 3; ++corner) {
            if (isIndexOf(face.normal[corner], readNormals))
                continue;
            if (defaultIndex < 0) {
                defaultIndex = model.normals.size();
                model.normals.append(faceNormal(model.vertices.at(face.vertex[0]), model.vertices.at(face.vertex[1]),
                                                model.vertices.at(face.vertex[2]), problems));
            }
            face.normal[corner] = defaultIndex;
        }
    }
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
    const QString path = roomFile(name);
    if (readObj(path)) {
        this->size = size;
        this->position = position;
        return;
    }
    stopForUnreadableFile(path);
}

void Model::stopForUnreadableFile(const QString& path)
{
    qDebug("Error!!! -.-\"");
    qCritical("Cannot read the model file \"%s\" (working directory \"%s\")", qPrintable(path),
              qPrintable(QDir::currentPath()));
    endProcess(-2);
}

bool Model::readObj(QString path)
{
    filePath = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;

    ReadProblems problems;
    QTextStream in(&file);
    // Model files travel between machines: their text must not depend on the locale.
    in.setCodec("UTF-8");
    QString line;
    while (in.readLineInto(&line)) {
        if (line.startsWith('#'))
            continue;
        const int found = keywordsIn(line);
        if (has(found, UseMaterial))
            continue;
        if (has(found, MaterialLibrary))
            materialLibrary = line.split(' ', Qt::SkipEmptyParts).constLast();
        if (has(found, VertexKeyword))
            vertices.append(readPoint(line, problems));
        else if (has(found, NormalKeyword))
            normals.append(readPoint(line, problems));
        else if (has(found, FaceKeyword))
            appendFace(line, faces, problems);
    }

    problems.brokenFaces += dropFacesOutsideVertices(*this);
    droppedFaces = problems.brokenFaces;
    completeNormals(*this, problems);
    for (const point3& vertex : qAsConst(vertices))
        boundingBox.add(vertex);

    if (problems.brokenFaces > 0)
        qWarning("Model \"%s\": dropped %d faces with fewer than three corners or a vertex "
                 "outside the vertex list", qPrintable(path), problems.brokenFaces);
    if (problems.nonFiniteNumbers > 0)
        qWarning("Model \"%s\": read %d coordinates that are not finite numbers as 0",
                 qPrintable(path), problems.nonFiniteNumbers);
    if (problems.nonFiniteNormals > 0)
        qWarning("Model \"%s\": %d face normals overflow to numbers that are not finite; reading them as 0",
                 qPrintable(path), problems.nonFiniteNormals);
    return true;
}

point3 Model::scaleFactors() const
{
    const point3 min = boundingBox.getMin();
    const point3 max = boundingBox.getMax();
    return point3(stretch(size.x, min.x, max.x), stretch(size.y, min.y, max.y), 1.0f);
}
