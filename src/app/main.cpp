#include "display.h"
#include "imagefile.h"
#include "installation.h"
#include "kiosk.h"
#include "mainwindow.h"
#include "programoptions.h"
#include "roomchecker.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // A kiosk with a large graphics card may take larger panels.
    const qint64 megapixels = qEnvironmentVariableIntValue("PELLAVIO_IMAGE_MEGAPIXELS");
    if (megapixels > 0)
        setImagePixelLimit(megapixels * 1024 * 1024);
    if (RoomChecker::isRequested(argc, argv)) {
        chooseRoomAndShaderFolders(QString());
        return RoomChecker::main(argc, argv);
    }
    if (asksForTextOnly(argc, argv)) {
        // Help and version print text and end: they need no screen, but Qt's own
        // options must still be taken out before the program's are read.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QApplication application(argc, argv);
        readProgramOptions(QApplication::arguments());
    }
    if (reportMissingDisplay(argc, argv))
        return 1;
    QApplication application(argc, argv);
    const ProgramOptions options = readProgramOptions(QApplication::arguments());
    chooseRoomAndShaderFolders(options.dataFolder);
    MainWindow window;
    window.show();
    applyProgramOptions(&window, options);
    return application.exec();
}
