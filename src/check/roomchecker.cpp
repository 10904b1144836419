#include "roomchecker.h"

#include "checkreport.h"
#include "databasecheck.h"
#include "imagecheck.h"
#include "layoutcheck.h"
#include "modelcheck.h"
#include "proofsheet.h"
#include "roomfolder.h"
#include "roomundercheck.h"
#include "scenefilecheck.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

const int usageStatus = 2;

struct CheckOptions
{
    // data/ in the working directory, or the room the program was pointed at.
    QString folder = roomFolder();
    bool strict = false;
    bool json = false;
    QString sheetFolder;
    int maxTexture = 8192;
};

int usageError(const QString& message)
{
    std::fprintf(stderr, "pellavio --check: %s\n", qPrintable(message));
    return usageStatus;
}

// Parses the checker's options; -1 when they are usable, else the exit status.
int parseOptions(const QStringList& arguments, CheckOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Checks the room in FOLDER (default data) as the program reads it.");
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption check("check", "Check a room instead of showing it.");
    const QCommandLineOption strict("strict", "Count warnings as errors.");
    const QCommandLineOption format("format", "Print the findings as text or json.", "text|json", "text");
    const QCommandLineOption sheet("sheet", "Write proof sheets of the painted details into DIR.", "DIR");
    const QCommandLineOption maxTexture("max-texture", "Largest image side a kiosk graphics card accepts.",
                                        "N", "8192");
    // The program's own way of naming the room folder serves the checker as well.
    const QCommandLineOption data("data", "The room folder, as FOLDER.", "DIR");
    parser.addOptions({help, check, strict, format, sheet, maxTexture, data});
    parser.addPositionalArgument("FOLDER", "The room folder (default data).", "[FOLDER]");
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    QStringList folders = parser.positionalArguments();
    if (parser.isSet(data))
        folders.prepend(parser.value(data));
    if (folders.size() > 1)
        return usageError("one room folder at most, not " + folders.join(" "));
    if (!folders.isEmpty())
        options.folder = folders.first();
    options.strict = parser.isSet(strict);
    if (parser.value(format) != "text" && parser.value(format) != "json")
        return usageError("--format takes text or json, not " + parser.value(format));
    options.json = parser.value(format) == "json";
    options.sheetFolder = parser.value(sheet);
    bool number = false;
    options.maxTexture = parser.value(maxTexture).toInt(&number);
    if (!number || options.maxTexture < 1)
        return usageError("--max-texture takes a number of pixels, not " + parser.value(maxTexture));
    return -1;
}

// Whether `name` is one of the arguments; a name ending in "=" matches an argument starting with it.
bool hasArgument(int argc, char* argv[], const char* name)
{
    const size_t length = std::strlen(name);
    const bool prefix = length > 0 && name[length - 1] == '=';
    for (int i = 1; i < argc; ++i) {
        if (prefix ? std::strncmp(argv[i], name, length) == 0 : std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

void runChecks(RoomUnderCheck& room, int maxTexture)
{
    room.read();
    SceneFileCheck(room).run();
    ImageCheck(room, maxTexture).run();
    ModelCheck(room).run();
    LayoutCheck(room).run();
    DatabaseCheck(room).run();
}

} // namespace

CheckReport RoomChecker::check(const QString& folder, int maxTexture)
{
    CheckReport report;
    RoomUnderCheck room(folder, report);
    runChecks(room, maxTexture);
    return report;
}

bool RoomChecker::isRequested(int argc, char* argv[])
{
    return hasArgument(argc, argv, "--check");
}

int RoomChecker::main(int argc, char* argv[])
{
    if (!hasArgument(argc, argv, "--sheet") && !hasArgument(argc, argv, "--sheet=")) {
        QCoreApplication application(argc, argv);
        return run(application.arguments());
    }
    // Proof sheets need fonts but never a screen: the checker runs over ssh and in CI.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return run(application.arguments());
}

int RoomChecker::run(const QStringList& arguments)
{
    CheckOptions options;
    const int status = parseOptions(arguments, options);
    if (status >= 0)
        return status;

    CheckReport report;
    RoomUnderCheck room(options.folder, report);
    runChecks(room, options.maxTexture);

    if (!options.sheetFolder.isEmpty()) {
        QString problem;
        if (!ProofSheet(room).write(options.sheetFolder, &problem))
            return usageError(problem);
    }
    const QByteArray out = options.json ? report.json() : report.text().toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return report.exitStatus(options.strict);
}
