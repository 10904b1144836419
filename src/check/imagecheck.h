// Checks of the pictures and their detail maps as the program loaded them:
// unreadable files, sizes and resolutions, and whether every listed colour
// lies where the program looks for it while nothing else is painted.
#pragma once

#include "roomundercheck.h"

#include <QHash>
#include <QRect>

class ImageCheck
{
public:
    ImageCheck(RoomUnderCheck& room, int maxTexture) : room(room), maxTexture(maxTexture) {}
    void run();

    // The pixel value of a detail colour in the GL layout, as the program compares it.
    static quint32 mapValue(const point3& colour);

private:
    struct PlacedPicture
    {
        Picture picture;
        QString name;
        int line = 0;
    };

    QVector<PlacedPicture> placedPictures() const;
    void checkPicture(const PlacedPicture& placed);
    void checkTextureSize(const QString& file, const QImage& image);
    void checkMapFile(const PlacedPicture& placed);
    // What a map holds besides black: pixels of listed colours, and the others.
    struct MapScan
    {
        QHash<quint32, int> listedCount;
        QHash<quint32, int> strayCount;
        int stray = 0;
        QRect strayBox;
        QPoint sample;
        quint32 sampleValue = 0;
    };

    static MapScan scan(const QImage& map, const QSet<quint32>& listed);
    void checkMapColours(const QString& mapName, const QImage& map);
    static QString likelyMeant(const MapScan& found, quint32 listedValue);
    void reportStrayPixels(const QString& mapName, const MapScan& found, bool anyListed);

    RoomUnderCheck& room;
    int maxTexture;
};
