#include "model.h"

#include "glcanvas.h"
#include "testgeometry.h"

#include <QApplication>
#include <QtTest>

namespace {

const char loadModelOption[] = "--load-model";

// Reads OBJ text through a real file, as the scene does.
Model readText(const QByteArray& obj)
{
    QTemporaryFile file(QDir::tempPath() + "/XXXXXX-model.obj");
    Model model;
    if (file.open() && file.write(obj) == obj.size() && file.flush())
        model.readObj(file.fileName());
    return model;
}

const QByteArray square = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    // Lines read after four vertices and three normals, and what they add as "v" and "vn" points
    // and "f" faces, corners as vertex/texture/normal counted from 0 (-1: none).
    void readsLines_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("warning");
        QTest::newRow("capital V and VN") << "V 1 2 3\nVN 0 0 1" << "v 1 2 3; vn 0 0 1" << "";
        QTest::newRow("two spaces read an empty first field") << "v  1 2 3" << "v 0 1 2" << "";
        QTest::newRow("too few fields") << "v 5" << "v 5 0 0" << "";
        QTest::newRow("mtllib line holding v") << "mtllib v 1.mtl" << "v 0 0 0" << "";
        // What follows "usemtl", "#" or "vt" adds nothing, also where "ſ" stands for the "s" of "usemtl".
        QTest::newRow("lines that add nothing")
            << "usemtl v 1 2 3\n# v 1 2 3\nvt 0.5 0.5\nu\u017Femtl v 1 2 3" << "" << "";
        QTest::newRow("other letters on the line") << "v 1 2 3 # gr\u00fcn" << "v 1 2 3" << "";
        QTest::newRow("windows line ends") << "v 1 2 3\r\nvn 0 0 1\r\n" << "v 1 2 3; vn 0 0 1" << "";
        QTest::newRow("not finite read as 0") << "v nan 1 inf\nv -inf 2 3\nvn NaN 0 1\nv 1e39 4 0\n"
                                              << "v 0 1 0; v 0 2 3; v 0 4 0; vn 0 0 1" << "read 4 coordinates";
        QTest::newRow("four corners") << "f 1/1/1 2/2/2 3/3/3 4/3/3" << "f 0/0/0 1/1/1 2/2/2" << "";
        QTest::newRow("vertex//normal") << "f 1//2 2//2 3//2" << "f 0/-1/1 1/-1/1 2/-1/1" << "";
        QTest::newRow("runs of spaces") << "f  2/1/3   3/2/2 4/3/1 " << "f 1/0/2 2/1/1 3/2/0" << "";
        // A corner without a listed normal takes the face's own, added to the list.
        QTest::newRow("corners without normal") << "f 1 2//1 3//5" << "vn 0 0 1; f 0/-1/3 1/-1/0 2/-1/3" << "";
        QTest::newRow("face before its vertex")
            << "f 1 2 5\nv 2 2 0" << "v 2 2 0; vn 0 0 1; f 0/-1/3 1/-1/3 4/-1/3" << "";
        QTest::newRow("vertex past the end") << "f 1 2 9" << "" << "dropped 1 faces";
        QTest::newRow("vertex zero") << "f 0 1 2" << "" << "dropped 1 faces";
        QTest::newRow("two corners") << "f 1 2" << "" << "dropped 1 faces";
        QTest::newRow("one corner") << "f 1" << "" << "dropped 1 faces";
        // A face without area has no direction: its normal is 0, not a division by 0.
        QTest::newRow("face without area") << "f 1 1 2" << "vn 0 0 0; f 0/-1/3 0/-1/3 1/-1/3" << "";
        QTest::newRow("index at the int's limit") << "f -2147483648 1 2" << "" << "dropped 1 faces";
        // The cross product overflows: the face's normal reads as 0.
        QTest::newRow("coordinates near the float's limit") << "v 1e30 0 0\nv 0 1e30 0\nf 5 6 1"
            << "v 1e+30 0 0; v 0 1e+30 0; vn 0 0 0; f 4/-1/3 5/-1/3 0/-1/3"
            << "1 face normals overflow to numbers that are not finite; reading them as 0";
        // The last face runs clockwise seen from +z: its normal points the other way.
        QTest::newRow("drops counted together") << "f 1 2 3\nf 1 2\nf 1 2 7\nf 2 3 4"
            << "vn 0 0 1; vn 0 0 -1; f 0/-1/3 1/-1/3 2/-1/3; f 1/-1/4 2/-1/4 3/-1/4" << "dropped 2 faces";
    }

    void readsLines()
    {
        QFETCH(QString, lines);
        QFETCH(QString, warning);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("model.obj.*" + warning));
        const Model model = readText(square + "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n" + lines.toUtf8());
        QStringList read;
        for (const point3& v : model.vertices.mid(4))
            read << QString("v %1 %2 %3").arg(v.x).arg(v.y).arg(v.z);
        for (const point3& n : model.normals.mid(3))
            read << QString("vn %1 %2 %3").arg(n.x).arg(n.y).arg(n.z);
        for (const Face& f : model.faces) {
            read << "f";
            for (int c = 0; c < 3; ++c)
                read.last() += QString(" %1/%2/%3").arg(f.vertexIndex(c)).arg(f.texture[c]).arg(f.normalIndex(c));
        }
        QTEST(read.join("; "), "read");
    }

    void missingModelEndsProcess()
    {
        QTemporaryDir dir;
        QProcess child;
        child.setWorkingDirectory(dir.path());
        child.start(QCoreApplication::applicationFilePath(), {loadModelOption, "nothere.obj"});
        QVERIFY(child.waitForFinished(30000));
        // -2 as a process status
        QCOMPARE(child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1, 254);
        const QStringList lines = QString::fromLocal8Bit(child.readAllStandardError()).split('\n');
        QVERIFY2(lines.contains("Error!!! -.-\""), qPrintable(lines.join('|')));
        QCOMPARE(lines.filter("data/nothere.obj").filter(QDir(dir.path()).canonicalPath()).size(), 1);
    }

    // A model flat across x or y cannot be stretched that way: its factor there stays 1, not a division by 0.
    void flatModelsKeepTheirScale()
    {
        Model flatInX = readText("v 2 0 0\nv 2 4 1\n"), flatInY = readText("v 0 1 0\nv 4 1 1\n");
        flatInX.size = point3(3, 2, 0);
        flatInY.size = point3(2, 3, 0);
        QCOMPARE(flatInX.scaleFactors(), point3(1, 0.5f, 1));
        QCOMPARE(flatInY.scaleFactors(), point3(0.5f, 1, 1));
    }

    void drawStretchesAndKeepsWinding()
    {
        GlCanvas canvas;
        QVERIFY(canvas.prepare());
        // Only faces that reach the screen clockwise survive: the view's winding.
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        // A unit square listed counter-clockwise, without normals.
        Model model = readText(square + "f 1 2 4\nf 1 4 3\n");
        model.position = point3(1, 2, 0);
        model.size = point3(3, 0.5f, 0);
        QCOMPARE(model.scaleFactors(), point3(3, 0.5f, 1));
        model.draw();
        // Shifted by its own width: x from 1 + 3 to 1 + 6, y from 2 to 2.5.
        QVERIFY(canvas.colorAt(4.1f, 2.1f) == Qt::red && canvas.colorAt(6.9f, 2.4f) == Qt::red);
        QVERIFY(canvas.colorAt(3.5f, 2.25f) == Qt::black && canvas.colorAt(5.5f, 2.8f) == Qt::black);
    }
};

int main(int argc, char** argv)
{
    // The child process of missingModelEndsProcess: loading must end it.
    if (argc == 3 && qstrcmp(argv[1], loadModelOption) == 0)
        return Model(QString::fromLocal8Bit(argv[2]), point3(), point3()).vertices.size();
    QApplication app(argc, argv);
    TestModel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_model.moc"
