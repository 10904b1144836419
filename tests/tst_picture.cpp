#include "picture.h"

#include "imagefile.h"
#include "mipmaps.h"
#include "plainjpeg.h"
#include "plainpng.h"
#include "shaderfolder.h"
#include "picturedraw.h"

#include "glcanvas.h"
#include "testgeometry.h"

#include <QBuffer>
#include <QDir>
#include <QColorSpace>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Red, green on the top row of the file; blue, white on the bottom row; printed at
// 100 dots per metre, so that each pixel is 10 mm wide.
QImage quadrants(int width = 2, int height = 2)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixelColor(0, 0, Qt::red);
    image.setPixelColor(1, 0, Qt::green);
    image.setPixelColor(0, 1, Qt::blue);
    image.setPixelColor(1, 1, Qt::white);
    image.setDotsPerMeterX(100);
    image.setDotsPerMeterY(100);
    return image.scaled(width, height);
}

// "W text" for each warning, "D text" for each debug line, since init().
QStringList messages;

void captureMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    messages << (type == QtDebugMsg ? "D " : type == QtWarningMsg ? "W " : "? ") + text;
}

QByteArray encoded(const QImage& image, const char* format = "PNG")
{
    QByteArray file;
    QBuffer buffer(&file);
    return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format) ? file : QByteArray();
}

// Every byte matters: a gradient with noise, in which the decoders' rounding shows.
QImage noisyGradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 noise = 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128) ^ (noise >> 8 & 0x1f1f1fu));
        }
    return image;
}

QByteArray written(const QImage& image, int quality, bool progressive = false)
{
    QByteArray file;
    QBuffer buffer(&file);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.setOptimizedWrite(progressive);
    return buffer.open(QIODevice::WriteOnly) && writer.write(image) ? file : QByteArray();
}

// The JFIF header's density: its unit (0 none, 1 per inch, 2 per centimetre) and values.
QByteArray withDensity(QByteArray file, char unit, quint16 x, quint16 y)
{
    const char density[] = {unit, char(x >> 8), char(x), char(y >> 8), char(y)};
    return file.mid(6, 5) == QByteArray("JFIF", 5) ? file.replace(13, 5, density, 5) : QByteArray();
}

QByteArray bytes(const QImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
}

// What the map texture stands for, texel by texel, as GL bytes R, G, B, A: an
// index texel is looked up in the palette row unless its entry is transparent.
QByteArray mapColours(const Picture& picture, int texels)
{
    QVector<quint32> palette(256), colours(texels);
    glBindTexture(GL_TEXTURE_2D, picture.mapPalette);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, palette.data());
    glBindTexture(GL_TEXTURE_2D, picture.mapTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, colours.data());
    for (quint32& colour : colours)
        colour = palette[colour & 0xffu] >> 24 ? palette[colour & 0xffu] : colour;
    return QByteArray(reinterpret_cast<const char*>(colours.constData()), texels * 4);
}

// A map of `count` colours in GL layout, each colour on a run of three pixels.
QImage mapOfColours(int count)
{
    QImage map(count * 3, 2, QImage::Format_ARGB32);
    for (int x = 0; x < map.width(); ++x)
        for (int y = 0; y < map.height(); ++y)
            map.setPixel(x, y, 0xff000000u | quint32(x / 3 * 0x010203));
    return map;
}

} // namespace

class TestPicture : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> dir;

