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
