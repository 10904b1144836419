#include "animal.h"

#include <QFile>
#include <QStringMatcher>
#include <QStringRef>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <climits>

namespace {

// The curators' file opens with four lines of titles.
constexpr int headerLines = 4;

// Columns after the notes are never used, so a line is not split any further.
constexpr int usedColumns = 10;
using Columns = std::array<QStringRef, usedColumns>;

const QString alternativeLabel = QStringLiteral("\nIdentificazione alternativa: ");
const QString specificLevelQualifier = QStringLiteral("non determinabile a livello specifico");
const QString undeterminedQualifiers[] = {
    QStringLiteral("ind."), QStringLiteral("non determinato"), QStringLiteral("non determinabile")};

// Splits off what follows the first slash (up to a second one, if any) and
// leaves the text before the slash in place.
QString takeAlternative(QString& text)
{
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    const int nextSlash = text.indexOf(QLatin1Char('/'), slash + 1);
    const QString alternative = text.mid(slash + 1, nextSlash < 0 ? -1 : nextSlash - slash - 1);
    text.truncate(slash);
    return alternative;
}

// A letter outside the basic plane is judged as a whole, not by its first half.
uint firstCodePoint(const QString& text)
{
    const QChar first = text.at(0);
    if (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(first, text.at(1));
    return first.unicode();
}

bool startsWithLowercase(const QString& text)
{
    return !text.isEmpty() && QChar::isLower(firstCodePoint(text));
}

void capitalizeFirst(QString& text)
{
    const uint lower = firstCodePoint(text);
    const uint upper = QChar::toUpper(lower);
    text.replace(0, QChar::requiresSurrogates(lower) ? 2 : 1, QString::fromUcs4(&upper, 1));
}

// A shorter line reads its missing columns as empty texts.
Columns splitColumns(const QStringRef& line)
{
    Columns columns;
    int start = 0;
    for (int column = 0; column < usedColumns; ++column) {
        const int separator = line.indexOf(QLatin1Char(';'), start);
        columns[column] = line.mid(start, separator < 0 ? -1 : separator - start);
        if (separator < 0)
            break;
        start = separator + 1;
    }
    return columns;
}

// Spreadsheets write the empty rows of a sheet as runs of semicolons.
bool isBlankLine(const QStringRef& line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c == QLatin1Char(';') || c.isSpace(); });
}

// The first byte in the system's 8-bit code page, signed as a char is on the PC.
int letterCode(const QStringRef& field)
{
    const QByteArray local = field.toLocal8Bit();
    return local.isEmpty() ? 0 : static_cast<signed char>(local.at(0));
}

void sortDistinct(QStringList& list)
{
    list.removeDuplicates();
    list.sort(Qt::CaseSensitive);
}

QStringList distinctSorted(const QVector<Animal>& records, QString Animal::*field)
{
    QStringList values;
    values.reserve(records.size());
    for (const Animal& animal : records)
        values.append(animal.*field);
    sortDistinct(values);
    return values;
}

// The search field runs a search on every keystroke: each word's skip table is built
// once per search rather than once per record and field.
QVector<QStringMatcher> matchersFor(const QStringList& words)
{
    QVector<QStringMatcher> matchers;
    matchers.reserve(words.size());
    for (const QString& word : words)
        matchers.append(QStringMatcher(word, Qt::CaseInsensitive));
    return matchers;
}

} // namespace

