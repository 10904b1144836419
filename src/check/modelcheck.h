// Checks of the OBJ models the scene file names: files the program cannot
// open (it would stop), faces it drops, and shapes it places badly.
#pragma once

#include "roomundercheck.h"

class ModelCheck
{
public:
    explicit ModelCheck(RoomUnderCheck& room) : room(room) {}
    void run();

private:
    void checkShape(const Model& model);

    RoomUnderCheck& room;
};
