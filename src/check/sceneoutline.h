// The scene file as elements with their line numbers, read apart from the
// program's own reader (which keeps no lines) so that every finding can say
// where to look.
#pragma once

#include <QString>
#include <QVector>
#include <QXmlStreamAttributes>

struct OutlineElement
{
    QString tag;
    int line = 0;
    QXmlStreamAttributes attributes;
    int parent = -1;
    QVector<int> children;

    bool has(const QString& name) const { return attributes.hasAttribute(name); }
    QString value(const QString& name) const { return attributes.value(name).toString(); }
};

class SceneOutline
{
public:
    // False when the file is not XML; `errorLine` and `errorText` then say why.
    bool read(const QByteArray& bytes);

    // Elements in document order; element 0 is the root.
    QVector<OutlineElement> elements;
    int errorLine = 0;
    QString errorText;

    const OutlineElement& at(int index) const { return elements[index]; }
    QVector<int> children(int parent, const QString& tag) const;
    // The elements the program reads, in the order it reads them.
    QVector<int> walls() const;
    QVector<int> sections() const;
    QVector<int> detailMaps() const;
    QVector<int> details() const;
    // Elements `tag` anywhere under a <walls> of the room (ceiling, section, mesh, ...).
    QVector<int> inWalls(const QString& tag) const;
    // The <walls> element holding `element`, or -1.
    int wallsOf(int element) const;
};
