#include "display.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>

namespace {

bool platformChosen(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// A server that answers keeps this connection until the process ends: were it
// the server's only client, closing it would make a virtual X server reset,
// and the toolkit connecting a moment later could meet the reset and abort.
bool xServerAnswers()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    if (!answers)
        xcb_disconnect(connection);
    return answers;
}

} // namespace

QByteArray missingDisplayMessage(int argc, char** argv)
{
    if (platformChosen(argc, argv))
        return QByteArray();
    const QByteArray display = qgetenv("DISPLAY");
    QByteArray what;
    if (display.isEmpty())
        what = "DISPLAY is not set";
    else if (!xServerAnswers())
        what = "no X server answers at DISPLAY=" + display;
    else
        return QByteArray();
    return "No display found (" + what + "): run pellavio from a desktop session, or under a virtual display "
           "with xvfb-run -a ./pellavio";
}

bool reportMissingDisplay(int argc, char** argv)
{
    const QByteArray message = missingDisplayMessage(argc, argv);
    if (!message.isEmpty())
        std::fprintf(stderr, "%s\n", message.constData());
    return !message.isEmpty();
}
