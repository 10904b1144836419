// The program's own command-line options, for running it unattended as a
// museum kiosk. Qt's own options (-style, -platform, ...) are taken by the
// application object before these are read.
#pragma once

#include <QString>
#include <QStringList>

struct ProgramOptions
{
    // Frameless full screen that visitors cannot close; web addresses become QR codes.
    bool kiosk = false;
    // Seconds without input before the program returns to its start; 0: never.
    int idleSeconds = 0;
    // Seconds the attract tour dwells on each detail after an idle reset; 0: no tour.
    int tourSeconds = 0;
    // The room folder; empty: data/ in the working directory, else the installed demo room.
    QString dataFolder;

    // Anything to do beyond the plain desktop program.
    bool changesAnything() const { return kiosk || idleSeconds > 0 || tourSeconds > 0; }
};

// Reads the options from the arguments the application left (the program's
// name first). Unknown options and bad values are warned about and leave the
// defaults, so that a typing error in a start-up script never keeps a kiosk
// dark. --help and --version print their text and end the process.
ProgramOptions readProgramOptions(const QStringList& arguments);

// Whether the arguments only ask for --help or --version, which need no display.
bool asksForTextOnly(int argc, char** argv);
