#include "installation.h"

#include "roomfolder.h"
#include "shaderfolder.h"

#include <QDir>
#include <QFileInfo>

QString installedShareFolder()
{
    // The program's own folder, known before any application object exists.
    const QString programFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return QDir::cleanPath(programFolder + "/" PELLAVIO_SHARE_FROM_BIN);
}

void chooseRoomAndShaderFolders(const QString& dataFolder)
{
    const QString share = installedShareFolder();
    setInstalledShaderFolder(share + "/shaders");
    if (!dataFolder.isEmpty()) {
        setRoomFolder(dataFolder);
        return;
    }
    const QString installedRoom = share + "/data";
    if (!QFileInfo(QStringLiteral("data")).isDir() && QFileInfo(installedRoom).isDir())
        setRoomFolder(installedRoom);
}
