#include "sceneoutline.h"

#include <QXmlStreamReader>

bool SceneOutline::read(const QByteArray& bytes)
{
    elements.clear();
    QXmlStreamReader reader(bytes);
    int open = -1;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            OutlineElement element;
            // The program compares names as written: "x:detail" is no detail to it.
            element.tag = reader.qualifiedName().toString();
            element.line = int(reader.lineNumber());
            element.attributes = reader.attributes();
            element.parent = open;
            elements.append(element);
            open = elements.size() - 1;
            if (element.parent >= 0)
                elements[element.parent].children.append(open);
        } else if (token == QXmlStreamReader::EndElement) {
            open = elements[open].parent;
        }
    }
    if (reader.hasError() || elements.isEmpty()) {
        errorLine = int(reader.lineNumber());
        errorText = reader.hasError() ? reader.errorString() : QStringLiteral("no element at all");
        return false;
    }
    return true;
}

QVector<int> SceneOutline::children(int parent, const QString& tag) const
{
    QVector<int> found;
    for (int child : elements[parent].children) {
        if (elements[child].tag == tag)
            found.append(child);
    }
    return found;
}

QVector<int> SceneOutline::walls() const
{
    return children(0, "walls");
}

QVector<int> SceneOutline::sections() const
{
    return inWalls("section");
}

QVector<int> SceneOutline::detailMaps() const
{
    return children(0, "detailMap");
}

QVector<int> SceneOutline::details() const
{
    QVector<int> found;
    for (int map : detailMaps())
        found += children(map, "detail");
    return found;
}

QVector<int> SceneOutline::inWalls(const QString& tag) const
{
    // Meshes and extras are read only on sections, everything else only right under <walls>.
    const bool onSections = tag == "mesh" || tag == "extra";
    QVector<int> found;
    for (int wall : walls()) {
        for (int child : elements[wall].children) {
            if (onSections && elements[child].tag == "section")
                found += children(child, tag);
            else if (!onSections && elements[child].tag == tag)
                found.append(child);
        }
    }
    return found;
}

int SceneOutline::wallsOf(int element) const
{
    while (element > 0 && elements[element].tag != "walls")
        element = elements[element].parent;
    return element > 0 && elements[element].parent == 0 ? element : -1;
}
