// The GL side of the room: textures made from the scene's images and the
// drawing of its sections and floor. The room itself is read without GL.
#include "scene.h"
#include "section.h"

#include "blanktexture.h"
#include "picturedraw.h"

#include <GL/glew.h>

#include <QFuture>
#include <QtConcurrent>

#include <malloc.h>

namespace {

using Preparation = QFuture<PreparedTextures>;

int textureLimit()
{
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    return int(limit);
}

bool onCard(const Picture& picture)
{
    return picture.texture != Picture::noTexture && picture.mapTexture != Picture::noTexture;
}

// In the order the pictures are uploaded, so that the first ones are ready first.
QVector<Preparation> startPreparations(const QVector<Section>& sections)
{
    const int limit = textureLimit();
    QVector<Preparation> started;
    for (const Section& section : sections) {
        for (const Picture& picture : section.pictures)
            started << (onCard(picture) ? Preparation()
                                        : QtConcurrent::run(preparedTextures, picture.image, picture.mapImage, limit));
    }
    return started;
}

// Once on the card, the decoded images are read by nothing: the details'
// regions were found while the scene was read, and picking reads the frame.
void uploadTextures(Section& section, Preparation* preparation)
{
    for (Picture& picture : section.pictures) {
        if (!onCard(picture))
            createTextures(picture, preparation->result());
        *preparation++ = Preparation();
        picture.image = QImage();
        picture.mapImage = QImage();
    }
}

} // namespace

void Section::draw() const
{
    glPushMatrix();
    glTranslatef(origin.x, origin.y, origin.z);
    const GLfloat frame[16] = {axisX.x, axisX.y, axisX.z, 0.0f,
                               axisY.x, axisY.y, axisY.z, 0.0f,
                               axisZ.x, axisZ.y, axisZ.z, 0.0f,
                               0.0f,    0.0f,    0.0f,    1.0f};
    glMultMatrixf(frame);
    for (const Model& model : models)
        model.draw();
    for (const Picture& picture : pictures)
        picture.draw();
    glPopMatrix();
}

void Scene::uploadTexturesInRam()
{
    QVector<Preparation> preparations = startPreparations(sections);
    Preparation* next = preparations.data();
    for (int i = 0; i < sections.size(); ++i) {
        const int count = sections.size();
        qDebug("%d/%d", i, count);
        showLoadingProgress((i + 1) * 0.5f / count + 0.5f);
        uploadTextures(sections[i], next);
        next += sections[i].pictures.size();
    }
    // The released images leave holes in the heap that it keeps unless asked.
    malloc_trim(0);
    showLoadingProgress(2.0f);
    texturesUploaded = true;
}

// While the images of later sections still decode. A picture beyond the card's
// limit waits for the usual pass, which says so in its place; the maps stay
// decoded, for the details' regions are looked up in them until the whole
// scene is read.
void Scene::uploadSectionTextures(Section& section)
{
    const int limit = textureLimit();
    for (Picture& picture : section.pictures) {
        const PreparedTextures prepared = preparedTextures(picture.image, picture.mapImage, limit);
        if (!prepared.hasLevels || !prepared.hasIndexedMap)
            continue;
        createTextures(picture, prepared);
        picture.image = QImage();
    }
}

void Scene::draw() const
{
    if (!texturesUploaded)
        return;
    glPushMatrix();
    for (const Section& section : sections)
        section.draw();
    drawFloor();
    glPopMatrix();
}

void Scene::drawFloor() const
{
    glBindTexture(GL_TEXTURE_2D, blankTexture());
    glColor3f(1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex3f(-10.0f, 0.0f, -10.0f);
    glVertex3f(20.0f, 0.0f, -10.0f);
    glVertex3f(20.0f, 0.0f, 20.0f);
    glVertex3f(-10.0f, 0.0f, 20.0f);
    glEnd();
}
