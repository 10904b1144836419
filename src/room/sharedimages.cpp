#include "sharedimages.h"

#include "plainjpeg.h"
#include "plainpng.h"

#include <QFile>
#include <QFileInfo>
#include <QtConcurrent>

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

// While workers decode, what their decoders say is only counted, per worker;
// the main thread's lines go on as before.
thread_local int* workerLines = nullptr;
QtMessageHandler beforeWorkers = nullptr;

void routeLine(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (workerLines)
        ++*workerLines;
    else
        beforeWorkers(type, context, text);
}

QImage decodeOnWorker(const QString& path, SharedImages::Decode quietDecode)
{
    int lines = 0;
    workerLines = &lines;
    const QImage image = quietDecode(path);
    workerLines = nullptr;
    return lines == 0 ? image : QImage();
}

// libjpeg's complaints all pass through Qt's messages, and PNG files are
// decoded on workers by a decoder that says nothing; the other decoders may
// write straight to the error stream, which only the main thread may catch.
bool decodesOnWorkers(const QString& path)
{
    QFile file(path);
    const QByteArray start = file.open(QIODevice::ReadOnly) ? file.read(8) : QByteArray();
    return isJpegData(start) || isPngData(start);
}

} // namespace

SharedImages::SharedImages() : outer(innermost)
{
    innermost = this;
}

SharedImages::~SharedImages()
{
    finishWorkers();
    innermost = outer;
}

SharedImages::Key SharedImages::keyFor(const QString& path)
{
    const QFileInfo file(path);
    return Key(file.absoluteFilePath(), file.lastModified());
}

void SharedImages::prefetch(const QStringList& paths, Decode quietDecode)
{
    for (const QString& path : paths) {
        const Key key = keyFor(path);
        ++readsToCome[key];
        if (decoding.contains(key) || !decodesOnWorkers(path))
            continue;
        if (!workersRunning) {
            beforeWorkers = qInstallMessageHandler(routeLine);
            workersRunning = true;
        }
        decoding.insert(key, QtConcurrent::run(decodeOnWorker, path, quietDecode));
    }
}

// Decoding on this thread swaps the message handler, which workers must not see.
void SharedImages::finishWorkers()
{
    if (!workersRunning)
        return;
    for (QFuture<QImage>& future : decoding)
        future.waitForFinished();
    qInstallMessageHandler(beforeWorkers);
    workersRunning = false;
}

QImage SharedImages::read(const QString& path, Decode decode)
{
    if (!innermost)
        return decode(path);
    const Key key = keyFor(path);
    const QImage image = innermost->found(key, path, decode);
    innermost->countRead(key);
    return image;
}

QImage SharedImages::found(const Key& key, const QString& path, Decode decode)
{
    const auto kept = images.constFind(key);
    if (kept != images.constEnd())
        return *kept;
    if (decoding.contains(key)) {
        const QImage decoded = decoding.take(key).result();
        if (!decoded.isNull())
            return *images.insert(key, decoded);
    }
    return decodeHere(key, path, decode);
}

void SharedImages::countRead(const Key& key)
{
    const auto left = readsToCome.find(key);
    if (left != readsToCome.end() && --*left == 0) {
        readsToCome.erase(left);
        images.remove(key);
    }
}

QImage SharedImages::decodeHere(const Key& key, const QString& path, Decode decode)
{
    finishWorkers();
    loggedLines = 0;
    forwardTo = qInstallMessageHandler(countLine);
    const QImage image = decode(path);
    qInstallMessageHandler(forwardTo);
    if (loggedLines == 0 && !image.isNull())
        images.insert(key, image);
    return image;
}
