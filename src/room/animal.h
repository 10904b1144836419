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

class AnimalData
{
public:
    QVector<Animal> records;
    QString fileName;

    bool readAll(QString fileName);
    void reload();

    int indexOfId(int id) const;
    int indexOfName(const QString& text) const;
    int countExemplars(const QString& name) const;
    int indexOfExemplar(const QString& name, int k) const;

    QStringList names() const;
    QStringList otherNames() const;
    QStringList categories() const;

    void search(const QString& text, QStringList& nameList, QStringList& otherNameList) const;

private:
    void readLine(const QStringRef& line, int lineNumber);
};
