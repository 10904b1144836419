// The room read from data/Stanza.xml: wall sections laid out as a walk along
// the walls, their pictures and models, and the pointable details.
#pragma once

#include "detail.h"
#include "geometry.h"
#include "model.h"
#include "picture.h"

#include <QDomElement>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

// Texture bound for surfaces without an image of their own (floor, models);
// created by the view once its GL context exists.
extern unsigned int blankTexture;

class Section
{
public:
    Section() = default;
    Section(point3 position, point3 direction);

    void updateFrame();
    point3 toWorld(const point3& local) const;
    void addModel(const Model& model) { models.append(model); }

    void uploadTextures();
    void draw() const;

    QMap<QString, Picture> pictures;
    QVector<Model> models;
    point3 origin;
    point3 direction = point3(1, 0, 0);
    float width = 0.0f;
    point3 axisX = point3(1, 0, 0);
    point3 axisY = point3(0, 1, 0);
    point3 axisZ = point3(0, 0, 1);
};

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

    void uploadTexturesInRam();
    void showLoadingProgress(float progress);
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

private:
    // Where a detail map is painted: the picture `pictureKey` of section `section`.
    struct DetailMapUse
    {
        int section = -1;
        QString pictureKey;
    };
    // Extent, in sampled pixel columns and rows, of one colour of a detail map.
    struct PixelRegion
    {
        int minX = 0;
        int minY = 0;
        int maxX = -1;
        int maxY = -1;
        void add(int x, int y)
        {
            if (maxX < 0) {
                minX = maxX = x;
                minY = maxY = y;
                return;
            }
            minX = qMin(minX, x);
            maxX = qMax(maxX, x);
            minY = qMin(minY, y);
            maxY = qMax(maxY, y);
        }
    };
    using ColorRegions = QHash<quint32, PixelRegion>;

    void readWalls(const QDomElement& walls);
    void placeMesh(Section& section, const QDomElement& element, float pictureWidth, float top);
    void placeExtra(Section& section, const QDomElement& element, float& top);
    float marginOffset(const QDomElement& element, float width, float itemWidth) const;
    DetailMapUse findDetailMapUse(const QString& mapPath) const;
    int databaseLetterIndex(const QDomElement& element) const;
    Detail readDetailColor(const QDomElement& element, int id, const QString& mapName) const;
    static bool isMapColor(const point3& color);
    const ColorRegions& colorRegions(const QImage& map) const;
    void drawFloor() const;

    // Index in `models` of the first ceiling read; -1 before any.
    int ceilingModelIndex = -1;
    // Colour extents per detail map image (by QImage::cacheKey), filled while the file is read.
    mutable QHash<qint64, ColorRegions> mapRegionCache;
};
