// Checks of the walk along the walls: whether it has the two straight runs the
// program needs to close the room, and how much closing it stretches them.
#pragma once

#include "roomundercheck.h"

class LayoutCheck
{
public:
    explicit LayoutCheck(RoomUnderCheck& room) : room(room) {}
    void run();

private:
    // The width of section `index` before the program closed the room.
    float widthAsLaidOut(int index) const;
    // How much closing changed the runs of sections [from, to), in per cent.
    float runChange(int from, int to) const;
    void reportClosing(int walls, const QVector<int>& runs);

    RoomUnderCheck& room;
};
