#include "roomundercheck.h"

#include "roomfolder.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

const QString RoomUnderCheck::sceneName = QStringLiteral("Stanza.xml");
const QString RoomUnderCheck::databaseName = QStringLiteral("determinazioni.csv");

namespace {

// Stands in for a model file that cannot be opened, so that the program's
// reader, which would stop the process, reads an empty model instead.
const QString placeholderModel = QStringLiteral("pellavio-check-unreadable-model.obj");

bool isUnreadableModel(const QString& name, const QString& dataFolder)
{
    QFile file(dataFolder + "/" + name);
    return !roomFileRefusal(name, dataFolder).isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text);
}

// The reader's progress and debug lines are no findings: they stay out of the report.
void silence(QtMsgType, const QMessageLogContext&, const QString&) {}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

RoomUnderCheck::RoomUnderCheck(const QString& folder, CheckReport& report)
    : report(report), given(QDir::cleanPath(folder)), folder(folder)
{
}

QString RoomUnderCheck::shown(const QString& name) const
{
    return QDir::cleanPath(given + "/" + name);
}

QString RoomUnderCheck::nameInRoom(const QString& readerPath) const
{
    return readerPath.startsWith(scene.dataPath) ? readerPath.mid(scene.dataPath.size()) : readerPath;
}

QString RoomUnderCheck::code(int id)
{
    if (id < 0 || id >= 26 * 100)
        return QString("code %1").arg(id);
    return QString("%1%2").arg(QChar('A' + id / 100)).arg(id % 100 + 1);
}

int RoomUnderCheck::detailLine(int index) const
{
    const int element = detailElements.value(index, -1);
    return element < 0 ? 0 : outline.at(element).line;
}

void RoomUnderCheck::read()
{
    sceneRead = readOutline() && readScene();
    // The two readers agree on the details; should they not, no finding names a wrong line.
    if (sceneRead && outline.details().size() == scene.details.size())
        detailElements = outline.details();
    const QtMessageHandler previous = qInstallMessageHandler(silence);
    animals.readAll(path(databaseName));
    qInstallMessageHandler(previous);
}

bool RoomUnderCheck::readOutline()
{
    QFile file(path(sceneName));
    if (!file.open(QIODevice::ReadOnly)) {
        report.error(sceneFile(), 0, "scene-missing",
                     QString("cannot open the scene file (%1): the program stops at start with "
                             "status -1").arg(file.errorString()));
        return false;
    }
    if (!outline.read(file.readAll())) {
        report.error(sceneFile(), outline.errorLine, "scene-not-xml",
                     QString("not readable XML: %1; the program stops at start with status -1")
                         .arg(outline.errorText));
        return false;
    }
    if (outline.at(0).tag != "room") {
        report.error(sceneFile(), outline.at(0).line, "scene-root",
                     QString("the root element is <%1>; it must be <room> (the program stops at start "
                             "with status -1)").arg(outline.at(0).tag));
        return false;
    }
    isRoom = true;
    return true;
}

void RoomUnderCheck::findUnreadableModels(const QString& dataFolder)
{
    for (const QString& tag : {QStringLiteral("ceiling"), QStringLiteral("mesh")}) {
        for (int element : outline.inWalls(tag)) {
            const QString name = outline.at(element).value("model");
            if (isUnreadableModel(name, dataFolder))
                unreadableModels.insert(name);
        }
    }
}

// The scene file with every model the reader could not open replaced by the
// placeholder. The names are taken as the reader takes them: the outline's
// reader normalises white space in attribute values, the program's does not.
QByteArray RoomUnderCheck::sceneForReader(const QString& dataFolder, bool* replaced) const
{
    *replaced = false;
    QFile file(path(sceneName));
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(file.readAll()))
        return QByteArray();
    for (const QString& tag : {QStringLiteral("ceiling"), QStringLiteral("mesh")}) {
        const QDomNodeList nodes = document.elementsByTagName(tag);
        for (int i = 0; i < nodes.size(); ++i) {
            QDomElement element = nodes.at(i).toElement();
            if (isUnreadableModel(element.attribute("model"), dataFolder)) {
                element.setAttribute("model", placeholderModel);
                *replaced = true;
            }
        }
    }
    return document.toByteArray();
}

// The program's reader opens the room folder's files by the names in the scene file and
// stops the process on a model it cannot open: it reads a mirror of the room folder in
// which every such model is replaced by an empty one.
bool RoomUnderCheck::readScene()
{
    QTemporaryDir mirror;
    if (!mirror.isValid())
        return false;
    const QString data = mirror.path();
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries)
        QFile::link(entry.absoluteFilePath(), data + "/" + entry.fileName());
    findUnreadableModels(data);
    bool replaced = false;
    const QByteArray forReader = sceneForReader(data, &replaced);
    if (replaced) {
        QFile::remove(data + "/" + sceneName);
        if (!writeFile(data + "/" + sceneName, forReader) || !writeFile(data + "/" + placeholderModel, ""))
            return false;
    }

    const QString previousFolder = roomFolder();
    setRoomFolder(data);
    const QtMessageHandler previous = qInstallMessageHandler(silence);
    const bool read = scene.readXML(sceneName);
    qInstallMessageHandler(previous);
    setRoomFolder(previousFolder);
    if (!read)
        report.error(sceneFile(), 0, "scene-unreadable", "the program's reader refuses this file");
    return read;
}
