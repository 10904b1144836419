// The animal database: one record per painted exemplar, read from the
// semicolon-separated determinations file, with the lookups the panel uses.
#pragma once

#include <QString>
#include <QStringMatcher>
#include <QStringList>
#include <QVector>

class Animal
{
public:
    QString name;
    QString otherName;
    QString category;
    QString description;
    int quality = 0;
    QString notes;
    int id = 0;

    // Cleans the raw determination texts as read from the file.
    void normalize();

    bool matches(const QString& word) const;
    bool matchesAll(const QStringList& words) const;
    // The same tests with case-insensitive matchers that a search builds once for all records.
    bool matches(const QStringMatcher& word) const;
    bool matchesAll(const QVector<QStringMatcher>& words) const;
};

int qualityFromText(const QString& text);

// A database larger than this is refused before it is decoded: the curators'
// file holds a few hundred records, and decoding gigabytes would exhaust memory.
constexpr qint64 databaseSizeLimit = 64 * 1024 * 1024;
// Longer fields are cut: no determination text comes near it, and the panel
// measures every name it lists.
constexpr int fieldLengthLimit = 2000;

class QIODevice;
// The bytes of an open device, or false when it holds more than `limit`
// (a device that never ends, such as /dev/zero, included).
bool readAtMost(QIODevice& device, qint64 limit, QByteArray& bytes);

class AnimalData
{
public:
    QVector<Animal> records;
    QString fileName;
    // What the last read made of the file: the lines after the header that gave
    // no record (blank lines aside), and why the file gave no record at all
    // (empty when it gave some).
    int droppedLines = 0;
    QString problem{};

    bool readAll(QString fileName);
    // Reads the file again. A file that cannot be read, is empty or gives no
    // record leaves the records as they were, with one warning; false then.
    bool reload();

    int indexOfId(int id) const;
    int indexOfName(const QString& text) const;
    int countExemplars(const QString& name) const;
    int indexOfExemplar(const QString& name, int k) const;

    QStringList names() const;
    QStringList otherNames() const;
    QStringList categories() const;

    void search(const QString& text, QStringList& nameList, QStringList& otherNameList) const;

private:
    bool readLine(const QStringRef& line, int lineNumber);
};
