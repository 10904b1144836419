#include "imagefile.h"

#include "plainjpeg.h"
#include "plainpng.h"

#include <QFile>
#include <QImageReader>
#include <QVector>
#include <QtEndian>
#include <QtGlobal>

#include <climits>
#include <cstdio>

#include <unistd.h>

namespace {

// While an image decodes, its decoder's complaints are held back: they do not
// say which file they are about, so they are released after a line that does.
struct HeldMessage
{
    QtMsgType type;
    QString text;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
};
QVector<HeldMessage> heldMessages;
QtMessageHandler releaseHandler = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    heldMessages.append({type, text, context.file, context.line, context.function, context.category});
}

// libpng writes its errors straight to the standard error stream, past the
// message handler: while an image decodes, the stream goes to a scratch file.
class ErrorStreamCatch
{
public:
    ErrorStreamCatch()
    {
        std::fflush(stderr);
        if (!scratch)
            return;
        saved = dup(STDERR_FILENO);
        if (saved >= 0 && dup2(fileno(scratch), STDERR_FILENO) < 0) {
            close(saved);
            saved = -1;
        }
    }
    ~ErrorStreamCatch()
    {
        restore();
        if (scratch)
            std::fclose(scratch);
    }
    // The lines written meanwhile, as warnings to release with the others.
    void restore(QVector<HeldMessage>* into = nullptr)
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        saved = -1;
        std::rewind(scratch);
        char line[512];
        while (into && std::fgets(line, sizeof line, scratch))
            into->append({QtWarningMsg, QString::fromLocal8Bit(line).trimmed(), {}, 0, {}, {}});
    }

private:
    std::FILE* scratch = std::tmpfile();
    int saved = -1;
};

qint64 pixelLimit = defaultImagePixelLimit;

// Walks the chunk headers of a PNG file without decoding anything: a chunk
// that declares more bytes than are left makes the decoder allocate them all.
// Empty when the file is no PNG or its chunks fit.
QString pngChunkProblem(const QString& path)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != signature)
        return QString();
    const qint64 size = file.size();
    while (file.pos() < size) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return QStringLiteral("the file ends inside a PNG chunk header");
        const qint64 length = qFromBigEndian<quint32>(header.constData());
        const qint64 left = size - file.pos();
        if (length + 4 > left)
            return QString("a PNG chunk declares %1 bytes, more than the %2 left in the file")
                .arg(length).arg(qMax<qint64>(left - 4, 0));
        if (header.mid(4, 4) == "IEND")
            break;
        file.seek(file.pos() + length + 4);
    }
    return QString();
}

// Maps are drawn in flat colours and compress well, and panels are photographs
// a few megabytes large: a file larger than this is left to Qt's reader rather
// than read whole into memory on a worker.
const qint64 wholeFileLimit = 64 * 1024 * 1024;

// The pixel size in the header of a PNG file, invalid when there is none.
QSize pngSize(const QByteArray& file)
{
    if (file.size() < 24 || file.mid(12, 4) != "IHDR")
        return QSize();
    const qint64 width = qFromBigEndian<quint32>(file.constData() + 16);
    const qint64 height = qFromBigEndian<quint32>(file.constData() + 20);
    return width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX ? QSize(int(width), int(height)) : QSize();
}

// Why the image is not decoded at all, or empty.
QString refusal(const QString& path, QImageReader& reader)
{
    const QString chunks = pngChunkProblem(path);
    if (!chunks.isEmpty())
        return chunks;
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > pixelLimit)
        return QString("it is %1 x %2 pixels, more than the limit of %3 pixels")
            .arg(size.width()).arg(size.height()).arg(pixelLimit);
    return QString();
}

QImage decodeHoldingMessages(const QString& path, QVector<HeldMessage>& complaints, QString& refused)
{
    heldMessages.clear();
    releaseHandler = qInstallMessageHandler(holdMessage);
    ErrorStreamCatch errorStream;
    QImageReader reader(path);
    refused = refusal(path, reader);
    const QImage image = refused.isEmpty() ? reader.read() : QImage();
    errorStream.restore(&heldMessages);
    qInstallMessageHandler(releaseHandler);
    complaints.swap(heldMessages);
    return image;
}

void release(const QVector<HeldMessage>& complaints)
{
    for (const HeldMessage& message : complaints) {
        const QMessageLogContext context(message.file.constData(), message.line, message.function.constData(),
                                         message.category.constData());
        releaseHandler(message.type, context, message.text);
    }
}

// The image of an open PNG file if the checks let it be decoded and it is plain.
QImage decodePngWithinLimits(QFile& file, PixelLayout layout)
{
    // Qt's PNG reader may write to the error stream even to tell the size.
    if (!pngChunkProblem(file.fileName()).isEmpty() || file.size() > wholeFileLimit)
        return QImage();
    const QByteArray bytes = file.readAll();
    const QSize size = pngSize(bytes);
    if (!size.isValid() || qint64(size.width()) * size.height() > pixelLimit)
        return QImage();
    return decodePlainPng(bytes, layout);
}

} // namespace

void setImagePixelLimit(qint64 pixels)
{
    pixelLimit = pixels;
}

QImage decodeWithinLimits(const QString& path)
{
    QFile file(path);
    const QByteArray start = file.open(QIODevice::ReadOnly) ? file.peek(8) : QByteArray();
    if (isPngData(start))
        return decodePngWithinLimits(file, PixelLayout::Qt);
    QImageReader reader(path);
    return refusal(path, reader).isEmpty() ? reader.read() : QImage();
}

std::optional<QImage> decodeWithinLimitsInGLLayout(const QString& path)
{
    QFile file(path);
    const QByteArray start = file.open(QIODevice::ReadOnly) ? file.peek(8) : QByteArray();
    if (isPngData(start))
        return decodePngWithinLimits(file, PixelLayout::GL);
    if (!isJpegData(start) || file.size() > wholeFileLimit)
        return std::nullopt;
    QImage image = decodePlainJpeg(file.readAll(), pixelLimit);
    return image.isNull() ? std::nullopt : std::optional<QImage>(std::move(image));
}

QImage readImageFile(const QString& path)
{
    QVector<HeldMessage> complaints;
    QString refused;
    const QImage image = decodeHoldingMessages(path, complaints, refused);
    if (!refused.isEmpty())
        qWarning("Image %s is not read: %s", qPrintable(path), qPrintable(refused));
    if (image.isNull())
        qWarning("Cannot read image: %s", qPrintable(path));
    else if (!complaints.isEmpty())
        qWarning("Image %s is damaged; its decoder says:", qPrintable(path));
    release(complaints);
    return image;
}
