// Images decoded once while a scene is read: a file that several pictures show
// (one panel on two sections, the blank map of every panel without a map of
// its own) is decoded once and its pixels are shared by every picture.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QPair>
#include <QString>

class SharedImages
{
public:
    // The newest one in scope is the one pictures share through.
    SharedImages();
    ~SharedImages();
    SharedImages(const SharedImages&) = delete;
    SharedImages& operator=(const SharedImages&) = delete;

    // `decode(path)`, or the image it gave before for the same unchanged file.
    // Without a SharedImages in scope every call decodes. A file whose decoding
    // logged anything is decoded again each time, so that every picture that
    // reads it still logs its own lines.
    static QImage read(const QString& path, QImage (*decode)(const QString&));

private:
    using Key = QPair<QString, QDateTime>;
    QHash<Key, QImage> images;
    SharedImages* outer = nullptr;
};
