// Checks of the animal database against what the program reads from it: lines
// it drops, quality words it reads as Media, and records and details that do
// not meet each other by their codes.
#pragma once

#include "roomundercheck.h"

class DatabaseCheck
{
public:
    explicit DatabaseCheck(RoomUnderCheck& room) : room(room) {}
    void run();

private:
    // A line the program keeps as a record, with its code.
    struct RecordLine
    {
        int line = 0;
        int id = 0;
    };

    bool readLines(QStringList& lines);
    void checkLine(const QString& text, int line);
    void checkDetailsHaveRecords();
    void checkRecordsHaveDetails();
    void checkRecordOrder();
    void warn(int line, const QString& code, const QString& message);

    RoomUnderCheck& room;
    QVector<RecordLine> kept;
};