void Animal::normalize()
{
    const QString altName = takeAlternative(name);
    const QString altOtherName = takeAlternative(otherName);
    if (!altName.isEmpty() || !altOtherName.isEmpty()) {
        notes += alternativeLabel + altName;
        if (!altOtherName.isEmpty())
            notes += QStringLiteral(" (") + altOtherName + QLatin1Char(')');
    }

    // The long phrase goes first so that its "non determinabile" does not cost the grade.
    name.remove(specificLevelQualifier);
    notes.replace(QChar(0xFFFD), QChar(0x00E0));
    notes.replace(QChar(0x2014), QChar(0x00F9));
    for (const QString& qualifier : undeterminedQualifiers) {
        if (name.contains(qualifier)) {
            name.remove(qualifier);
            quality = 0;
        }
    }

    name = name.trimmed();
    otherName = otherName.trimmed();
    if (startsWithLowercase(otherName))
        otherName = QLatin1Char('(') + otherName + QLatin1Char(')');

    notes = notes.trimmed();
    if (notes.isEmpty())
        return;
    if (!notes.endsWith(QLatin1Char('.')))
        notes += QLatin1Char('.');
    if (startsWithLowercase(notes))
        capitalizeFirst(notes);
}

bool Animal::matches(const QString& word) const
{
    return matches(QStringMatcher(word, Qt::CaseInsensitive));
}

bool Animal::matches(const QStringMatcher& word) const
{
    return word.indexIn(name) >= 0 || word.indexIn(otherName) >= 0 || word.indexIn(notes) >= 0
        || word.indexIn(description) >= 0 || word.indexIn(category) >= 0;
}

bool Animal::matchesAll(const QStringList& words) const
{
    return matchesAll(matchersFor(words));
}

bool Animal::matchesAll(const QVector<QStringMatcher>& words) const
{
    return std::all_of(words.cbegin(), words.cend(), [this](const QStringMatcher& word) { return matches(word); });
}

int qualityFromText(const QString& text)
{
    struct Grade
    {
        QLatin1String word;
        int grade;
    };
    static const Grade grades[] = {{QLatin1String("Scarsa"), 1}, {QLatin1String("Media"), 2},
                                   {QLatin1String("Buona"), 3},  {QLatin1String("1"), 1},
                                   {QLatin1String("2"), 2},      {QLatin1String("3"), 3}};
    for (const Grade& grade : grades) {
        if (text == grade.word)
            return grade.grade;
    }
    return text.isEmpty() ? 0 : 2;
}

bool AnimalData::readAll(QString fileName)
{
    this->fileName = fileName;
    records.clear();
    droppedLines = 0;
    problem.clear();

    // A file that cannot be opened, or is too large, reads as no bytes.
    QFile file(fileName);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        problem = QStringLiteral("cannot be opened (%1)").arg(file.errorString());
    else if (!readAtMost(file, databaseSizeLimit, bytes))
        problem = QStringLiteral("the file holds more than the limit of %1 bytes").arg(databaseSizeLimit);
    const bool emptyFile = bytes.isEmpty();
    const int nul = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(bytes.constData(), nul < 0 ? bytes.size() : nul);
    bytes.clear();

    // The text after the last line feed is the last data line of a file that lacks a
    // final line feed; when a NUL byte cut the text short, it is only a fragment.
    const bool cutShort = nul >= 0;
    int start = 0;
    int dataLines = 0;
    for (int line = 0;; ++line) {
        const int feed = text.indexOf(QLatin1Char('\n'), start);
        if (feed < 0 && cutShort)
            break;
        if (line >= headerLines) {
            const QStringRef piece = text.midRef(start, feed < 0 ? -1 : feed - start);
            const bool blank = isBlankLine(piece);
            dataLines += blank ? 0 : 1;
            if (!readLine(piece, line + 1) && !blank)
                ++droppedLines;
        }
        if (feed < 0)
            break;
        start = feed + 1;
    }

    if (records.isEmpty() && problem.isEmpty())
        problem = emptyFile ? QStringLiteral("the file is empty")
                            : QStringLiteral("no record in its %1 lines after the %2 header lines")
                                  .arg(dataLines).arg(headerLines);
    qDebug("Read %d animals from database!", records.size());
    return true;
}