private slots:
    // Paths without a folder are relative to the working directory.
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(QDir::setCurrent(dir->path()));
        setImagePixelLimit(defaultImagePixelLimit);
        setMapsIndexed(true);
        messages.clear();
        qInstallMessageHandler(captureMessage);
    }

    // The panel file at `path` holds `content` (null: there is none); blank.png and a map A.png the
    // quadrants, 40 x 20 mm, as PNG. A panel that cannot be read is one warning that names
    // it, also where its width follows from its size; a decoder's complaint comes after its name.
    void readsFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("mapPath");
        QTest::addColumn<point3>("requested");
        QTest::addColumn<point3>("size");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<qint64>("pixelLimit");
        const QByteArray png = encoded(quadrants(4, 2)), pngHead("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        const QStringList unread{"W Cannot read image: ./A.jpg"}, noMap{"W Cannot read image: /blank.png"};
        // Enough detail that four fifths of the file still hold the whole header.
        QImage detailed(64, 64, QImage::Format_RGB32);
        for (int i = 0; i < 64 * 64; ++i)
            detailed.setPixel(i % 64, i / 64, qRgb(i % 64 * 4, i / 64 * 4, i % 7 * 36));
        const QByteArray jpeg = encoded(detailed, "JPEG");
        // A text chunk that claims 2 GB: the decoder would allocate them all.
        QByteArray claim = png;
        claim.insert(33, QByteArray::fromHex("7fffffff") + "tEXtabc");
        const auto row = [](const char* tag, const QByteArray& content, point3 requested, point3 size,
                            const QStringList& messages = {}, const QString& path = "./A.jpg",
                            const QString& mapPath = "./blank.png", qint64 pixelLimit = defaultImagePixelLimit) {
            QTest::newRow(tag) << path << content << mapPath << requested << size << messages << pixelLimit;
        };
        row("own map, height follows", png, point3(2, -1, 0), point3(2, 1, 0), {}, "./A.jpg", "./A.png");
        row("blank map, printed size", png, point3(-1, -1, 0), point3(0.04f, 0.02f, 0));
        row("png is its own map, width follows", png, point3(-1, 0.5f, 0), point3(1, 0.5f, 0), {}, "./A.png",
            "./A.png");
        row("no folder, no map, depth dropped", png, point3(3, 4, 9), point3(3, 4, 0), noMap, "A.jpg", "/blank.png");
        row("no dot at all", png, point3(-1, -1, 0), point3(0.04f, 0.02f, 0), noMap, "A", "/blank.png");
        row("missing panel", QByteArray(), point3(-1, 2, 0), point3(0, 2, 0), unread);
        row("zero bytes, width follows", "", point3(-1, 2, 0), point3(0, 2, 0), unread);
        row("not an image, height follows", "<html>not found</html>", point3(2, -1, 0), point3(2, 0, 0), unread);
        row("not an image, width follows", "<html>not found</html>", point3(-1, 2, 0), point3(0, 2, 0), unread);
        row("JPEG cut short", jpeg.left(jpeg.size() * 4 / 5), point3(-1, 2, 0), point3(2, 2, 0),
            {"W Image ./A.jpg is damaged; its decoder says:", "W Corrupt JPEG data: premature end of data segment"});
        row("cut-off png", pngHead, point3(-1, -1, 0), point3(),
            {"W Image ./A.jpg is not read: a PNG chunk declares 13 bytes, more than the 0 left in the file",
             unread[0]});
        row("PNG chunk of 2 GB", claim, point3(-1, 2, 0), point3(0, 2, 0), {"W Image ./A.jpg is not read: a PNG chunk "
            "declares 2147483647 bytes, more than the " + QString::number(claim.size() - 45) + " left in the file",
            unread[0]});
        row("over the pixel limit", encoded(quadrants(4, 4)), point3(-1, 2, 0), point3(0, 2, 0),
            {"W Image ./A.jpg is not read: it is 4 x 4 pixels, more than the limit of 15 pixels", unread[0]}, "./A.jpg",
            "./blank.png", 15);
        row("at the pixel limit", encoded(quadrants(4, 4)), point3(-1, 2, 0), point3(2, 2, 0), {}, "./A.jpg",
            "./blank.png", 16);
    }

    void readsFiles()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(QString, mapPath);
        QFETCH(point3, requested);
        QFETCH(qint64, pixelLimit);
        QVERIFY(quadrants(4, 2).save("blank.png", "PNG"));
        QVERIFY(mapPath != "./A.png" || quadrants(4, 2).save("A.png", "PNG"));
        QFile panel(path);
        QVERIFY(content.isNull() || (panel.open(QFile::WriteOnly) && panel.write(content) == content.size()));
        panel.close();
        setImagePixelLimit(pixelLimit);
        const Picture picture(path, point3(1, 4, -2), requested);
        QTEST(messages, "messages");
        QTEST(picture.size, "size");
        QCOMPARE(picture.mapPath, mapPath);
        QCOMPARE(picture.mapImage.isNull(), !QFile::exists(mapPath));
        QCOMPARE(picture.image.isNull(), messages.contains("W Cannot read image: " + path));
        QVERIFY(picture.texture == Picture::noTexture && picture.mapTexture == Picture::noTexture);
        // Rows from the bottom of the file, bytes R, G, B, A.
        for (const QImage& image : {content == encoded(quadrants(4, 2)) ? picture.image : QImage(), picture.mapImage})
            QVERIFY(image.isNull() || bytes(image) == QByteArray::fromHex("0000ffff0000ffffffffffffffffffff"
                                                                          "ff0000ffff0000ff00ff00ff00ff00ff"));
    }

    // The room library lays out images for GL without Qt's OpenGL module: the
    // result must be the very bytes that module's conversion gives.
    void glLayoutAsQtOpenGLGives_data()
    {
        QTest::addColumn<QImage>("image");
        QImage translucent(3, 2, QImage::Format_ARGB32);
        translucent.fill(QColor(10, 20, 30, 40));
        translucent.setPixelColor(2, 1, QColor(250, 128, 7, 255));
        QTest::newRow("opaque quadrants") << quadrants(5, 3);
        QTest::newRow("translucent, straight alpha") << translucent;
        QTest::newRow("premultiplied") << translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("palette") << quadrants(4, 4).convertToFormat(QImage::Format_Indexed8);
        QTest::newRow("grey") << quadrants(3, 5).convertToFormat(QImage::Format_Grayscale8);
        QTest::newRow("24-bit") << quadrants(2, 7).convertToFormat(QImage::Format_RGB888);
        QTest::newRow("null") << QImage();
    }

    void glLayoutAsQtOpenGLGives()
    {
        QFETCH(QImage, image);
        const QImage expected = QGLWidget::convertToGLFormat(image);
        const QImage laidOut = toGLLayout(image);
        QCOMPARE(laidOut.format(), expected.format());
        QCOMPARE(laidOut.size(), expected.size());
        QCOMPARE(bytes(laidOut), bytes(expected));
    }

    void texturesAndDrawing()
    {
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glEnable(GL_TEXTURE_2D);
        // Quadrants of 4 x 4 texels, so that their centres are free of filtering.
        QVERIFY(quadrants(8, 8).save("quadrants.png"));
        Picture picture("quadrants.png", point3(1, 1, 0), point3(4, 2, 0));
        picture.createTextures();
        const GLuint texture = picture.texture, mapTexture = picture.mapTexture;
        QVERIFY(texture != mapTexture && glIsTexture(texture) && glIsTexture(mapTexture));
        picture.createTextures();
        QVERIFY(picture.texture == texture && picture.mapTexture == mapTexture);

        const auto parameter = [](GLenum name) { GLint v = 0; glGetTexParameteriv(GL_TEXTURE_2D, name, &v); return v; };
        glBindTexture(GL_TEXTURE_2D, texture);
        QVERIFY(parameter(GL_TEXTURE_MIN_FILTER) == GL_LINEAR_MIPMAP_LINEAR && parameter(GL_GENERATE_MIPMAP) == GL_TRUE
                && parameter(GL_TEXTURE_MAG_FILTER) == GL_LINEAR);
        // The map's colours are read back exactly: never blended with their neighbours.
        glBindTexture(GL_TEXTURE_2D, mapTexture);
        QVERIFY(parameter(GL_TEXTURE_MIN_FILTER) == GL_NEAREST && parameter(GL_TEXTURE_MAG_FILTER) == GL_NEAREST
                && parameter(GL_GENERATE_MIPMAP) == GL_FALSE);
        // One byte a texel: the map's four colours are indices into its palette.
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        QCOMPARE(format, GLint(GL_LUMINANCE8));
        QCOMPARE(mapColours(picture, 64), bytes(picture.mapImage));

        glActiveTexture(GL_TEXTURE1);
        picture.draw();
        // The rectangle spans x 1..5 and y 1..3; texture (0, 0) is the lower left.
        QVERIFY(canvas.colorAt(2, 1.5f) == Qt::blue && canvas.colorAt(4, 1.5f) == Qt::white);
        QVERIFY(canvas.colorAt(2, 2.5f) == Qt::red && canvas.colorAt(4, 2.5f) == Qt::green);
        QVERIFY(canvas.colorAt(0.5f, 2) == Qt::black && canvas.colorAt(5.5f, 3.5f) == Qt::black);
        // Untextured surfaces drawn later take the quad's last coordinate.
        GLfloat coordinate[4] = {0, 0, 0, 0};
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coordinate);
        QVERIFY(coordinate[0] == 1.0f && coordinate[1] == 0.0f);
        // The image is left bound on unit 0, the active one, the map on unit 1, its palette on unit 2.
        const auto integer = [](GLenum name) { GLint value = 0; glGetIntegerv(name, &value); return value; };
        QVERIFY(integer(GL_ACTIVE_TEXTURE) == GL_TEXTURE0 && GLuint(integer(GL_TEXTURE_BINDING_2D)) == texture);
        glActiveTexture(GL_TEXTURE1);
        QCOMPARE(GLuint(integer(GL_TEXTURE_BINDING_2D)), mapTexture);
        glActiveTexture(GL_TEXTURE2);
        QCOMPARE(GLuint(integer(GL_TEXTURE_BINDING_2D)), picture.mapPalette);
        glActiveTexture(GL_TEXTURE0);
    }

    void indexedMaps_data()
    {
        QTest::addColumn<QImage>("map");
        QTest::addColumn<int>("colours"); // 0: too many for an index
        QTest::newRow("flat quadrants") << toGLLayout(quadrants(8, 6)) << 4;
        QImage lastPixelApart = toGLLayout(quadrants(8, 6));
        lastPixelApart.setPixel(7, 4, qRgb(1, 2, 3));
        QTest::newRow("a row apart from the one above in its last pixel") << lastPixelApart << 5;
        QTest::newRow("256 colours") << mapOfColours(256) << 256;
        QTest::newRow("257 colours") << mapOfColours(257) << 0;
        QTest::newRow("odd width") << mapOfColours(7).copy(0, 0, 19, 2) << 7;
        QTest::newRow("no image") << QImage() << 0;
    }

    // Every pixel's index stands for exactly its colour; a richer map has no index.
    void indexedMaps()
    {
        QFETCH(QImage, map);
        const QImage indexed = indexedMap(map);
        QTEST(indexed.colorCount(), "colours");
        QCOMPARE(indexed.isNull(), indexed.colorCount() == 0);
        for (int y = 0; y < indexed.height(); ++y)
            for (int x = 0; x < indexed.width(); ++x)
                QCOMPARE(indexed.color(indexed.pixelIndex(x, y)), map.pixel(x, y));
    }

    void plainPngAsQtReadsIt_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("decoded"); // else left to Qt's reader
        QImage colours = quadrants(5, 3);
        QImage translucent = colours.convertToFormat(QImage::Format_ARGB32);
        translucent.setPixel(1, 1, qRgba(10, 20, 30, 40));
        QImage palette = colours.convertToFormat(QImage::Format_Indexed8);
        palette.setColor(0, qRgba(200, 100, 50, 0));
        QTest::newRow("rgb, resolution in metres") << encoded(colours) << true;
        const QByteArray plain = encoded(colours);
        QTest::newRow("no resolution") << QByteArray(plain).remove(plain.indexOf("pHYs") - 4, 21) << true;
        QTest::newRow("with alpha") << encoded(translucent) << true;
        QTest::newRow("palette with a transparent colour") << encoded(palette) << true;
        QTest::newRow("grey") << encoded(colours.convertToFormat(QImage::Format_Grayscale8)) << true;
        QTest::newRow("one bit") << encoded(colours.convertToFormat(QImage::Format_Mono)) << true;
        QTest::newRow("16 bits a channel") << encoded(colours.convertToFormat(QImage::Format_RGBA64)) << false;
        QImage linear = colours;
        linear.setColorSpace(QColorSpace::SRgbLinear);
        QTest::newRow("colour space") << encoded(linear) << false;
        QByteArray damaged = encoded(colours);
        damaged[damaged.indexOf("IDAT") + 6] = char(damaged[damaged.indexOf("IDAT") + 6] ^ 0x55);
        QTest::newRow("damaged pixels") << damaged << false;
        QTest::newRow("cut short") << encoded(colours).left(60) << false;
        QTest::newRow("a JPEG") << encoded(colours, "JPEG") << false;
    }

    // The same pixels and resolution as Qt's reader, or nothing.
    void plainPngAsQtReadsIt()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, decoded);
        const QImage plain = decodePlainPng(file);
        QCOMPARE(!plain.isNull(), decoded);
        if (!decoded)
            return;
        const QImage qt = QImage::fromData(file);
        QCOMPARE(bytes(toGLLayout(plain)), bytes(toGLLayout(qt)));
        QCOMPARE(plain.dotsPerMeterX(), qt.dotsPerMeterX());
        QCOMPARE(plain.dotsPerMeterY(), qt.dotsPerMeterY());
        const QImage laidOut = decodePlainPng(file, PixelLayout::GL);
        QCOMPARE(laidOut.format(), QImage::Format_ARGB32);
        QCOMPARE(bytes(laidOut), bytes(toGLLayout(qt)));
        QCOMPARE(laidOut.dotsPerMeterX(), qt.dotsPerMeterX());
        QCOMPARE(laidOut.dotsPerMeterY(), qt.dotsPerMeterY());
    }

    void plainJpegAsQtReadsIt_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("decoded"); // else left to Qt's reader
        QTest::addColumn<qint64>("pixelLimit");
        const QImage colours = noisyGradient(64, 48);
        const QByteArray plain = written(colours, -1);
        const auto row = [](const char* tag, const QByteArray& file, bool decoded = true,
                            qint64 pixelLimit = defaultImagePixelLimit) {
            QTest::newRow(tag) << file << decoded << pixelLimit;
        };
        row("baseline", plain);
        row("quality 100", written(colours, 100));
        row("progressive, optimized", written(colours, 90, true));
        row("odd size", written(noisyGradient(37, 23), -1));
        row("grey", written(colours.convertToFormat(QImage::Format_Grayscale8), -1));
        row("no density unit", withDensity(plain, 0, 3, 4));
        row("dots per inch", withDensity(plain, 1, 301, 299));
        row("dots per centimetre", withDensity(plain, 2, 13, 21));
        const QByteArray exif = QByteArray::fromHex("ffe10022457869660000" "4d4d002a00000008" "0001"
                                                    "011200030000000100060000" "00000000");
        row("orientation in exif", QByteArray(plain).insert(20, exif));
        // An Adobe marker in place of the JFIF one: the pixels are R, G, B, not converted.
        row("rgb components", QByteArray(plain).replace(2, 18, QByteArray::fromHex("ffee000e41646f626500640000000000")));
        row("at the pixel limit", plain, true, 64 * 48);
        row("over the pixel limit", plain, false, 64 * 48 - 1);
        row("cut short", plain.left(plain.size() * 4 / 5), false);
        row("a PNG", encoded(colours), false);
    }

    // The very pixels and resolution of Qt's reader brought to GL layout, or
    // nothing; a worker then reads the file as it did before.
    void plainJpegAsQtReadsIt()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, decoded);
        QFETCH(qint64, pixelLimit);
        QCOMPARE(!decodePlainJpeg(file, pixelLimit).isNull(), decoded);
        QFile written("A.jpg");
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
        written.close();
        setImagePixelLimit(pixelLimit);
        const QImage worker = decodeOnWorkerForGL("A.jpg");
        const QImage qt = toGLLayout(decodeWithinLimits("A.jpg"));
        QCOMPARE(worker.isNull(), pixelLimit < 64 * 48);
        QCOMPARE(worker.size(), qt.size());
        QCOMPARE(worker.format(), qt.format());
        QCOMPARE(bytes(worker), bytes(qt));
        QCOMPARE(worker.dotsPerMeterX(), qt.dotsPerMeterX());
        QCOMPARE(worker.dotsPerMeterY(), qt.dotsPerMeterY());
    }

    void mipmapsAsTheDriverMakesThem_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("even") << QSize(64, 32);
        QTest::newRow("odd") << QSize(37, 23);
        QTest::newRow("one column") << QSize(1, 9);
        QTest::newRow("panel shaped") << QSize(333, 390);
        QTest::newRow("even panel, rows not a multiple of four texels") << QSize(520, 780);
        QTest::newRow("even across, odd down") << QSize(96, 45);
        QTest::newRow("odd across, even down") << QSize(45, 96);
    }

    // Levels made beforehand are the driver's own, within one level of a byte.
    void mipmapsAsTheDriverMakesThem()
    {
        QFETCH(QSize, size);
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        QImage image(size, QImage::Format_ARGB32);
        quint32 noise = 12345;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, (noise = noise * 1664525u + 1013904223u) | 0xff000000u);
        Picture driver;
        driver.image = image;
        driver.createTextures();
        Picture prepared = driver;
        prepared.texture = prepared.mapTexture = Picture::noTexture;
        createTextures(prepared, preparedTextures(image, QImage(), 0));
        const QVector<QImage> levels = mipmapLevels(image);
        QCOMPARE(levels.last().size(), QSize(1, 1));
        for (int level = 1; level <= levels.size(); ++level) {
            const QImage& ours = levels[level - 1];
            QCOMPARE(ours.size(), QSize(qMax(1, size.width() >> level), qMax(1, size.height() >> level)));
            for (GLuint texture : {driver.texture, prepared.texture}) {
                QByteArray made(int(ours.sizeInBytes()), '\0');
                glBindTexture(GL_TEXTURE_2D, texture);
                glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, made.data());
                int worst = 0;
                for (int i = 0; i < made.size(); ++i)
                    worst = qMax(worst, qAbs(int(uchar(made[i])) - int(ours.constBits()[i])));
                QVERIFY2(worst <= 1, qPrintable(QString("level %1: %2 levels apart").arg(level).arg(worst)));
            }
        }
    }

    void mapsWholeForOldShaderFiles_data()
    {
        QTest::addColumn<QByteArray>("mapShader");
        QTest::addColumn<QByteArray>("tapestryShader");
        QTest::addColumn<bool>("indexed");
        const QByteArray map = "uniform sampler2D mapPalette;", tapestry = "uniform float selectedMapIndex;";
        QTest::newRow("current files") << map << tapestry << true;
        QTest::newRow("old map shader") << QByteArray("uniform sampler2D mapTexture;") << tapestry << false;
        QTest::newRow("old tapestry shader") << map << QByteArray("uniform vec3 selectedMapColor;") << false;
        QTest::newRow("no files here") << QByteArray() << QByteArray() << true;
    }

    // Shader files kept from before the maps were sent as indices read them whole.
    void mapsWholeForOldShaderFiles()
    {
        QFETCH(QByteArray, mapShader);
        QFETCH(QByteArray, tapestryShader);
        QFETCH(bool, indexed);
        for (const auto& [name, text] : {std::pair{"map.fragment.glsl", mapShader}, {"tapestry.fragment.glsl", tapestryShader}}) {
            QFile file(name);
            QVERIFY(text.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(text) == text.size()));
        }
        QCOMPARE(shadersReadIndexedMaps(), indexed);
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        QVERIFY(quadrants(8, 8).save("quadrants.png"));
        setMapsIndexed(shadersReadIndexedMaps());
        Picture picture("quadrants.png", point3(), point3(1, 1, 0));
        picture.createTextures();
        glBindTexture(GL_TEXTURE_2D, picture.mapTexture);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        QCOMPARE(format, GLint(indexed ? GL_LUMINANCE8 : GL_RGBA8));
        QCOMPARE(mapColours(picture, 64), bytes(picture.mapImage));
    }

    // A map of more colours than an index holds stays whole on the card.
    void richMapTexture()
    {
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        QVERIFY(mapOfColours(300).save("rich.png"));
        Picture picture("rich.png", point3(), point3(1, 1, 0));
        picture.createTextures();
        glBindTexture(GL_TEXTURE_2D, picture.mapTexture);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        QCOMPARE(format, GLint(GL_RGBA8));
        QCOMPARE(mapColours(picture, 1800), bytes(picture.mapImage));
    }

    // A panel beyond the card's texture limit is drawn scaled down, its map
    // with every pixel one of its own colours, and one warning for each.
    void textureLimit()
    {
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        GLint limit = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
        // Rows of one red pixel in four, as bytes B, G, R, A.
        const QByteArray row = QByteArray::fromHex("0000e6ff000000ff000000ff000000ff").repeated(limit / 2);
        QVERIFY(QImage(reinterpret_cast<const uchar*>(row.constData()), limit * 2, 1, QImage::Format_RGB32)
                    .scaled(limit * 2, 2).save("wide.png"));
        const QString size = QString("%1 x 2 pixels, more than the graphics card's texture limit of %2: drawn at %2 x 1")
                                 .arg(limit * 2).arg(limit);
        Picture picture("wide.png", point3(), point3(1, 1, 0));
        picture.createTextures();
        QCOMPARE(messages, QStringList("W Image wide.png is " + size) << "W Image wide.png is " + size);
        glBindTexture(GL_TEXTURE_2D, picture.mapTexture);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        QCOMPARE(width, limit);
        const QByteArray colours = mapColours(picture, limit);
        const QVector<quint32> pixels(reinterpret_cast<const quint32*>(colours.constData()),
                                      reinterpret_cast<const quint32*>(colours.constData()) + limit);
        const quint32 red = qFromLittleEndian<quint32>("\xe6\0\0\xff");
        QVERIFY(std::all_of(pixels.cbegin(), pixels.cend(), [red](quint32 p) { return p == red || p == 0xff000000u; }));
        QVERIFY(pixels.contains(red));
    }
};

QTEST_MAIN(TestPicture)

#include "tst_picture.moc"
