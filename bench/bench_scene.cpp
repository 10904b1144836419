// Times reading a generated room against only decoding its image files, and a
// detail map read for one detail against the same map read for two hundred.
#include "benchutil.h"
#include "scene.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const int panelCount = 24;
const int detailsPerPanel = 30;
const int runs = 3;

QColor detailColor(int index)
{
    return QColor(10 + index % 200, 20 + (index * 7) % 200, 30 + (index * 13) % 200);
}

void writePanel(const QString& path, int seed)
{
    QImage image(4096, 2048, QImage::Format_RGB32);
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4096, 2048);
    gradient.setColorAt(0, QColor(seed * 10 % 255, 120, 80));
    gradient.setColorAt(1, QColor(40, seed * 7 % 255, 200));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 200; ++i)
        painter.fillRect((i * 397 + seed * 31) % 4000, (i * 211) % 1950, 90, 90,
                         QColor((i * 37) % 255, (i * 59) % 255, (i * 83) % 255));
    painter.end();
    image.save(path, "JPG", 90);
}

void writeMap(const QString& path, int details)
{
    QImage map(4096, 2048, QImage::Format_RGB32);
    map.fill(Qt::black);
    QPainter painter(&map);
    for (int i = 0; i < details; ++i) {
        const QRect spot(40 + (i % 20) * 200, 40 + (i / 20) * 190, 150, 150);
        painter.setPen(Qt::NoPen);
        painter.setBrush(detailColor(i));
        if (i % 2)
            painter.drawEllipse(spot);
        else
            painter.drawRect(spot);
    }
    painter.end();
    map.save(path, "PNG");
}

QString detailElements(int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i % 50 == 0)
            text += QString("<database name=\"%1\"/>").arg(QChar('A' + i / 50));
        const QColor c = detailColor(i);
        text += QString("<detail rgb=\"%1, %2, %3\"/>").arg(c.red()).arg(c.green()).arg(c.blue());
    }
    return text;
}

void writeScene(const QString& path, int panels, int detailsPerMap)
{
    QString walls = "<ceiling model=\"ceiling.obj\"/>";
    QString maps;
    for (int i = 0; i < panels; ++i) {
        if (i > 0 && i % 6 == 0)
            walls += "<wall turn=\"90\"/>";
        walls += QString("<section name=\"p%1.jpg\" height=\"2\"/>").arg(i);
        maps += QString("<detailMap name=\"p%1.png\">%2</detailMap>").arg(i).arg(detailElements(detailsPerMap));
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QString("<room height=\"6\"><walls>%1</walls>%2</room>").arg(walls, maps).toUtf8());
}

double readSceneMs(const QString& fileName)
{
    return medianMilliseconds(runs, [&] {
        Scene scene;
        if (!scene.readXML(fileName))
            fprintf(stderr, "%s could not be read\n", qPrintable(fileName));
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(dropDebugLines);
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("data");
    QDir::setCurrent(folder.path());
    QFile ceiling("data/ceiling.obj");
    ceiling.open(QIODevice::WriteOnly);
    ceiling.write("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n");
    ceiling.close();

    printf("Generating %d panels of 4096 x 2048 with %d details each...\n", panelCount, detailsPerPanel);
    for (int i = 0; i < panelCount; ++i) {
        writePanel(QString("data/p%1.jpg").arg(i), i);
        writeMap(QString("data/p%1.png").arg(i), detailsPerPanel);
    }
    writeScene("data/Stanza.xml", panelCount, detailsPerPanel);
    writeMap("data/many.png", 200);
    QFile::copy("data/p0.jpg", "data/many.jpg");

    const double readMs = readSceneMs("Stanza.xml");
    const double decodeMs = medianMilliseconds(runs, [] {
        for (int i = 0; i < panelCount; ++i) {
            const QImage panel(QString("data/p%1.jpg").arg(i));
            const QImage map(QString("data/p%1.png").arg(i));
        }
    });
    printf("readXML of the room:        %8.1f ms (median of %d)\n", readMs, runs);
    printf("decoding its images only:   %8.1f ms\n", decodeMs);
    printf("ratio read / decode:        %8.2f (target <= 1.5)\n", readMs / decodeMs);

    const auto oneMapScene = [](int details) {
        QFile file("data/Stanza.xml");
        file.open(QIODevice::WriteOnly);
        file.write(QString("<room><walls><ceiling model=\"ceiling.obj\"/><section name=\"many.jpg\" "
                           "height=\"2\"/><wall turn=\"90\"/><section name=\"many.jpg\" height=\"2\"/>"
                           "</walls><detailMap name=\"many.png\">%1</detailMap></room>")
                       .arg(detailElements(details)).toUtf8());
    };
    oneMapScene(1);
    const double oneMs = readSceneMs("Stanza.xml");
    oneMapScene(200);
    const double manyMs = readSceneMs("Stanza.xml");
    printf("readXML, 1 detail on a map: %8.1f ms\n", oneMs);
    printf("readXML, 200 details:       %8.1f ms\n", manyMs);
    printf("ratio 200 / 1:              %8.2f (target <= 1.2)\n", manyMs / oneMs);
    return 0;
}
