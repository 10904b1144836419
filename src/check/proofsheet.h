// Proof sheets: every panel with details drawn with each detail's outline and
// a label naming its code and record, and an index.html listing them, so a
// curator can verify the maps and the database at a glance, from disk.
#pragma once

#include "roomundercheck.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>

class ProofSheet
{
public:
    static const QColor outlineColour;
    static constexpr int maxWidth = 2000;

    explicit ProofSheet(RoomUnderCheck& room) : room(room) {}
    // Writes the sheets and index.html into `folder`; false with the reason in `problem`.
    bool write(const QString& folder, QString* problem);

    // "A3 Farfalla 3/14", or "A5 — no record".
    QString label(const Detail& detail) const;
    // "3/14": which exemplar of its animal the record is; empty without a record.
    QString exemplar(int id) const;

private:
    struct Panel
    {
        QString name;
        Picture picture;
        QVector<int> details;  // indices into the scene's details
    };

    struct Tracing
    {
        QHash<int, QRect> boxes;  // by index into the scene's details
        QVector<QPoint> border;
    };

    QVector<Panel> panels() const;
    Tracing trace(const Panel& panel, const QSize& size) const;
    void drawLabel(QPainter& painter, const QString& text, const QRect& detailBox) const;
    QImage drawSheet(const Panel& panel) const;
    QString sheetName(const Panel& panel) const;
    QString indexHtml(const QVector<Panel>& panels) const;

    RoomUnderCheck& room;
};
