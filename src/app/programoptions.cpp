#include "programoptions.h"

#include "processend.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

const int kioskIdleSeconds = 90;
const int kioskTourSeconds = 12;

// A whole number of seconds, 0 or more; anything else keeps the default.
int secondsOption(const QCommandLineParser& parser, const QCommandLineOption& option, int byDefault)
{
    if (!parser.isSet(option))
        return byDefault;
    bool ok = false;
    const int seconds = parser.value(option).toInt(&ok);
    if (ok && seconds >= 0)
        return seconds;
    qWarning("Option --%s: \"%s\" is not a whole number of seconds (0 or more); using %d",
             qPrintable(option.names().constFirst()), qPrintable(parser.value(option)), byDefault);
    return byDefault;
}

void printAndExit(const QString& text)
{
    std::fputs(qPrintable(text), stdout);
    endProcess(0);
}

} // namespace

ProgramOptions readProgramOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vovo del Pellavio: the painted room and its animals."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the program's version."));
    const QCommandLineOption kiosk(QStringLiteral("kiosk"),
        QStringLiteral("Run as a museum kiosk: full screen without frame, no browser, ends only with ctrl+alt+Q."));
    const QCommandLineOption idle(QStringLiteral("idle"),
        QStringLiteral("Return to the start after SECONDS without input (90 with --kiosk, otherwise 0 = never)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption tour(QStringLiteral("tour"),
        QStringLiteral("After a return to the start, tour the painted animals, SECONDS on each "
                       "(12 with --kiosk, otherwise 0 = no tour)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption data(QStringLiteral("data"),
        QStringLiteral("Read the room from DIR (default: data/ in the working directory, "
                       "else the installed demo room)."),
        QStringLiteral("DIR"));
    // Handed to the checker before this parser runs; listed here so that --help tells of it.
    const QCommandLineOption check(QStringLiteral("check"),
        QStringLiteral("Check the room folder for a curator and report what to fix, without a display "
                       "(pellavio --check --help lists its own options)."));
    parser.addOptions({help, version, data, check, kiosk, idle, tour});

    if (!parser.parse(arguments))
        qWarning("%s Carrying on without it (--help lists the options).", qPrintable(parser.errorText()));
    if (parser.isSet(help))
        printAndExit(parser.helpText());
    if (parser.isSet(version))
        printAndExit(QStringLiteral("pellavio " PELLAVIO_VERSION " (built " PELLAVIO_BUILD_DATE ")\n"));
    if (!parser.positionalArguments().isEmpty())
        qWarning("Ignoring the arguments %s: the program takes no file names",
                 qPrintable(parser.positionalArguments().join(QLatin1Char(' '))));

    ProgramOptions options;
    options.kiosk = parser.isSet(kiosk);
    options.idleSeconds = secondsOption(parser, idle, options.kiosk ? kioskIdleSeconds : 0);
    options.tourSeconds = secondsOption(parser, tour, options.kiosk ? kioskTourSeconds : 0);
    options.dataFolder = parser.value(data);
    return options;
}

bool asksForTextOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* text : {"-h", "--help", "-help", "--version"}) {
            if (std::strcmp(argv[i], text) == 0)
                return true;
        }
    }
    return false;
}
