#include "picture.h"

#include "glcanvas.h"
#include "testgeometry.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

namespace {

// Pixels at 100 dots per metre: each pixel is printed 10 mm wide.
QImage printed(int width, int height, QColor fill = Qt::gray)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    image.setDotsPerMeterX(100);
    image.setDotsPerMeterY(100);
    return image;
}

// Red, green on the top row of the file; blue, white on the bottom row.
QImage quadrants()
{
    QImage image = printed(2, 2);
    image.setPixelColor(0, 0, Qt::red);
    image.setPixelColor(1, 0, Qt::green);
    image.setPixelColor(0, 1, Qt::blue);
    image.setPixelColor(1, 1, Qt::white);
    return image;
}

bool nearColor(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 16 && std::abs(a.green() - b.green()) < 16
           && std::abs(a.blue() - b.blue()) < 16;
}

GLint textureInteger(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

} // namespace

class TestPicture : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setGeometry_data();
    void setGeometry();
    void mapPaths_data();
    void mapPaths();
    void unreadableImages_data();
    void unreadableImages();
    void convertedForGLWithPrintedSize();
    void createTextures();
    void drawCoversPositionAndSize();

private:
    QTemporaryDir* dir = nullptr;
    QString previousDirectory;
};

void TestPicture::init()
{
    // Paths without a folder are relative to the working directory.
    dir = new QTemporaryDir;
    previousDirectory = QDir::currentPath();
    QDir::setCurrent(dir->path());
}

void TestPicture::cleanup()
{
    QDir::setCurrent(previousDirectory);
    delete dir;
    dir = nullptr;
}

void TestPicture::setGeometry_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<point3>("requested");
    QTest::addColumn<point3>("size");
    QTest::addColumn<bool>("warns");
    const QImage twoByOne = printed(200, 100);  // 2000 mm x 1000 mm
    QTest::newRow("width given, height follows") << twoByOne << point3(2, -1, 0) << point3(2, 1, 0) << false;
    QTest::newRow("printed size") << twoByOne << point3(-1, -1, 0) << point3(2, 1, 0) << false;
    QTest::newRow("height given, width follows") << twoByOne << point3(-1, 0.5f, 0) << point3(1, 0.5f, 0) << false;
    QTest::newRow("zero width, height follows") << twoByOne << point3(0, -1, 0) << point3(0, 0, 0) << false;
    QTest::newRow("both given, depth dropped") << twoByOne << point3(3, 4, 9) << point3(3, 4, 0) << false;
    QTest::newRow("null image, printed size") << QImage() << point3(-1, -1, 0) << point3(0, 0, 0) << false;
    QTest::newRow("null image, width follows") << QImage() << point3(-1, 2, 0) << point3(0, 2, 0) << true;
    QTest::newRow("null image, height follows") << QImage() << point3(2, -1, 0) << point3(2, 0, 0) << true;
    QTest::newRow("null image, both given") << QImage() << point3(2, 3, 0) << point3(2, 3, 0) << false;
}

void TestPicture::setGeometry()
{
    QFETCH(QImage, image);
    QFETCH(point3, requested);
    QFETCH(bool, warns);
    if (warns)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no physical size"));
    Picture picture;
    picture.setGeometry(image, point3(1, 4, -2), requested);
    QTEST(picture.size, "size");
    QCOMPARE(picture.position, point3(1, 4, -2));
}

void TestPicture::mapPaths_data()
{
    // "%1" stands for the temporary folder.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mapPath");
    QTest::newRow("jpg with its own map") << QStringList{"A.jpg", "A.png", "blank.png"} << "%1/A.jpg" << "%1/A.png";
    QTest::newRow("jpg without map") << QStringList{"A.jpg", "blank.png"} << "%1/A.jpg" << "%1/blank.png";
    QTest::newRow("png is its own map") << QStringList{"A.png", "blank.png"} << "%1/A.png" << "%1/A.png";
    QTest::newRow("no folder, map missing") << QStringList{"A.jpg", "blank.png"} << "A.jpg" << "/blank.png";
    QTest::newRow("no dot at all") << QStringList{"A", "blank.png"} << "A" << "/blank.png";
}

void TestPicture::mapPaths()
{
    QFETCH(QStringList, files);
    QFETCH(QString, path);
    QFETCH(QString, mapPath);
    // All are PNG files: the format follows the content, not the name.
    for (const QString& file : files)
        QVERIFY(printed(30, 10).save(file, "PNG"));
    const QString expected = QString(mapPath).replace("%1", dir->path());
    if (!QFile::exists(expected))
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Cannot read image: " + expected));

    const Picture picture(path.replace("%1", dir->path()), point3(0, 1, 0), point3(-1, 1, 0));
    QCOMPARE(picture.mapPath, expected);
    QCOMPARE(picture.mapImage.isNull(), !QFile::exists(expected));
    QCOMPARE(picture.image.size(), QSize(30, 10));
    QCOMPARE(picture.size, point3(3, 1, 0));
    QCOMPARE(picture.texture, Picture::noTexture);
    QCOMPARE(picture.mapTexture, Picture::noTexture);
}

void TestPicture::unreadableImages_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("zero bytes") << QByteArray();
    QTest::newRow("not an image") << QByteArray("<html>not found</html>");
    QTest::newRow("cut-off png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
}

