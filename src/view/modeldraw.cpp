// The GL side of a model: its triangles, stretched to the place the scene gave it.
#include "model.h"

#include "blanktexture.h"

#include <GL/glew.h>

namespace {

bool isIndexOf(int index, int count)
{
    return index >= 0 && index < count;
}

void emitCorner(const Model& model, const Face& face, int corner)
{
    const point3& n = model.normals.at(face.normalIndex(corner));
    const point3& v = model.vertices.at(face.vertexIndex(corner));
    glNormal3f(n.x, n.y, n.z);
    glVertex3f(v.x, v.y, v.z);
}

bool drawable(const Model& model, const Face& face)
{
    for (int corner = 0; corner < 3; ++corner) {
        if (!isIndexOf(face.vertex[corner], model.vertices.size())
            || !isIndexOf(face.normal[corner], model.normals.size()))
            return false;
    }
    return true;
}

} // namespace

void Model::draw() const
{
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, blankTexture());
    glTranslatef(position.x, position.y, position.z);
    const point3 scale = scaleFactors();
    glScalef(scale.x, scale.y, scale.z);
    glTranslatef(boundingBox.getMax().x, 0.0f, 0.0f);
    glColor3f(1.0f, 0.0f, 0.0f);

    // First, third, second: faces listed counter-clockwise in the file turn
    // clockwise on screen, the front-face winding of the view.
    glBegin(GL_TRIANGLES);
    for (const Face& face : faces) {
        if (!drawable(*this, face))
            continue;
        emitCorner(*this, face, 0);
        emitCorner(*this, face, 2);
        emitCorner(*this, face, 1);
    }
    glEnd();
    glPopMatrix();
}
