// What the room checker found: one finding per mistake, with the file and line
// to fix, printed the way compilers print theirs so that editors can jump there.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

enum class Severity { Error, Warning, Note };

struct Finding
{
    QString file;
    int line = 0;  // 0: the finding is about the file as a whole
    Severity severity = Severity::Error;
    QString code;
    QString message;
};

class CheckReport
{
public:
    void error(const QString& file, int line, const QString& code, const QString& message);
    void warning(const QString& file, int line, const QString& code, const QString& message);
    void note(const QString& file, int line, const QString& code, const QString& message);

    const QVector<Finding>& findings() const { return found; }
    int count(Severity severity) const;
    // 1 with errors (with `strict`, warnings count as errors too), else 0.
    int exitStatus(bool strict) const;

    // Findings ordered by file and line, as "FILE:LINE: severity: message"
    // lines and a summary line.
    QString text() const;
    QByteArray json() const;

    static QString severityName(Severity severity);

private:
    QVector<Finding> sorted() const;

    QVector<Finding> found;
};
