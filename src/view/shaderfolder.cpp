#include "shaderfolder.h"

#include <QDir>
#include <QFile>

namespace {

QString& installedFolder()
{
    static QString folder;
    return folder;
}

} // namespace

void setInstalledShaderFolder(const QString& folder)
{
    installedFolder() = folder;
}

QString shaderFilePath(const QString& fileName)
{
    if (QFile::exists(fileName) || installedFolder().isEmpty())
        return fileName;
    const QString installed = QDir(installedFolder()).filePath(fileName);
    return QFile::exists(installed) ? installed : fileName;
}

bool shadersReadIndexedMaps()
{
    // Shader files from before the maps were sent as indices take the texels
    // for colours: a kiosk that kept such copies gets its maps whole.
    const auto mentions = [](const QString& fileName, const QByteArray& name) {
        QFile file(shaderFilePath(fileName));
        return !file.open(QIODevice::ReadOnly) || file.readAll().contains(name);
    };
    return mentions("map.fragment.glsl", "mapPalette") && mentions("tapestry.fragment.glsl", "selectedMapIndex");
}
