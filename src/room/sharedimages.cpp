#include "sharedimages.h"

#include <QFileInfo>

namespace {

SharedImages* innermost = nullptr;

// Lines logged while one image decodes; the count tells whether its decoding
// said anything that a later picture reading the same file must say again.
int loggedLines = 0;
QtMessageHandler forwardTo = nullptr;

void countLine(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    ++loggedLines;
    forwardTo(type, context, text);
}

QImage decodeCounting(const QString& path, QImage (*decode)(const QString&), bool* quiet)
{
    loggedLines = 0;
    forwardTo = qInstallMessageHandler(countLine);
    const QImage image = decode(path);
    qInstallMessageHandler(forwardTo);
    *quiet = loggedLines == 0;
    return image;
}

} // namespace

SharedImages::SharedImages() : outer(innermost)
{
    innermost = this;
}

SharedImages::~SharedImages()
{
    innermost = outer;
}

QImage SharedImages::read(const QString& path, QImage (*decode)(const QString&))
{
    if (!innermost)
        return decode(path);
    const Key key(QFileInfo(path).absoluteFilePath(), QFileInfo(path).lastModified());
    const auto found = innermost->images.constFind(key);
    if (found != innermost->images.constEnd())
        return *found;
    bool quiet = false;
    const QImage image = decodeCounting(path, decode, &quiet);
    if (quiet && !image.isNull())
        innermost->images.insert(key, image);
    return image;
}
