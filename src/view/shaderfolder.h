// Where the shader files are found: the working directory first, as a
// checkout's build folder has them, else the folder an installation set.
#pragma once

#include <QString>

void setInstalledShaderFolder(const QString& folder);
// `fileName` in the working directory if it is there, else in the installed folder.
QString shaderFilePath(const QString& fileName);

// Whether the shader files in use read detail maps sent as indices; a missing
// file reads nothing, so it does not stand in the way.
bool shadersReadIndexedMaps();
