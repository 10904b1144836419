#include "model.h"

#include "glcanvas.h"
#include "testgeometry.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char loadModelOption[] = "--load-model";

// Reads OBJ text through a real file, as the scene does.
Model readText(const QByteArray& obj)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("model.obj"));
    if (file.open(QIODevice::WriteOnly))
        file.write(obj);
    file.close();
    Model model;
    model.readObj(file.fileName());
    return model;
}

const QByteArray triangleVertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void pointLines_data();
    void pointLines();
    void faceLines_data();
    void faceLines();
    void brokenFacesAreDropped_data();
    void brokenFacesAreDropped();
    void cornerWithoutNormalGetsFaceNormal();
    void facesMayPrecedeTheirVertices();
    void nonFiniteCoordinatesReadAsZero();
    void missingAndEmptyFiles();
    void constructorReadsUnderData();
    void missingModelEndsProcess();
    void scaleFactors_data();
    void scaleFactors();
    void drawStretchesAndKeepsWinding();
};

void TestModel::pointLines_data()
{
    QTest::addColumn<QByteArray>("obj");
    QTest::addColumn<QVector<point3>>("vertices");
    QTest::addColumn<QVector<point3>>("normals");
    const QVector<point3> none;
    QTest::newRow("vertex") << QByteArray("v 1 2 3") << QVector<point3>{{1, 2, 3}} << none;
    QTest::newRow("capital V") << QByteArray("V 1 2 3") << QVector<point3>{{1, 2, 3}} << none;
    QTest::newRow("two spaces read an empty first field")
        << QByteArray("v  1 2 3") << QVector<point3>{{0, 1, 2}} << none;
    QTest::newRow("field not a number") << QByteArray("v 1 x 3") << QVector<point3>{{1, 0, 3}} << none;
    QTest::newRow("too few fields") << QByteArray("v 5") << QVector<point3>{{5, 0, 0}} << none;
    QTest::newRow("normal") << QByteArray("vn 0 1 0") << none << QVector<point3>{{0, 1, 0}};
    QTest::newRow("capital VN") << QByteArray("VN 0 0 1") << none << QVector<point3>{{0, 0, 1}};
    QTest::newRow("usemtl line holding v") << QByteArray("usemtl v 1 2 3") << none << none;
    QTest::newRow("mtllib line holding v") << QByteArray("mtllib v 1.mtl") << QVector<point3>{{0, 0, 0}} << none;
    QTest::newRow("comment") << QByteArray("# v 1 2 3") << none << none;
    QTest::newRow("texture coordinate") << QByteArray("vt 0.5 0.5") << none << none;
    QTest::newRow("other letters on the line")
        << QString("v 1 2 3 # gr\u00fcn").toUtf8() << QVector<point3>{{1, 2, 3}} << none;
    QTest::newRow("long s folds to s in usemtl")
        << QString("u\u017Femtl v 1 2 3").toUtf8() << none << none;
    QTest::newRow("windows line ends")
        << QByteArray("v 1 2 3\r\nv 4 5 6\r\n") << QVector<point3>{{1, 2, 3}, {4, 5, 6}} << none;
}

void TestModel::pointLines()
{
    QFETCH(QByteArray, obj);
    const Model model = readText(obj);
    QTEST(model.vertices, "vertices");
    QTEST(model.normals, "normals");
    QVERIFY(model.faces.isEmpty());
}

void TestModel::faceLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QVector<int>>("vertex");
    QTest::addColumn<QVector<int>>("texture");
    QTest::addColumn<QVector<int>>("normal");
    const QVector<int> firstThree{0, 1, 2};
    QTest::newRow("v/t/n") << QByteArray("f 1/1/1 2/2/2 3/3/3") << firstThree << firstThree << firstThree;
    QTest::newRow("four corners keep the first three")
        << QByteArray("f 1/1/1 2/2/2 3/3/3 4/3/3") << firstThree << firstThree << firstThree;
    QTest::newRow("vertex//normal")
        << QByteArray("f 1//2 2//2 3//2") << firstThree << QVector<int>{-1, -1, -1} << QVector<int>{1, 1, 1};
    QTest::newRow("runs of spaces")
        << QByteArray("f  2/1/3   3/2/2 4/3/1 ") << QVector<int>{1, 2, 3} << firstThree << QVector<int>{2, 1, 0};
    QTest::newRow("capital F") << QByteArray("F 1/1/1 2/2/2 3/3/3") << firstThree << firstThree << firstThree;
}

