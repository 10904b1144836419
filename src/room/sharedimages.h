// Images decoded once while a scene is read: a file that several pictures show
// (one panel on two sections, the blank map of every panel without a map of
// its own) is decoded once and its pixels are shared by every picture. Files
// named in advance are decoded on worker threads meanwhile.
#pragma once

#include <QDateTime>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QPair>
#include <QString>
#include <QStringList>

class SharedImages
{
public:
    using Decode = QImage (*)(const QString&);

    // The newest one in scope is the one pictures share through.
    SharedImages();
    ~SharedImages();
    SharedImages(const SharedImages&) = delete;
    SharedImages& operator=(const SharedImages&) = delete;

    // Starts decoding the JPEG and PNG files among `paths` on worker threads with
    // `quietDecode`, which must log nothing itself but what its decoder says.
    // A decode whose decoder says anything is thrown away: the file is decoded
    // again when a picture reads it, so that its lines come in their place.
    // A path named n times is let go once it has been read n times: the
    // pictures then hold the only references to its pixels.
    void prefetch(const QStringList& paths, Decode quietDecode);

    // `decode(path)`, or the image decoded before from the same unchanged file.
    // Without a SharedImages in scope every call decodes. A file whose decoding
    // logged anything is decoded again each time, so that every picture that
    // reads it still logs its own lines.
    static QImage read(const QString& path, Decode decode);

private:
    using Key = QPair<QString, QDateTime>;
    static Key keyFor(const QString& path);
    QImage decodeHere(const Key& key, const QString& path, Decode decode);
    QImage found(const Key& key, const QString& path, Decode decode);
    void countRead(const Key& key);
    void finishWorkers();

    QHash<Key, QImage> images;
    QHash<Key, QFuture<QImage>> decoding;
    QHash<Key, int> readsToCome;
    bool workersRunning = false;
    SharedImages* outer = nullptr;
};
