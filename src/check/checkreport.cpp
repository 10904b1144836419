#include "checkreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

void CheckReport::error(const QString& file, int line, const QString& code, const QString& message)
{
    found.append({file, line, Severity::Error, code, message});
}

void CheckReport::warning(const QString& file, int line, const QString& code, const QString& message)
{
    found.append({file, line, Severity::Warning, code, message});
}

void CheckReport::note(const QString& file, int line, const QString& code, const QString& message)
{
    found.append({file, line, Severity::Note, code, message});
}

int CheckReport::count(Severity severity) const
{
    return int(std::count_if(found.cbegin(), found.cend(),
                             [severity](const Finding& finding) { return finding.severity == severity; }));
}

int CheckReport::exitStatus(bool strict) const
{
    const int failing = count(Severity::Error) + (strict ? count(Severity::Warning) : 0);
    return failing > 0 ? 1 : 0;
}

QString CheckReport::severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("error");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Note:
        break;
    }
    return QStringLiteral("note");
}

QVector<Finding> CheckReport::sorted() const
{
    QVector<Finding> ordered = found;
    std::stable_sort(ordered.begin(), ordered.end(), [](const Finding& a, const Finding& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return ordered;
}

QString CheckReport::text() const
{
    QString out;
    for (const Finding& finding : sorted()) {
        const QString place = finding.line > 0 ? QString("%1:%2").arg(finding.file).arg(finding.line)
                                               : finding.file;
        out += QString("%1: %2: %3\n").arg(place, severityName(finding.severity), finding.message);
    }
    out += QString("%1 errors, %2 warnings\n").arg(count(Severity::Error)).arg(count(Severity::Warning));
    return out;
}

QByteArray CheckReport::json() const
{
    QJsonArray array;
    for (const Finding& finding : sorted()) {
        QJsonObject object;
        object["file"] = finding.file;
        object["line"] = finding.line > 0 ? QJsonValue(finding.line) : QJsonValue();
        object["severity"] = severityName(finding.severity);
        object["code"] = finding.code;
        object["message"] = finding.message;
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}
