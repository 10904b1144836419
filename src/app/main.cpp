#include "display.h"
#include "installation.h"
#include "kiosk.h"
#include "mainwindow.h"
#include "programoptions.h"
#include "roomchecker.h"

#include <QApplication>

int main(int argc, char* argv[])
{
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
