// Writes the demo room, or a large room for benchmarks, into a data folder.
#include "roomgen.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool parseSize(const QString& text, QSize* size)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okWidth = false, okHeight = false;
    if (parts.size() == 2)
        *size = QSize(parts[0].toInt(&okWidth), parts[1].toInt(&okHeight));
    return okWidth && okHeight && size->width() >= 64 && size->height() >= 64;
}

bool benchOptions(const QCommandLineParser& parser, roomgen::BenchOptions* options, QString* error)
{
    bool okPanels = true, okDetails = true;
    if (parser.isSet(QStringLiteral("panels")))
        options->panels = parser.value(QStringLiteral("panels")).toInt(&okPanels);
    if (parser.isSet(QStringLiteral("details")))
        options->detailsPerMap = parser.value(QStringLiteral("details")).toInt(&okDetails);
    if (!okPanels || options->panels < 2) {
        *error = QStringLiteral("--panels needs a whole number of at least 2");
        return false;
    }
    if (!okDetails || options->detailsPerMap < 1 || options->detailsPerMap > 100) {
        *error = QStringLiteral("--details needs a whole number from 1 to 100");
        return false;
    }
    if (parser.isSet(QStringLiteral("size")) && !parseSize(parser.value(QStringLiteral("size")), &options->pixels)) {
        *error = QStringLiteral("--size needs WIDTHxHEIGHT in pixels, each at least 64");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Painting needs no screen; the glyphs come out the same on every platform plugin.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a room (Stanza.xml, panels, detail maps, models, determinazioni.csv) into FOLDER.\n"
        "Without --bench it writes the demo room that ships in data/."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("bench"), QStringLiteral("Write a large room for benchmarks instead of the demo room.")},
        {QStringLiteral("panels"), QStringLiteral("Number of panels of the large room (default 16)."), QStringLiteral("N")},
        {QStringLiteral("size"), QStringLiteral("Pixel size of each panel (default 2048x2048)."), QStringLiteral("WxH")},
        {QStringLiteral("details"), QStringLiteral("Details on each panel's map, 1 to 100 (default 20)."), QStringLiteral("K")},
    });
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The data folder to write."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "generate_room: name exactly one folder to write (see --help)\n");
        return 2;
    }
    QString error;
    roomgen::RoomPlan plan = roomgen::demoRoomPlan();
    if (parser.isSet(QStringLiteral("bench"))) {
        roomgen::BenchOptions options;
        if (!benchOptions(parser, &options, &error)) {
            std::fprintf(stderr, "generate_room: %s\n", qPrintable(error));
            return 2;
        }
        plan = roomgen::benchRoomPlan(options);
    }
    const QString folder = parser.positionalArguments().constFirst();
    if (!roomgen::writeRoom(plan, folder, &error)) {
        std::fprintf(stderr, "generate_room: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Wrote %d files into %s\n", int(roomgen::roomFiles(plan).size()), qPrintable(folder));
    return 0;
}