bool readAtMost(QIODevice& device, qint64 limit, QByteArray& bytes)
{
    bytes.clear();
    const qint64 chunk = 1 << 20;
    while (bytes.size() <= limit) {
        const QByteArray more = device.read(qMin(chunk, limit + 1 - bytes.size()));
        if (more.isEmpty())
            return true;
        bytes += more;
    }
    bytes.clear();
    return false;
}

namespace {

void cutLongFields(Columns& columns, int lineNumber, const QString& fileName)
{
    for (int column = 0; column < usedColumns; ++column) {
        QStringRef& field = columns[column];
        if (field.size() <= fieldLengthLimit)
            continue;
        qWarning("Animal database %s, line %d: column %d holds %d characters; cut to %d", qPrintable(fileName),
                 lineNumber, column, field.size(), fieldLengthLimit);
        // A letter outside the basic plane is not cut in half.
        const bool splitsPair = field.at(fieldLengthLimit - 1).isHighSurrogate();
        field = field.left(fieldLengthLimit - (splitsPair ? 1 : 0));
    }
}

} // namespace

bool AnimalData::readLine(const QStringRef& line, int lineNumber)
{
    Columns columns = splitColumns(line);
    cutLongFields(columns, lineNumber, fileName);
    const int number = columns[1].toInt();
    if (number < 1)
        return false;
    const qint64 code = qint64(letterCode(columns[2]) - 65) * 100 + (number - 1);
    if (code > INT_MAX) {
        qWarning("Animal database %s, line %d: exemplar number %d is too large for a code; line skipped",
                 qPrintable(fileName), lineNumber, number);
        return false;
    }

    Animal animal;
    animal.category = columns[3].toString();
    animal.name = columns[4].toString();
    animal.otherName = columns[5].toString();
    animal.quality = qualityFromText(columns[6].toString());
    animal.description = columns[7].toString();
    animal.notes = columns[9].toString();
    animal.id = static_cast<int>(code);
    animal.normalize();
    records.append(animal);
    return true;
}

bool AnimalData::reload()
{
    // Read aside, so that a file caught half written, emptied or replaced by
    // something else never takes the place of good records.
    AnimalData fresh;
    fresh.readAll(fileName);
    if (!fresh.problem.isEmpty()) {
        qWarning("Animal database %s not read again: %s; keeping the records read before (%d)",
                 qPrintable(fileName), qPrintable(fresh.problem), records.size());
        return false;
    }
    *this = fresh;
    return true;
}

int AnimalData::indexOfId(int id) const
{
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i).id == id)
            return i;
    }
    return -1;
}

int AnimalData::indexOfName(const QString& text) const
{
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i).name == text || records.at(i).otherName == text)
            return i;
    }
    return -1;
}

int AnimalData::countExemplars(const QString& name) const
{
    return static_cast<int>(std::count_if(records.cbegin(), records.cend(),
                                          [&name](const Animal& animal) { return animal.name == name; }));
}

int AnimalData::indexOfExemplar(const QString& name, int k) const
{
    if (k < 0)
        return -1;
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i).name == name && k-- == 0)
            return i;
    }
    return -1;
}

QStringList AnimalData::names() const
{
    return distinctSorted(records, &Animal::name);
}

QStringList AnimalData::otherNames() const
{
    return distinctSorted(records, &Animal::otherName);
}

QStringList AnimalData::categories() const
{
    return distinctSorted(records, &Animal::category);
}

void AnimalData::search(const QString& text, QStringList& nameList, QStringList& otherNameList) const
{
    const QVector<QStringMatcher> words = matchersFor(text.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    if (words.isEmpty()) {
        otherNameList = otherNames();
        nameList = names();
        return;
    }

    otherNameList.clear();
    nameList.clear();
    for (const Animal& animal : records) {
        if (animal.matchesAll(words)) {
            otherNameList.append(animal.otherName);
            nameList.append(animal.name);
        }
    }
    sortDistinct(otherNameList);
    sortDistinct(nameList);
}
