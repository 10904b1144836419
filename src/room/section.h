// One wall section: a panel with the pictures stacked on it and the model
// copies under and above them, in a local frame that runs along the wall.
#pragma once

#include "geometry.h"
#include "model.h"
#include "picture.h"

#include <QMap>
#include <QString>
#include <QVector>

class Section
{
public:
    Section() = default;
    Section(point3 position, point3 direction);

    void updateFrame();
    point3 toWorld(const point3& local) const;
    void addModel(const Model& model) { models.append(model); }

    // Needs the view's GL context to be current.
    void draw() const;

    QMap<QString, Picture> pictures;
    QVector<Model> models;
    point3 origin;
    point3 direction = point3(1, 0, 0);
    float width = 0.0f;
    point3 axisX = point3(1, 0, 0);
    point3 axisY = point3(0, 1, 0);
    point3 axisZ = point3(0, 0, 1);
};
