#include "layoutcheck.h"

#include <cmath>

namespace {

// Closing moves the walk's end by less than this share of a run unnoticed.
const float tolerancePercent = 1.0f;

QString runText(int from, int to)
{
    return from + 1 == to ? QString("section %1").arg(to) : QString("sections %1 to %2").arg(from + 1).arg(to);
}

QString changeText(float percent, const QString& run)
{
    const QString size = QString::number(double(std::fabs(percent)), 'f', 1);
    if (size == "0.0")
        return "leaves " + run + " as it is";
    return QString("%1 %2 by %3 %").arg(percent < 0.0f ? "squeezes" : "stretches", run, size);
}

} // namespace

void LayoutCheck::run()
{
    if (!room.sceneRead || room.scene.sections.isEmpty())
        return;
    const QVector<int> walls = room.outline.walls();
    if (walls.size() > 1) {
        room.report.warning(room.sceneFile(), room.outline.at(walls[1]).line, "several-walls",
                            "a second <walls>: the program closes the room after each <walls>, moving "
                            "the first and last runs of every section read so far; keep the walk in one <walls>");
        return;
    }
    const QVector<int> runs = room.scene.wallRuns();
    if (runs.size() < 2) {
        room.report.error(room.sceneFile(), room.outline.at(walls[0]).line, "walk-runs",
                          "the walk is one straight run of sections: the program needs at least two to close "
                          "the room and leaves it open; turn at the corners with <wall turn=\"90\"/>");
        return;
    }
    reportClosing(walls[0], runs);
}

float LayoutCheck::widthAsLaidOut(int index) const
{
    const Section& section = room.scene.sections[index];
    const QString name = room.outline.at(room.outline.sections()[index]).value("name");
    const Picture picture = section.pictures.value(name);
    if (picture.image.isNull())
        return 0.0f;  // reported with the picture; its panel has no width
    Picture asRead;
    asRead.setGeometry(picture.image, picture.position, point3(-1.0f, picture.size.y, 0.0f));
    return asRead.size.x;
}

float LayoutCheck::runChange(int from, int to) const
{
    float before = 0.0f;
    float after = 0.0f;
    for (int i = from; i < to; ++i) {
        before += widthAsLaidOut(i);
        after += room.scene.sections[i].width;
    }
    return before > 0.0f ? (after - before) / before * 100.0f : 0.0f;
}

void LayoutCheck::reportClosing(int walls, const QVector<int>& runs)
{
    point3 end(0, 0, 0);
    for (int i = 0; i < room.scene.sections.size(); ++i)
        end += room.scene.sections[i].direction * widthAsLaidOut(i);
    const int lastStart = runs[runs.size() - 2];
    const float first = runChange(0, runs[0]);
    const float last = runChange(lastStart, runs.last());
    if (std::fabs(first) <= tolerancePercent && std::fabs(last) <= tolerancePercent)
        return;
    const float distance = std::sqrt(end.x * end.x + end.z * end.z) * 100.0f;
    room.report.warning(
        room.sceneFile(), room.outline.at(walls).line, "walk-not-closed",
        QString("the walk along the walls ends %1 cm from where it starts (%2 cm along x, %3 cm along z): "
                "to close the room the program %4 and %5; make opposite walls equally long")
            .arg(double(distance), 0, 'f', 1).arg(double(end.x * 100.0f), 0, 'f', 1)
            .arg(double(end.z * 100.0f), 0, 'f', 1)
            .arg(changeText(first, "the first run (" + runText(0, runs[0]) + ")"),
                 changeText(last, "the last run (" + runText(lastStart, runs.last()) + ")")));
}
