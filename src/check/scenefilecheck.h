// Checks of the scene file itself: elements and attributes the program does
// not know or ignores where they stand, values it reads as 0, detail colours it
// reads as black or finds twice, and elements in an order it cannot follow.
#pragma once

#include "roomundercheck.h"

class SceneFileCheck
{
public:
    explicit SceneFileCheck(RoomUnderCheck& room) : room(room) {}
    void run();

    // The known name closest to `name` by edit distance, or empty when none is close.
    static QString closest(const QString& name, const QStringList& known);

private:
    void checkElement(int element);
    void checkAttributes(int element, const QStringList& known);
    void checkNumbers(int element);
    void checkHeights();
    void checkCeiling();
    void checkColour(int element);
    void checkDuplicateColours();
    void checkDatabaseLetters();
    QVector<QPair<int, QString>> picturesWithMap(const QString& mapPath) const;
    void checkDetailMap(int element);

    void warn(int element, const QString& code, const QString& message);
    void fail(int element, const QString& code, const QString& message);

    RoomUnderCheck& room;
};
