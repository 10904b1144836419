#include "roomfolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString& folderSetting()
{
    static QString folder = QStringLiteral("data/");
    return folder;
}

} // namespace

QString roomFolder()
{
    return folderSetting();
}

void setRoomFolder(const QString& folder)
{
    folderSetting() = folder.endsWith('/') ? folder : folder + '/';
}

QString roomFile(const QString& name)
{
    return roomFolder() + name;
}

QString roomFileRefusal(const QString& name, const QString& folder)
{
    // An empty name reads the folder itself, which fails like a missing file.
    if (name.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(name))
        return QStringLiteral("an absolute path");
    const QString clean = QDir::cleanPath(name);
    if (clean == QLatin1String("..") || clean.startsWith(QLatin1String("../")))
        return QStringLiteral("a path out of the room folder");
    const QFileInfo file(QDir(folder).filePath(name));
    if (file.exists() && !file.isFile())
        return QStringLiteral("something other than a regular file");
    return QString();
}
