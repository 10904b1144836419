// The room read from data/Stanza.xml: wall sections laid out as a walk along
// the walls, their pictures and models, and the pointable details.
#pragma once

#include "detail.h"
#include "detailmap.h"
#include "geometry.h"
#include "model.h"
#include "picture.h"
#include "section.h"

#include <QDomElement>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

class Scene : public QObject
{
    Q_OBJECT

public:
    Scene();

    bool readXML(QString fileName);
    void readSection(QDomElement element);
    void readCeiling(QDomElement element);
    void readWall(QDomElement element);
    void readDetailMap(QDomElement element, int& letterIndex, int& ordinal);

    void closeRoom();
    QVector<int> wallRuns() const;
    int findModel(const QString& name) const;
    point3 startPoint() const;

    int indexOfDetail(int id) const;
    Detail detailAt(int index) const;
    int detailIdAtColor(float r, float g, float b) const;
    BoundingBox mapRegion(const Picture& picture, const Detail& detail) const;
    BoundingBox detailBox(const Section& section, const Detail& detail, const Picture& picture) const;

    void showLoadingProgress(float progress);
    // These need the view's GL context to be current.
    void uploadTexturesInRam();
    void uploadSectionTextures(Section& section);
    void draw() const;

    BoundingBox bounds;
    float roomHeight = 0.0f;
    QVector<Detail> details;
    QVector<Model> models;
    QVector<Section> sections;
    QString dataPath;
    bool texturesUploaded = false;

    // The layout pen: where the next section starts and where it heads.
    point3 layoutPosition = point3(0, 0, 0);
    point3 layoutDirection = point3(1, 0, 0);

signals:
    void loadingProgressSignal(float progress);
    // Emitted as soon as a section is in `sections`, while later ones are still read.
    void sectionRead(int index);

private:
    // Where a detail map is painted: the picture `pictureKey` of section `section`.
    struct DetailMapUse
    {
        int section = -1;
        QString pictureKey;
    };

    void readWalls(const QDomElement& walls);
    // False, with a warning naming the element's line, for a file name the room may not use.
    bool acceptsFileName(const QDomElement& element, const QString& attribute) const;
    Picture readPicture(const QDomElement& element, point3 position, point3 size) const;
    Model readModel(const QDomElement& element, point3 position, point3 size) const;
    void placeMesh(Section& section, const QDomElement& element, float pictureWidth, float top);
    void placeExtra(Section& section, const QDomElement& element, float& top);
    float marginOffset(const QDomElement& element, float width, float itemWidth) const;
    DetailMapUse findDetailMapUse(const QString& mapPath) const;
    int databaseLetterIndex(const QDomElement& element) const;
    Detail readDetailColor(const QDomElement& element, int id, const QString& mapName) const;
    void drawFloor() const;

    // Index in `models` of the first ceiling read; -1 before any.
    int ceilingModelIndex = -1;
    // Colour extents per detail map image (by QImage::cacheKey), filled while the file is read.
    mutable QHash<qint64, DetailMap> mapRegionCache;
};
