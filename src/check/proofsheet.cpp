#include "proofsheet.h"

#include "imagecheck.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QRect>

const QColor ProofSheet::outlineColour = QColor(255, 0, 255);

namespace {

// The pictures keep their images in the GL layout: rows bottom first, red and blue exchanged.
QImage asOnDisk(const QImage& glLayout)
{
    return glLayout.mirrored(false, true).rgbSwapped();
}

// For each pixel of a sheet of `size`, the map value under it (GL layout, row 0 at the bottom).
QVector<quint32> mapValuesAt(const QImage& map, const QSize& size)
{
    QVector<quint32> values(size.width() * size.height(), 0);
    if (map.depth() != 32)
        return values;
    for (int y = 0; y < size.height(); ++y) {
        const int mapRow = map.height() - 1 - int(qint64(y) * map.height() / size.height());
        const quint32* row = reinterpret_cast<const quint32*>(map.constScanLine(mapRow));
        for (int x = 0; x < size.width(); ++x)
            values[y * size.width() + x] = row[qint64(x) * map.width() / size.width()];
    }
    return values;
}

QString colourText(const point3& colour)
{
    return QString("%1, %2, %3").arg(double(colour.x)).arg(double(colour.y)).arg(double(colour.z));
}

} // namespace

QString ProofSheet::exemplar(int id) const
{
    const int index = room.animals.indexOfId(id);
    if (index < 0)
        return QString();
    const QString& name = room.animals.records[index].name;
    int k = 1;
    for (int i = 0; i < index; ++i)
        k += room.animals.records[i].name == name ? 1 : 0;
    return QString("%1/%2").arg(k).arg(room.animals.countExemplars(name));
}

QString ProofSheet::label(const Detail& detail) const
{
    const QString code = RoomUnderCheck::code(detail.id);
    const int index = room.animals.indexOfId(detail.id);
    if (index < 0)
        return code + QString::fromUtf8(" — no record");
    return QString("%1 %2 %3").arg(code, room.animals.records[index].name, exemplar(detail.id));
}

// The pictures whose maps list details, each once, in the order of the walk.
QVector<ProofSheet::Panel> ProofSheet::panels() const
{
    QVector<Panel> found;
    QSet<QString> seen;
    for (const Section& section : room.scene.sections) {
        for (auto it = section.pictures.cbegin(); it != section.pictures.cend(); ++it) {
            if (seen.contains(it.key()))
                continue;
            seen.insert(it.key());
            Panel panel{it.key(), it.value(), {}};
            const QString mapName = room.nameInRoom(it->mapPath);
            for (int i = 0; i < room.scene.details.size(); ++i) {
                if (room.scene.details[i].name == mapName)
                    panel.details.append(i);
            }
            if (!panel.details.isEmpty() && !it->image.isNull())
                found.append(panel);
        }
    }
    return found;
}

QString ProofSheet::sheetName(const Panel& panel) const
{
    return QString(panel.name).replace('/', '_').section('.', 0, -2) + "-sheet.png";
}

// Where each detail lies on a sheet: its pixels' extent and its border pixels.
ProofSheet::Tracing ProofSheet::trace(const Panel& panel, const QSize& size) const
{
    const int width = size.width();
    const int height = size.height();
    const QVector<quint32> values = mapValuesAt(panel.picture.mapImage, size);
    QHash<quint32, int> detailOfValue;
    for (int i : panel.details)
        detailOfValue.insert(ImageCheck::mapValue(room.scene.details[i].color), i);

    Tracing tracing;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const quint32 value = values[y * width + x];
            if (!detailOfValue.contains(value))
                continue;
            tracing.boxes[detailOfValue.value(value)] |= QRect(x, y, 1, 1);
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1
                || values[y * width + x - 1] != value || values[y * width + x + 1] != value
                || values[(y - 1) * width + x] != value || values[(y + 1) * width + x] != value;
            if (edge)
                tracing.border.append(QPoint(x, y));
        }
    }
    return tracing;
}