void TestModel::faceLines()
{
    QFETCH(QByteArray, line);
    const Model model = readText(triangleVertices + "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n" + line);
    QCOMPARE(model.faces.size(), 1);
    const Face& face = model.faces.first();
    QTEST((QVector<int>{face.vertexIndex(0), face.vertexIndex(1), face.vertexIndex(2)}), "vertex");
    QTEST((QVector<int>{face.texture[0], face.texture[1], face.texture[2]}), "texture");
    QTEST((QVector<int>{face.normalIndex(0), face.normalIndex(1), face.normalIndex(2)}), "normal");
    QCOMPARE(model.normals.size(), 3);
}

void TestModel::brokenFacesAreDropped_data()
{
    QTest::addColumn<QByteArray>("faces");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("dropped");
    QTest::newRow("vertex past the end") << QByteArray("f 1 2 9") << 0 << 1;
    QTest::newRow("vertex zero") << QByteArray("f 0 1 2") << 0 << 1;
    QTest::newRow("negative vertex") << QByteArray("f -1 -2 -3") << 0 << 1;
    QTest::newRow("two corners") << QByteArray("f 1 2") << 0 << 1;
    QTest::newRow("one corner") << QByteArray("f 1") << 0 << 1;
    QTest::newRow("counted together") << QByteArray("f 1 2 3\nf 1 2\nf 1 2 7\nf 2 3 4") << 2 << 2;
}

void TestModel::brokenFacesAreDropped()
{
    QFETCH(QByteArray, faces);
    QFETCH(int, kept);
    QFETCH(int, dropped);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QString("model.obj.*dropped %1 faces").arg(dropped)));
    const Model model = readText(triangleVertices + faces);
    QCOMPARE(model.faces.size(), kept);
    for (const Face& face : model.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            QVERIFY(face.vertexIndex(corner) >= 0 && face.vertexIndex(corner) < model.vertices.size());
            QVERIFY(face.normalIndex(corner) >= 0 && face.normalIndex(corner) < model.normals.size());
        }
    }
}

void TestModel::cornerWithoutNormalGetsFaceNormal()
{
    // Corner 2 names a normal the file never lists; corner 1 names none at all.
    const Model model = readText(triangleVertices + "vn 1 0 0\nf 1 2//1 3//5\nf 4 2 1\n");
    QCOMPARE(model.faces.size(), 2);
    QCOMPARE(model.normals.size(), 3);
    const Face& first = model.faces.at(0);
    QCOMPARE(first.normalIndex(1), 0);
    QCOMPARE(first.normalIndex(0), 1);
    QCOMPARE(first.normalIndex(2), 1);
    QCOMPARE(model.normals.at(1), point3(0, 0, 1));
    // Listed clockwise from +z, the second face points the other way.
    QCOMPARE(model.normals.at(2), point3(0, 0, -1));
    QCOMPARE(model.faces.at(1).normalIndex(0), 2);
}

void TestModel::facesMayPrecedeTheirVertices()
{
    const Model model = readText("f 1 2 3\n" + triangleVertices);
    QCOMPARE(model.faces.size(), 1);
    QCOMPARE(model.vertices.size(), 4);
}

void TestModel::nonFiniteCoordinatesReadAsZero()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("model.obj.*read 4 coordinates"));
    const Model model = readText("v nan 1 inf\nv -inf 2 3\nvn NaN 0 1\nv 1e39 4 0\n");
    QCOMPARE(model.vertices, (QVector<point3>{{0, 1, 0}, {0, 2, 3}, {0, 4, 0}}));
    QCOMPARE(model.normals, QVector<point3>{point3(0, 0, 1)});
    QCOMPARE(model.boundingBox.getMin(), point3(0, 1, 0));
    QCOMPARE(model.boundingBox.getMax(), point3(0, 4, 3));
}