void TestPicture::unreadableImages()
{
    QFETCH(QByteArray, content);
    QFile file("broken.jpg");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QVERIFY(printed(4, 4).save("blank.png"));
    const QString path = dir->filePath("broken.jpg");

    QTest::ignoreMessage(QtDebugMsg, qPrintable("Cannot read image: " + path));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no physical size"));
    const Picture picture(path, point3(), point3(-1, 2, 0));
    QVERIFY(picture.image.isNull());
    QCOMPARE(picture.size, point3(0, 2, 0));
    QCOMPARE(picture.mapImage.size(), QSize(4, 4));
}

void TestPicture::convertedForGLWithPrintedSize()
{
    QVERIFY(quadrants().scaled(300, 150).save("room.png"));
    Picture picture(dir->filePath("room.png"), point3(), point3(-1, -1, 0));
    QCOMPARE(picture.size, point3(3, 1.5f, 0));
    picture = Picture(dir->filePath("room.png"), point3(), point3(-1, 2, 0));
    QCOMPARE(picture.size, point3(4, 2, 0));

    QVERIFY(quadrants().save("quadrants.png"));
    picture = Picture(dir->filePath("quadrants.png"), point3(), point3(-1, -1, 0));
    // Rows from the bottom of the file, bytes R, G, B, A.
    for (const QImage& image : {picture.image, picture.mapImage}) {
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(0)), 8),
                 QByteArray::fromHex("0000ffffffffffff"));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(1)), 8),
                 QByteArray::fromHex("ff0000ff00ff00ff"));
    }
}

void TestPicture::createTextures()
{
    GlCanvas canvas;
    QVERIFY(canvas.prepare());
    QVERIFY(printed(4, 2, Qt::yellow).save("A.png"));
    Picture picture(dir->filePath("A.png"), point3(), point3(-1, 1, 0));
    picture.createTextures();
    const GLuint texture = picture.texture;
    const GLuint mapTexture = picture.mapTexture;
    QVERIFY(texture != Picture::noTexture && mapTexture != Picture::noTexture);
    QVERIFY(texture != mapTexture);
    QVERIFY(glIsTexture(texture) && glIsTexture(mapTexture));

    glBindTexture(GL_TEXTURE_2D, texture);
    QCOMPARE(textureInteger(GL_TEXTURE_MIN_FILTER), GLint(GL_LINEAR_MIPMAP_LINEAR));
    QCOMPARE(textureInteger(GL_TEXTURE_MAG_FILTER), GLint(GL_LINEAR));
    QCOMPARE(textureInteger(GL_GENERATE_MIPMAP), GLint(GL_TRUE));
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    QCOMPARE(textureInteger(GL_TEXTURE_MIN_FILTER), GLint(GL_NEAREST));
    QCOMPARE(textureInteger(GL_TEXTURE_MAG_FILTER), GLint(GL_NEAREST));
    QCOMPARE(textureInteger(GL_GENERATE_MIPMAP), GLint(GL_FALSE));
    QByteArray pixels(4 * 2 * 4, '\0');
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    QCOMPARE(pixels, QByteArray::fromHex("ffff00ff").repeated(8));

    picture.createTextures();
    QCOMPARE(picture.texture, texture);
    QCOMPARE(picture.mapTexture, mapTexture);

    // A panel that could not be read still gets its (empty) textures.
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Cannot read image: .*missing.jpg"));
    QTest::ignoreMessage(QtDebugMsg, "Cannot read image: /blank.png");
    Picture unreadable("missing.jpg", point3(), point3(-1, -1, 0));
    unreadable.createTextures();
    QVERIFY(glIsTexture(unreadable.texture) && glIsTexture(unreadable.mapTexture));
}

void TestPicture::drawCoversPositionAndSize()
{
    GlCanvas canvas;
    QVERIFY(canvas.prepare());
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glEnable(GL_TEXTURE_2D);
    // Quadrants of 4 x 4 texels, so that their centres are free of filtering.
    QVERIFY(quadrants().scaled(8, 8).save("quadrants.png"));
    Picture picture(dir->filePath("quadrants.png"), point3(1, 1, 0), point3(4, 2, 0));
    picture.createTextures();
    glActiveTexture(GL_TEXTURE1);
    picture.draw();

    // The rectangle spans x 1..5 and y 1..3; texture (0, 0) is the lower left.
    QVERIFY(nearColor(canvas.colorAt(2, 1.5f), Qt::blue));
    QVERIFY(nearColor(canvas.colorAt(4, 1.5f), Qt::white));
    QVERIFY(nearColor(canvas.colorAt(2, 2.5f), Qt::red));
    QVERIFY(nearColor(canvas.colorAt(4, 2.5f), Qt::green));
    QCOMPARE(canvas.colorAt(0.5f, 2), QColor(Qt::black));
    QCOMPARE(canvas.colorAt(5.5f, 3.5f), QColor(Qt::black));

    QCOMPARE(integer(GL_ACTIVE_TEXTURE), GLint(GL_TEXTURE0));
    QCOMPARE(GLuint(integer(GL_TEXTURE_BINDING_2D)), picture.texture);
    glActiveTexture(GL_TEXTURE1);
    QCOMPARE(GLuint(integer(GL_TEXTURE_BINDING_2D)), picture.mapTexture);
    glActiveTexture(GL_TEXTURE0);
    // Untextured surfaces drawn later take the quad's last coordinate.
    GLfloat coordinate[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coordinate);
    QCOMPARE(coordinate[0], 1.0f);
    QCOMPARE(coordinate[1], 0.0f);
}

QTEST_MAIN(TestPicture)

#include "tst_picture.moc"
