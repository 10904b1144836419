// The room's furniture as Wavefront OBJ text. Every model spans x from -0.5 to
// 0.5 and y from 0 to 1, the extent the program stretches to the width and
// height the scene asks for; z keeps metres and points into the room.
#pragma once

#include <QString>

namespace roomgen {

QString corniceObj(double reach); // a cove rising from the ceiling line, and the ceiling reaching `reach` metres into the room
QString wainscotObj(); // a panelled dado with skirting and rail
QString benchObj();    // a plain wooden bench

} // namespace roomgen
