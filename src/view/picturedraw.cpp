// The GL side of a picture: its two textures and its quad on the wall.
#include "picture.h"
#include "picturedraw.h"

#include "mipmaps.h"

#include <GL/glew.h>

namespace {

// GL hands out names freely, so it may one day hand out the very value that
// marks a missing texture; that name is left unused rather than mistaken.
GLuint newTextureName()
{
    GLuint name = Picture::noTexture;
    while (name == Picture::noTexture)
        glGenTextures(1, &name);
    return name;
}

// A texture beyond the card's limit is refused, and the panel shows black and
// cannot be pointed at: such an image is scaled down to fit, keeping its shape.
QImage fittingTexture(const QImage& image, Qt::TransformationMode mode, const QString& path)
{
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    const int longest = qMax(image.width(), image.height());
    if (limit <= 0 || longest <= limit)
        return image;
    const double factor = double(limit) / longest;
    const QSize size(qBound(1, int(image.width() * factor), int(limit)), qBound(1, int(image.height() * factor), int(limit)));
    qWarning("Image %s is %d x %d pixels, more than the graphics card's texture limit of %d: drawn at %d x %d",
             qPrintable(path), image.width(), image.height(), int(limit), size.width(), size.height());
    return image.scaled(size, Qt::IgnoreAspectRatio, mode);
}

// Parameters are set on the new texture, which stays bound. Rows of `bits` are
// padded to four bytes, as QImage pads them and GL reads them by default.
GLuint uploadedTexture(const void* bits, QSize size, GLenum format, GLenum minFilter, GLenum magFilter,
                       GLint mipmaps)
{
    const GLuint name = newTextureName();
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(minFilter));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, mipmaps);
    const GLint internalFormat = format == GL_LUMINANCE ? GL_LUMINANCE8 : GL_RGBA8;
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, size.width(), size.height(), 0, format, GL_UNSIGNED_BYTE, bits);
    return name;
}

GLuint uploadedTexture(const QImage& image, GLenum minFilter, GLenum magFilter, GLint mipmaps)
{
    return uploadedTexture(image.constBits(), image.size(), GL_RGBA, minFilter, magFilter, mipmaps);
}

// One row of 256 colours, an opaque one for each index in use. A map too rich
// in colours for an index keeps its colours in its texels, and its palette is
// left transparent: the shaders then take the texel as it is.
GLuint uploadedPalette(const QVector<QRgb>& colours)
{
    QVector<quint32> row(256, 0u);
    for (int i = 0; i < colours.size() && i < row.size(); ++i)
        row[i] = colours[i] | 0xff000000u; // the alpha byte, last in GL's byte order
    return uploadedTexture(row.constData(), QSize(256, 1), GL_RGBA, GL_NEAREST, GL_NEAREST, 0);
}

bool mapsIndexed = true;
bool mapColourSelected = false;
quint32 selectedMapColour = 0;

// Where the selected colour is in the picture's palette, -1 if nowhere; -2
// when the map texture holds colours, which the shader then compares itself.
float selectedMapIndex(const QVector<quint32>& palette)
{
    if (palette.isEmpty())
        return -2.0f;
    for (int i = 0; mapColourSelected && i < palette.size(); ++i) {
        if ((palette[i] & 0xffffffu) == selectedMapColour)
            return float(i);
    }
    return -1.0f;
}

// Levels made beforehand: the driver is not asked to make them again. Storage
// for the whole chain is asked for at once where the driver can: level by
// level, it would copy the chain into one block again on the first draw.
GLuint uploadedTexture(const QImage& image, const QVector<QImage>& levels)
{
    if (!GLEW_ARB_texture_storage) {
        const GLuint name = uploadedTexture(image, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 0);
        for (int i = 0; i < levels.size(); ++i)
            glTexImage2D(GL_TEXTURE_2D, i + 1, GL_RGBA8, levels[i].width(), levels[i].height(), 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, levels[i].constBits());
        return name;
    }
    const GLuint name = newTextureName();
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(GL_LINEAR_MIPMAP_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(GL_LINEAR));
    glTexStorage2D(GL_TEXTURE_2D, levels.size() + 1, GL_RGBA8, image.width(), image.height());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width(), image.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.constBits());
    for (int i = 0; i < levels.size(); ++i)
        glTexSubImage2D(GL_TEXTURE_2D, i + 1, 0, 0, levels[i].width(), levels[i].height(), GL_RGBA, GL_UNSIGNED_BYTE,
                        levels[i].constBits());
    return name;
}

bool fits(const QImage& image, int limit)
{
    return limit <= 0 || qMax(image.width(), image.height()) <= limit;
}

} // namespace

PreparedTextures preparedTextures(const QImage& image, const QImage& map, int textureLimit)
{
    PreparedTextures prepared;
    prepared.hasLevels = !image.isNull() && fits(image, textureLimit);
    if (prepared.hasLevels)
        prepared.levels = mipmapLevels(image);
    prepared.hasIndexedMap = fits(map, textureLimit);
    if (prepared.hasIndexedMap && mapsIndexed)
        prepared.indexedMap = indexedMap(map);
    return prepared;
}

void createTextures(Picture& picture, const PreparedTextures& prepared)
{
    if (picture.texture == Picture::noTexture) {
        picture.texture = prepared.hasLevels
            ? uploadedTexture(picture.image, prepared.levels)
            : uploadedTexture(fittingTexture(picture.image, Qt::SmoothTransformation, picture.imagePath),
                              GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1);
    }
    if (picture.mapTexture == Picture::noTexture)
        picture.createMapTextures(prepared.hasIndexedMap ? &prepared.indexedMap : nullptr);
}

void setMapsIndexed(bool indexed)
{
    mapsIndexed = indexed;
}

void setSelectedMapColour(bool selected, quint32 colour)
{
    mapColourSelected = selected;
    selectedMapColour = colour & 0xffffffu;
}

void Picture::createTextures()
{
    ::createTextures(*this, PreparedTextures());
}

// The map is read back pixel by pixel to pick details: its colours must never
// be blended with their neighbours, not even when it is scaled. Held as one
// index byte per texel where it can be, it takes a quarter of the memory.
void Picture::createMapTextures(const QImage* preparedIndex)
{
    const QImage map = preparedIndex ? mapImage : fittingTexture(mapImage, Qt::FastTransformation, mapPath);
    const QImage indexed = preparedIndex ? *preparedIndex : mapsIndexed ? indexedMap(map) : QImage();
    const QVector<QRgb> colours = indexed.colorTable();
    mapPaletteColours = QVector<quint32>(colours.cbegin(), colours.cend());
    mapPalette = uploadedPalette(colours);
    if (indexed.isNull())
        mapTexture = uploadedTexture(map, GL_NEAREST, GL_NEAREST, 0);
    else
        mapTexture = uploadedTexture(indexed.constBits(), indexed.size(), GL_LUMINANCE, GL_NEAREST, GL_NEAREST, 0);
}

void Picture::draw() const
{
    glPushAttrib(GL_ENABLE_BIT);
    // An index compared is one texture read a pixel fewer than a colour looked up.
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    const GLint selectedIndex = program ? glGetUniformLocation(GLuint(program), "selectedMapIndex") : -1;
    if (selectedIndex >= 0)
        glUniform1f(selectedIndex, selectedMapIndex(mapPaletteColours));
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, mapPalette);
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
