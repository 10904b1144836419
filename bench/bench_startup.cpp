// Start-up of the real program against the floor set by its images: the time
// from process start until the loading window closes, divided by the time one
// thread takes to decode the room's image files, and the program's resident
// memory once it has started. Run it under X from the build folder:
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench/bench_startup [--runs N] [--data FOLDER] [--program PATH]...
// Figures are medians over the runs.
#include "benchutil.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QThread>

namespace {

// The line the program logs once every texture is made and the loading window closes.
const QByteArray startedLine = "PROGRESS 200%";
// Time left for the first frames after start-up before the memory is read.
const int settleMs = 1000;
const int timeoutMs = 300000;

// Every distinct image file the room's pictures read: each panel, and its own
// map or else the folder's blank map.
QStringList roomImageFiles(const QString& folder)
{
    QFile file(folder + "/Stanza.xml");
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return {};
    QSet<QString> files;
    for (const char* tag : {"section", "extra"}) {
        const QDomNodeList elements = document.elementsByTagName(QLatin1String(tag));
        for (int i = 0; i < elements.size(); ++i) {
            const QString image = folder + "/" + elements.at(i).toElement().attribute("name");
            const QString ownMap = image.section('.', 0, -2) + ".png";
            files << image << (QFileInfo::exists(ownMap) ? ownMap : folder + "/blank.png");
        }
    }
    return files.values();
}

struct StartUp
{
    double milliseconds = -1.0;
    double residentMB = -1.0;
};

double residentMegabytes(qint64 pid)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1.0;
}

StartUp startOnce(const QString& program, const QString& folder)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    StartUp result;
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    process.start(program, {"--data", folder});
    while (process.state() != QProcess::NotRunning && timer.elapsed() < timeoutMs) {
        process.waitForReadyRead(50);
        output += process.readAll();
        if (output.contains(startedLine)) {
            result.milliseconds = timer.nsecsElapsed() / 1e6;
            QThread::msleep(settleMs);
            result.residentMB = residentMegabytes(process.processId());
            break;
        }
    }
    process.kill();
    process.waitForFinished();
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({{"runs", "Runs of each measurement (default 3).", "N", "3"},
                       {"data", "The room folder (default data).", "FOLDER", "data"},
                       {"program", "A program to start (default ./pellavio); may be given again.", "PATH"}});
    parser.process(app);
    const int runs = qMax(1, parser.value("runs").toInt());
    const QString folder = parser.value("data");
    const QStringList programs = parser.isSet("program") ? parser.values("program") : QStringList{"./pellavio"};
    const QStringList images = roomImageFiles(folder);
    if (images.isEmpty()) {
        std::fprintf(stderr, "bench_startup: no room with images in %s\n", qPrintable(folder));
        return 1;
    }

    const double decodeMs = medianMilliseconds(runs, [&] {
        for (const QString& path : images)
            QImage(path).isNull();
    });
    // Several programs (a build before and after a change) take turns, so that
    // the machine's load weighs on them alike.
    std::vector<std::vector<double>> times(programs.size()), memories(programs.size());
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < programs.size(); ++p) {
            const StartUp startUp = startOnce(programs[p], folder);
            if (startUp.milliseconds < 0.0) {
                std::fprintf(stderr, "bench_startup: %s never logged \"%s\"\n", qPrintable(programs[p]),
                             startedLine.constData());
                return 1;
            }
            times[p].push_back(startUp.milliseconds);
            memories[p].push_back(startUp.residentMB);
        }
    }
    std::printf("room %s: %d image files\n", qPrintable(folder), int(images.size()));
    std::printf("one-thread decode of the images: %8.1f ms (median of %d)\n", decodeMs, runs);
    for (int p = 0; p < programs.size(); ++p) {
        const double startMs = medianOf(times[p]);
        std::printf("%s\n", qPrintable(programs[p]));
        std::printf("  start -> loading window closed:  %8.1f ms\n", startMs);
        std::printf("  start-up / decode:               %8.2f\n", startMs / decodeMs);
        std::printf("  resident memory after start-up:  %8.1f MB\n", medianOf(memories[p]));
    }
    return 0;
}
