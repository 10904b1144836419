#include "blanktexture.h"

#include <GL/glew.h>

namespace {

GLuint blankTextureName = 0;

} // namespace

void createBlankTexture()
{
    const GLubyte grey[4] = {200, 200, 200, 255};
    glGenTextures(1, &blankTextureName);
    glBindTexture(GL_TEXTURE_2D, blankTextureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, grey);
}

unsigned int blankTexture()
{
    return blankTextureName;
}
