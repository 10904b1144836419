#include "picture.h"

#include <GL/glew.h>

#include <QFile>
#include <QGLWidget>
#include <QtGlobal>

namespace {

// Reads an image whatever its suffix says and brings it into the byte order and
// row order glTexImage2D expects. The printed resolution is kept, because the
// panel's size in the room follows from it.
bool readForGL(const QString& path, QImage& into)
{
    const QImage loaded(path);
    into = QGLWidget::convertToGLFormat(loaded);
    if (!loaded.isNull()) {
        into.setDotsPerMeterX(loaded.dotsPerMeterX());
        into.setDotsPerMeterY(loaded.dotsPerMeterY());
    }
    return !loaded.isNull();
}

// Panels without a map of their own share the blank map of their folder.
QString detailMapPathFor(const QString& imagePath)
{
    const QString candidate = imagePath.section('.', 0, -2) + ".png";
    if (QFile::exists(candidate))
        return candidate;
    return candidate.section('/', 0, -2) + "/blank.png";
}

// One side follows from the other through the image's aspect ratio; an image
// without a physical size has no aspect ratio, so that side collapses to 0.
float followingSide(float givenSide, float followingMM, float givenMM)
{
    if (givenMM == 0.0f) {
        qWarning("Picture has no physical size: the side to follow from its aspect ratio is 0");
        return 0.0f;
    }
    return givenSide * followingMM / givenMM;
}

// GL hands out names freely, so it may one day hand out the very value that
// marks a missing texture; that name is left unused rather than mistaken.
GLuint newTextureName()
{
    GLuint name = Picture::noTexture;
    while (name == Picture::noTexture)
        glGenTextures(1, &name);
    return name;
}

// Parameters are set on the new texture, which stays bound.
GLuint uploadedTexture(const QImage& image, GLenum minFilter, GLenum magFilter, GLint mipmaps)
{
    const GLuint name = newTextureName();
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(minFilter));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, mipmaps);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width(), image.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.constBits());
    return name;
}

} // namespace

Picture::Picture(QString path, point3 position, point3 size)
{
    if (!readForGL(path, image))
        qDebug("Cannot read image: %s", qPrintable(path));
    setGeometry(image, position, size);

    mapPath = detailMapPathFor(path);
    // A ".png" panel is its own map: one decode serves both.
    if (mapPath == path && !image.isNull())
        mapImage = image;
    else if (!readForGL(mapPath, mapImage))
        qDebug("Cannot read image: %s", qPrintable(mapPath));
    texture = noTexture;
    mapTexture = noTexture;
}

void Picture::setGeometry(const QImage& image, point3 position, point3 size)
{
    this->position = position;
    const float wM = float(image.widthMM() * 0.001);
    const float hM = float(image.heightMM() * 0.001);
    const float sx = size.x;
    const float sy = size.y;
    const bool widthGiven = sx >= 0.0f;
    const bool heightGiven = sy >= 0.0f;

    if (widthGiven && heightGiven)
        this->size = point3(sx, sy, 0.0f);
    else if (widthGiven)
        this->size = point3(sx, followingSide(sx, hM, wM), 0.0f);
    else if (heightGiven)
        this->size = point3(followingSide(sy, wM, hM), sy, 0.0f);
    else
        this->size = point3(wM, hM, 0.0f);
}

void Picture::createTextures()
{
    if (texture == noTexture)
        texture = uploadedTexture(image, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1);
    // The map is read back pixel by pixel to pick details: its colours must
    // never be blended with their neighbours.
    if (mapTexture == noTexture)
        mapTexture = uploadedTexture(mapImage, GL_NEAREST, GL_NEAREST, 0);
}

void Picture::draw() const
{
    glPushAttrib(GL_ENABLE_BIT);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);

    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(position.x, position.y, 0.0f);
    glScalef(size.x * 0.5f, size.y * 0.5f, 1.0f);
    glTranslatef(1.0f, 1.0f, 0.0f);

    // Clockwise seen from the room, the front-face winding of the view.
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glEnd();

    glPopMatrix();
    glPopAttrib();
}
