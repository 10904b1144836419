#include "imagefile.h"

#include <QVector>
#include <QtGlobal>

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

QImage decodeHoldingMessages(const QString& path, QVector<HeldMessage>& complaints)
{
    heldMessages.clear();
    releaseHandler = qInstallMessageHandler(holdMessage);
    ErrorStreamCatch errorStream;
    const QImage image(path);
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

} // namespace

QImage readImageFile(const QString& path)
{
    QVector<HeldMessage> complaints;
    const QImage image = decodeHoldingMessages(path, complaints);
    if (image.isNull())
        qWarning("Cannot read image: %s", qPrintable(path));
    else if (!complaints.isEmpty())
        qWarning("Image %s is damaged; its decoder says:", qPrintable(path));
    release(complaints);
    return image;
}
