#include "kiosk.h"
#include "mainwindow.h"
#include "programoptions.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const ProgramOptions options = readProgramOptions(QApplication::arguments());
    MainWindow window;
    window.show();
    applyProgramOptions(&window, options);
    return application.exec();
}
