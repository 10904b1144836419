#include "modelcheck.h"

#include "roomfolder.h"

#include <cmath>

void ModelCheck::run()
{
    if (!room.isRoom)
        return;
    QSet<QString> checked;
    for (const QString& tag : {QStringLiteral("ceiling"), QStringLiteral("mesh")}) {
        for (int element : room.outline.inWalls(tag)) {
            const QString name = room.outline.at(element).value("model");
            if (checked.contains(name))
                continue;
            checked.insert(name);
            if (room.unreadableModels.contains(name)) {
                const QString refusal = roomFileRefusal(name, room.folder.path());
                const QString problem = refusal.isEmpty()
                    ? QString("cannot open the model file %1").arg(name.isEmpty() ? "(no model given)" : name)
                    : QString("model=\"%1\" names %2, which the program refuses").arg(name, refusal);
                room.report.error(room.sceneFile(), room.outline.at(element).line, "model-unreadable",
                                  problem + ": the program stops at start with status -2");
                continue;
            }
            const int index = room.scene.findModel(name);
            if (room.sceneRead && index >= 0)
                checkShape(room.scene.models[index]);
        }
    }
}

void ModelCheck::checkShape(const Model& model)
{
    const QString file = room.shown(model.name);
    if (model.droppedFaces > 0)
        room.report.warning(file, 0, "model-faces",
                            QString("%1 faces dropped: they have fewer than three corners or name a vertex "
                                    "the file does not list").arg(model.droppedFaces));
    if (model.vertices.isEmpty()) {
        room.report.warning(file, 0, "model-empty", "no vertices: the program draws nothing for this model");
        return;
    }
    const point3 min = model.boundingBox.getMin();
    const point3 max = model.boundingBox.getMax();
    const float width = max.x - min.x;
    if (width == 0.0f || max.y == min.y) {
        room.report.warning(file, 0, "model-flat",
                            "flat in x or y: the program cannot stretch it to the size the scene gives");
        return;
    }
    // Drawn from size.x * (min + max) / width to that plus size.x: only a model centred on 0
    // lands where the scene places it.
    const float shift = (min.x + max.x) / width;
    if (std::fabs(shift) > 0.01f)
        room.report.warning(file, 0, "model-not-centred",
                            QString("spans x from %1 to %2: not centred on 0, it is drawn %3 % of its width "
                                    "to the %4 of its place; centre it in x (from -0.5 to 0.5, say)")
                                .arg(double(min.x)).arg(double(max.x))
                                .arg(std::fabs(shift) * 100.0f, 0, 'f', 1)
                                .arg(shift > 0.0f ? "right" : "left"));
}
