#include "databasecheck.h"

#include <QFile>
#include <QHash>

#include <climits>

namespace {

// The curators' file opens with four lines of titles.
const int headerLines = 4;
const int usedColumns = 10;
const QStringList qualityWords = {"Scarsa", "Media", "Buona", "1", "2", "3", ""};

// The first byte in the system's 8-bit code page, as the program reads the letter column.
int letterCode(const QString& field)
{
    const QByteArray local = field.toLocal8Bit();
    return local.isEmpty() ? 0 : static_cast<signed char>(local.at(0));
}

} // namespace

void DatabaseCheck::warn(int line, const QString& code, const QString& message)
{
    room.report.warning(room.databaseFile(), line, code, message);
}

void DatabaseCheck::run()
{
    QStringList lines;
    if (!readLines(lines)) {
        room.report.error(room.databaseFile(), 0, "database-missing",
                          "cannot open the animal database: the panel has no animal to show");
        return;
    }
    for (int i = headerLines; i < lines.size(); ++i)
        checkLine(lines[i], i + 1);
    if (!room.sceneRead)
        return;
    checkDetailsHaveRecords();
    checkRecordsHaveDetails();
    checkRecordOrder();
}

// The data lines as the program splits them: text mode, UTF-8 up to a NUL byte, one
// record per line feed; the empty rest after the last line feed is no line.
bool DatabaseCheck::readLines(QStringList& lines)
{
    QFile file(room.path(RoomUnderCheck::databaseName));
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || !readAtMost(file, databaseSizeLimit, bytes))
        return false;
    const int nul = bytes.indexOf('\0');
    lines = QString::fromUtf8(bytes.constData(), nul < 0 ? bytes.size() : nul).split('\n');
    if (nul >= 0 || lines.last().isEmpty())
        lines.removeLast();
    return true;
}

void DatabaseCheck::checkLine(const QString& text, int line)
{
    const QStringList fields = text.split(';');
    const int exemplar = fields.value(1).toInt();
    if (text.isEmpty()) {
        warn(line, "record-dropped", "empty line: the program drops it");
        return;
    }
    if (exemplar < 1) {
        warn(line, "record-dropped",
             QString("exemplar number \"%1\" (column 1) is not a whole number of 1 or more: the program drops "
                     "the line").arg(fields.value(1)));
        return;
    }
    const qint64 id = qint64(letterCode(fields.value(2)) - 65) * 100 + (exemplar - 1);
    if (id > INT_MAX) {
        warn(line, "record-dropped",
             QString("exemplar number %1 is too large for a code: the program drops the line").arg(exemplar));
        return;
    }
    kept.append({line, int(id)});
    if (fields.size() < usedColumns)
        warn(line, "record-short",
             QString("%1 fields instead of at least %2: a \";\" is missing; the program reads the missing "
                     "columns as empty").arg(fields.size()).arg(usedColumns));
    const QString letter = fields.value(2);
    if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z')
        warn(line, "record-letter",
             QString("letter \"%1\" (column 2) is not one capital letter A to Z: the record gets code %2, "
                     "which no database letter of the scene file gives").arg(letter).arg(id));
    const QString quality = fields.value(6);
    if (!qualityWords.contains(quality))
        room.report.note(room.databaseFile(), line, "quality-word",
                         QString("quality \"%1\" (column 6) is none of Scarsa, Media, Buona, 1, 2, 3: the "
                                 "program shows it as Media, two stars").arg(quality));
}

void DatabaseCheck::checkDetailsHaveRecords()
{
    for (int i = 0; i < room.scene.details.size(); ++i) {
        const Detail& detail = room.scene.details[i];
        if (room.animals.indexOfId(detail.id) >= 0)
            continue;
        const QString code = RoomUnderCheck::code(detail.id);
        room.report.warning(room.sceneFile(), room.detailLine(i),
                            "detail-without-record",
                            QString("detail %1%2 of %3 has no record in %4: pointing at it empties the "
                                    "panel; add a record with letter %5 and number %6")
                                .arg(code, detail.label.isEmpty() ? QString() : " (\"" + detail.label + "\")",
                                     "\"" + detail.name + "\"", RoomUnderCheck::databaseName)
                                .arg(code.left(1)).arg(code.mid(1)));
    }
}

void DatabaseCheck::checkRecordsHaveDetails()
{
    QHash<int, int> firstLine;
    for (int i = 0; i < kept.size(); ++i) {
        const RecordLine& record = kept[i];
        const QString code = RoomUnderCheck::code(record.id);
        if (firstLine.contains(record.id)) {
            warn(record.line, "record-duplicate",
                 QString("record %1 has the code of the record at line %2: the program always shows that one")
                     .arg(code).arg(firstLine.value(record.id)));
            continue;
        }
        firstLine.insert(record.id, record.line);
        if (room.scene.indexOfDetail(record.id) >= 0)
            continue;
        const QString name = i < room.animals.records.size() ? room.animals.records[i].name : QString();
        warn(record.line, "record-without-detail",
             QString("record %1 (%2) has no detail in %3: it can be picked in the lists, but the view has "
                     "nothing to show for it").arg(code, name, RoomUnderCheck::sceneName));
    }
}

// Records listed in the order of their details let a curator walk both files together.
void DatabaseCheck::checkRecordOrder()
{
    int previousDetail = -1;
    int previousLine = 0;
    for (const RecordLine& record : qAsConst(kept)) {
        const int detail = room.scene.indexOfDetail(record.id);
        if (detail < 0)
            continue;
        if (detail < previousDetail) {
            const int detailLine = room.detailLine(detail);
            warn(record.line, "record-order",
                 QString("record %1 comes after the record at line %2, but its detail (%3 line %4) comes "
                         "before that record's detail: list the records in the order of their details")
                     .arg(RoomUnderCheck::code(record.id)).arg(previousLine)
                     .arg(RoomUnderCheck::sceneName).arg(detailLine));
        }
        if (detail > previousDetail) {
            previousDetail = detail;
            previousLine = record.line;
        }
    }
}
