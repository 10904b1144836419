// What every fuzz target shares: a scratch room folder that lives as long as
// the process, the input written into one of its files, and silence, because
// the readers warn about nearly every input and the output would drown the
// fuzzer's own.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace fuzzroom {

inline QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

inline void silence(QtMsgType, const QMessageLogContext&, const QString&) {}

// Once per process: an application object for the readers' plug-ins, and no messages.
inline void start()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    qInstallMessageHandler(silence);
    // A reader that ends the process itself leaves no crash file behind: the
    // input that did it is still in this folder, which such an ending keeps.
    std::fprintf(stderr, "Scratch room folder: %s\n", qPrintable(folder().path()));
}

inline QString file(const QString& name)
{
    return folder().filePath(name);
}

inline QString write(const QString& name, const uint8_t* data, size_t size)
{
    QFile out(file(name));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(reinterpret_cast<const char*>(data), qint64(size));
    return out.fileName();
}

inline QString write(const QString& name, const QByteArray& bytes)
{
    return write(name, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

} // namespace fuzzroom