// Above the detail, or below it, where there is room: the label hides none of its outline.
void ProofSheet::drawLabel(QPainter& painter, const QString& text, const QRect& detailBox) const
{
    const QRect sheet = painter.viewport();
    QRect textBox = painter.fontMetrics().boundingRect(text).adjusted(-4, -2, 4, 2);
    textBox.moveBottomLeft(detailBox.topLeft() - QPoint(0, 3));
    if (textBox.top() < 0)
        textBox.moveTop(detailBox.bottom() + 3);
    if (textBox.bottom() > sheet.bottom())
        textBox.moveTop(0);
    if (textBox.right() > sheet.right())
        textBox.moveRight(sheet.right());
    painter.fillRect(textBox, QColor(0, 0, 0, 190));
    painter.setPen(Qt::white);
    painter.drawText(textBox, Qt::AlignCenter, text);
}

QImage ProofSheet::drawSheet(const Panel& panel) const
{
    const QImage picture = asOnDisk(panel.picture.image);
    QImage sheet = picture.width() > maxWidth ? picture.scaledToWidth(maxWidth, Qt::SmoothTransformation)
                                              : picture;
    sheet = sheet.convertToFormat(QImage::Format_RGB32);
    const Tracing tracing = trace(panel, sheet.size());

    QPainter painter(&sheet);
    // Two pixels wide, so that the line survives a sheet shown smaller than its size.
    painter.setPen(QPen(outlineColour, 2));
    painter.drawPoints(tracing.border.constData(), tracing.border.size());
    QFont font = painter.font();
    font.setPixelSize(qMax(14, sheet.width() / 70));
    painter.setFont(font);
    for (auto it = tracing.boxes.cbegin(); it != tracing.boxes.cend(); ++it)
        drawLabel(painter, label(room.scene.details[it.key()]), it.value());
    return sheet;
}

QString ProofSheet::indexHtml(const QVector<Panel>& panels) const
{
    QString html = QString("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<title>Proof sheets of %1</title>\n<style>\n"
                           "body { font-family: sans-serif; margin: 2em; }\n"
                           "img { max-width: 100%; border: 1px solid #888; }\n"
                           "table { border-collapse: collapse; margin: 1em 0 3em; }\n"
                           "td, th { border: 1px solid #ccc; padding: 0.2em 0.6em; text-align: left; }\n"
                           ".swatch { display: inline-block; width: 1.2em; height: 1.2em; "
                           "vertical-align: middle; border: 1px solid #000; }\n"
                           "</style>\n</head>\n<body>\n<h1>Proof sheets of %1</h1>\n")
                       .arg(room.given.toHtmlEscaped());
    html += "<ul>\n";
    for (const Panel& panel : panels)
        html += QString("<li><a href=\"#%1\">%2</a></li>\n").arg(sheetName(panel), panel.name.toHtmlEscaped());
    html += "</ul>\n";
    for (const Panel& panel : panels) {
        html += QString("<h2 id=\"%1\">%2</h2>\n<a href=\"%1\"><img src=\"%1\" alt=\"%2\"></a>\n")
                    .arg(sheetName(panel), panel.name.toHtmlEscaped());
        html += "<table>\n<tr><th>Code</th><th>Colour</th><th>Name</th><th>Exemplar</th></tr>\n";
        for (int i : panel.details) {
            const Detail& detail = room.scene.details[i];
            const int record = room.animals.indexOfId(detail.id);
            html += QString("<tr><td>%1</td><td><span class=\"swatch\" style=\"background: rgb(%2)\"></span> %2"
                            "</td><td>%3</td><td>%4</td></tr>\n")
                        .arg(RoomUnderCheck::code(detail.id), colourText(detail.color),
                             record < 0 ? QString::fromUtf8("— no record")
                                        : room.animals.records[record].name.toHtmlEscaped(),
                             exemplar(detail.id));
        }
        html += "</table>\n";
    }
    return html + "</body>\n</html>\n";
}

bool ProofSheet::write(const QString& folder, QString* problem)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        *problem = "proof sheets need fonts: run them from the program";
        return false;
    }
    if (!QDir().mkpath(folder)) {
        *problem = "cannot make the folder " + folder;
        return false;
    }
    const QVector<Panel> found = panels();
    for (const Panel& panel : found) {
        const QString path = QDir(folder).filePath(sheetName(panel));
        if (!drawSheet(panel).save(path)) {
            *problem = "cannot write " + path;
            return false;
        }
    }
    QFile index(QDir(folder).filePath("index.html"));
    const QByteArray html = indexHtml(found).toUtf8();
    if (!index.open(QIODevice::WriteOnly) || index.write(html) != html.size()) {
        *problem = "cannot write " + index.fileName();
        return false;
    }
    return true;
}
