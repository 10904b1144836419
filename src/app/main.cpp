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
        const QCoreApplication application(argc, argv);
        readProgramOptions(QCoreApplication::arguments());
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
