#include "roomfolder.h"

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