void TestModel::missingAndEmptyFiles()
{
    QTemporaryDir dir;
    Model model;
    QVERIFY(!model.readObj(dir.filePath("absent.obj")));
    QCOMPARE(model.filePath, dir.filePath("absent.obj"));

    const Model empty = readText("");
    QVERIFY(empty.vertices.isEmpty());
    QVERIFY(empty.boundingBox.empty);
}

void TestModel::constructorReadsUnderData()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("data/models"));
    QFile file(dir.filePath("data/models/box.obj"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(triangleVertices + "v 2 -1 5\nf 1 2 3\n");
    file.close();

    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const Model model("models/box.obj", point3(1, 2, 3), point3(4, 5, 6));
    QDir::setCurrent(previous);

    QCOMPARE(model.name, QString("models/box.obj"));
    QCOMPARE(model.filePath, QString("data/models/box.obj"));
    QCOMPARE(model.position, point3(1, 2, 3));
    QCOMPARE(model.size, point3(4, 5, 6));
    QCOMPARE(model.faces.size(), 1);
    QCOMPARE(model.boundingBox.getMin(), point3(0, -1, 0));
    QCOMPARE(model.boundingBox.getMax(), point3(2, 1, 5));
}

void TestModel::missingModelEndsProcess()
{
    QTemporaryDir dir;
    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.start(QCoreApplication::applicationFilePath(), {loadModelOption, "nothere.obj"});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 254);  // -2 as a process status
    const QStringList lines = QString::fromLocal8Bit(child.readAllStandardError()).split('\n');
    QVERIFY2(lines.contains("Error!!! -.-\""), qPrintable(lines.join('|')));
    QVERIFY(lines.filter("data/nothere.obj").filter(QDir(dir.path()).canonicalPath()).size() == 1);
}

void TestModel::scaleFactors_data()
{
    QTest::addColumn<QByteArray>("obj");
    QTest::addColumn<point3>("size");
    QTest::addColumn<point3>("factors");
    QTest::newRow("unit box stretched") << triangleVertices << point3(3, 0.5f, 0) << point3(3, 0.5f, 1);
    QTest::newRow("depth never scaled") << triangleVertices << point3(2, 2, 7) << point3(2, 2, 1);
    QTest::newRow("flat in x") << QByteArray("v 2 0 0\nv 2 4 1\n") << point3(3, 2, 0) << point3(1, 0.5f, 1);
    QTest::newRow("flat in y") << QByteArray("v 0 1 0\nv 4 1 1\n") << point3(2, 3, 0) << point3(0.5f, 1, 1);
    QTest::newRow("no vertices") << QByteArray() << point3(2, 3, 0) << point3(1, 1, 1);
}

void TestModel::scaleFactors()
{
    QFETCH(QByteArray, obj);
    QFETCH(point3, size);
    Model model = readText(obj);
    model.size = size;
    QTEST(model.scaleFactors(), "factors");
}

void TestModel::drawStretchesAndKeepsWinding()
{
    GlCanvas canvas;
    QVERIFY(canvas.prepare());
    // Only faces that reach the screen clockwise survive: the view's winding.
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);

    // A unit square listed counter-clockwise, without normals.
    Model model = readText(triangleVertices + "f 1 2 4\nf 1 4 3\n");
    model.position = point3(1, 2, 0);
    model.size = point3(3, 0.5f, 0);
    model.draw();

    // Shifted by its own width: x from 1 + 3 to 1 + 6, y from 2 to 2.5.
    QCOMPARE(canvas.colorAt(4.1f, 2.1f), QColor(Qt::red));
    QCOMPARE(canvas.colorAt(6.9f, 2.4f), QColor(Qt::red));
    QCOMPARE(canvas.colorAt(3.5f, 2.25f), QColor(Qt::black));
    QCOMPARE(canvas.colorAt(5.5f, 2.8f), QColor(Qt::black));
}

int main(int argc, char** argv)
{
    // The child process of missingModelEndsProcess: loading must end it.
    if (argc == 3 && qstrcmp(argv[1], loadModelOption) == 0) {
        QCoreApplication app(argc, argv);
        const Model model(QString::fromLocal8Bit(argv[2]), point3(), point3());
        return model.vertices.size();
    }
    QApplication app(argc, argv);
    TestModel test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_model.moc"
