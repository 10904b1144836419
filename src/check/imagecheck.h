// Checks of the pictures and their detail maps as the program loaded them:
// unreadable files, sizes and resolutions, and whether every listed colour
// lies where the program looks for it while nothing else is painted.
#pragma once

#include "roomundercheck.h"

#include <QHash>

class ImageCheck
{
public:
    ImageCheck(RoomUnderCheck& room, int maxTexture) : room(room), maxTexture(maxTexture) {}
    void run();

    // How often each 32-bit value (in the pictures' GL layout) occurs in a map, in all
    // pixels and in the pixels the program samples.
    struct ColourCount
    {
        int all = 0;
        int sampled = 0;
    };
    static QHash<quint32, ColourCount> countColours(const QImage& map);
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
    void checkMapColours(const QString& mapName, const QImage& map);
    void reportStrayPixels(const QString& mapName, const QImage& map, const QSet<quint32>& listed, bool anyListed);

    RoomUnderCheck& room;
    int maxTexture;
};
