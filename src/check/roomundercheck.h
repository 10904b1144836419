// A room folder read for checking: the scene file's outline with its lines, the
// room as the program builds it, and the animal database, with the report that
// every check writes into.
#pragma once

#include "checkreport.h"
#include "sceneoutline.h"

#include "animal.h"
#include "scene.h"

#include <QDir>
#include <QSet>
#include <QString>

class RoomUnderCheck
{
public:
    static const QString sceneName;
    static const QString databaseName;

    RoomUnderCheck(const QString& folder, CheckReport& report);

    // Reads the scene file (reporting a file the program refuses) and, when it
    // is a room, builds the room with the program's own reader; then the database.
    void read();

    // A file of the room as the curator names it: the folder as given, then the name.
    QString shown(const QString& name) const;
    QString sceneFile() const { return shown(sceneName); }
    QString databaseFile() const { return shown(databaseName); }
    QString path(const QString& name) const { return folder.filePath(name); }
    // A picture path of the program's reader (under its data folder) as a name in the room.
    QString nameInRoom(const QString& readerPath) const;

    // "A3" for id 2: the letter and number a curator writes.
    static QString code(int id);
    // Line of the <detail> element behind scene detail `index`.
    int detailLine(int index) const;
    // Index of the scene's detail built from the outline element `element`, or -1.
    int detailOf(int element) const { return detailElements.indexOf(element); }

    CheckReport& report;
    QString given;
    QDir folder;
    SceneOutline outline;
    bool isRoom = false;
    // Whether the program's reader built the room: checks of the built room need it.
    bool sceneRead = false;
    Scene scene;
    AnimalData animals;
    // Model names the program could not open: it would stop there.
    QSet<QString> unreadableModels;

private:
    bool readOutline();
    void findUnreadableModels(const QString& dataFolder);
    bool readScene();
    QByteArray sceneForReader(const QString& dataFolder, bool* replaced) const;

    QVector<int> detailElements;
};
