#include "installation.h"

#include "roomfolder.h"
#include "shaderfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString installedShareFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" PELLAVIO_SHARE_FROM_BIN);
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
