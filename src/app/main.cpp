#include "display.h"
#include "mainwindow.h"
#include "roomchecker.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    if (RoomChecker::isRequested(argc, argv))
        return RoomChecker::main(argc, argv);
    if (reportMissingDisplay(argc, argv))
        return 1;
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    return application.exec();
}
