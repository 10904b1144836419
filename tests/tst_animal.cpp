#include "animal.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray header = "Determinazioni\nVovo del Pellavio\n\nN;Numero;Lettera;Categoria;Nome\n";
const QString alt = QStringLiteral("Identificazione alternativa: ");

// Name, second name, category, description, quality, notes, id. Two records share id 5, "Lupo" is a
// second name before it is a name, and the names mix case and accents so that sorting decides.
const AnimalData sample{
    {{"Zigolo", "Lupo", "Uccelli", "piccolo", 0, "Sul ramo.", 5},
     {"airone", "(ardea)", "Uccelli", "ROSSA la zampa", 0, alt + "Volpe.", 7},
     {"Lupo", "", "Mammiferi", "grigio", 0, "", 5}, {"Volpe", "(vulpes)", "Mammiferi", "rossa", 0, "", 9},
     {"Ànatra", "Anas", "Uccelli", "", 0, "", 10}, {"", "(vulpes)", "Mammiferi", "", 0, "", 12},
     {"Volpe", "(vulpes)", "Mammiferi", "Volpe rossa", 0, "", 11}},
    QString()};

QStringList logged; // "W text" for a warning, "D text" for the rest, since init()
QString loggedBy;   // the function that wrote the last line

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    logged << (type == QtWarningMsg ? "W " : "D ") + text;
    loggedBy = context.function;
}

} // namespace

class TestAnimal : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> dir;

    QString writeFile(const QByteArray& bytes)
    {
        QFile file(dir->filePath(QStringLiteral("determinazioni.csv")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test database %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        logged.clear();
        qInstallMessageHandler(capture);
    }

    void qualityFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("grade");
        const QPair<const char*, int> cases[] = {{"Scarsa", 1}, {"Media", 2}, {"Buona", 3}, {"1", 1}, {"2", 2}, {"3", 3},
                                                 {"", 0}, {" Buona", 2}, {"buona", 2}, {"Ottima", 2}, {"0", 2}};
        for (const auto& c : cases)
            QTest::addRow("'%s'", c.first) << QString::fromLatin1(c.first) << c.second;
    }

    void qualityFromText()
    {
        QFETCH(QString, text);
        QTEST(::qualityFromText(text), "grade");
    }

    void normalize_data()
    {
        QTest::addColumn<QStringList>("raw");
        QTest::addColumn<QStringList>("clean");
        // Raw name, second name and notes of a record of grade 3; what they become, with the grade.
        const auto cleanUpRow = [](const char* tag, const QStringList& raw, const QStringList& clean) {
            QTest::newRow(tag) << raw << clean;
        };
        cleanUpRow("alternative name", {"Passero/Fringuello", "passer domesticus", "specie comune"},
                   {"Passero", "(passer domesticus)", "Specie comune\n" + alt + "Fringuello.", "3"});
        cleanUpRow("ind. drops grade", {"Uccello ind.", "", " piume scure "}, {"Uccello", "", "Piume scure.", "0"});
        cleanUpRow("specific level keeps grade", {"Airone non determinabile a livello specifico", "", ""},
                   {"Airone", "", "", "3"});
        cleanUpRow("non determinabile alone", {"Rapace non determinabile", "", ""}, {"Rapace", "", "", "0"});
        cleanUpRow("non determinato", {"Pesce non determinato", "", ""}, {"Pesce", "", "", "0"});
        cleanUpRow("empty notes, alternative", {"Lupo/Cane", "", ""}, {"Lupo", "", alt + "Cane.", "3"});
        cleanUpRow("slash with blanks", {"Lupo / Cane", "", ""}, {"Lupo", "", alt + " Cane.", "3"});
        cleanUpRow("two slashes", {"Lupo/Cane/Volpe", "", ""}, {"Lupo", "", alt + "Cane.", "3"});
        cleanUpRow("slash only in second name", {"Volpe", "vulpes/canis", ""}, {"Volpe", "(vulpes)", alt + " (canis).", "3"});
        cleanUpRow("alternative keeps qualifier", {"Orso ind./Lupo ind.", "", ""}, {"Orso", "", alt + "Lupo ind.", "0"});
        cleanUpRow("lowercase accented second name", {"Asino", "àsino", ""}, {"Asino", "(àsino)", "", "3"});
        cleanUpRow("capital second name, blanks", {" Volpe ", " Vulpes ", ""}, {"Volpe", "Vulpes", "", "3"});
        cleanUpRow("notes of blanks only", {"Volpe", "", "   "}, {"Volpe", "", "", "3"});
        cleanUpRow("accented notes with full stop", {"Volpe", "", "è rara."}, {"Volpe", "", "È rara.", "3"});
        cleanUpRow("U+FFFD and U+2014 repairs", {"Lupo/Citt\uFFFD", "", "met\uFFFD della pi\u2014"},
                   {"Lupo", "", "Metà della più\n" + alt + "Città.", "3"});
    }

    void normalize()
    {
        QFETCH(QStringList, raw);
        Animal animal{raw.at(0), raw.at(1), " Uccelli/ind. ", "", 3, raw.at(2), 0};
        animal.normalize();
        QTEST((QStringList{animal.name, animal.otherName, animal.notes, QString::number(animal.quality)}), "clean");
        QCOMPARE(animal.category, QStringLiteral(" Uccelli/ind. "));
    }

    void readAll_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file at all
        QTest::addColumn<QVector<int>>("ids");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QString>("warning");
        const auto row = [](const char* tag, const QByteArray& file, const QVector<int>& ids, int dropped = 0,
                            const QString& warning = {}) { QTest::newRow(tag) << file << ids << dropped << warning; };
        const QByteArray h = header;
        row("missing file", QByteArray(), {});
        row("empty file", "", {});
        row("header only", h, {});
        row("five lines, final line feed", h + "1;1;A\n", {0});
        row("last line without final line feed", h + "1;1;A\n2;2;A", {0, 1});
        row("unusable number columns", h + "1;0;A\n2;-3;A\n3;x;A\n4;;A\n5; 12;A\n", {11}, 4);
        row("lines without number column", h + "1\n\n1;3;B\n", {102}, 1);
        row("empty rows of a spreadsheet aside", h + "\n;;;;;;;;;\n \t\n1;1;A\n", {0});
        row("D with 5 gives 304, A with 100 gives 99", h + "1;5;D\n2;100;A\n", {304, 99});
        row("A with 101, B with 1, a, no letter, A with the largest number",
            h + "1;101;A\n2;1;B\n3;1;a\n4;7;\n5;2147483647;A\n", {100, 100, 3200, -6494, 2147483646});
        row("code too large", h + "1;1;A\n2;2147483647;B\n", {0}, 1,
            "line 6: exemplar number 2147483647 is too large for a code; line skipped");
        row("CRLF line ends", h + "1;1;A\r\n2;2;A\r\n", {0, 1});
        row("1,000 semicolons", h + QByteArray(1000, ';') + "\n1;4;C\n", {203});
        row("NUL mid-line", h + "1;1;A\n2;2;A;x;Lu" + '\0' + "po\n3;3;A\n", {0});
        row("binary line", h + "\x01\x7f\x80\xbf\xc0\xf5\xff;\xfe\xed;A\n1;2;A\n", {1}, 1);
        row("50 MB line", h + "1;1;A;;;;;" + QByteArray(50 << 20, 'x') + "\n2;2;A\n", {0, 1}, 0,
            "line 5: column 7 holds 52428800 characters; cut to 2000");
    }

    void readAll()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVector<int>, ids);
        QFETCH(QString, warning);
        const QString path = file.isNull() ? dir->filePath(QStringLiteral("nessuno.csv")) : writeFile(file);
        AnimalData data = sample; // replaced, never added to
        QVERIFY(data.readAll(path));
        QVector<int> read;
        for (const Animal& animal : data.records)
            read.append(animal.id);
        QCOMPARE(read, ids);
        QTEST(data.droppedLines, "dropped");
        const QString warned = "W Animal database " + path + ", " + warning;
        QCOMPARE(logged, (warning.isEmpty() ? QStringList() : QStringList(warned))
                             << QString("D Read %1 animals from database!").arg(ids.size()));
    }

    // The file read first holds Volpe alone; `file` replaces it ("folder", "dangling link" and "/dev/zero"
    // stand for those). A file caught empty, half written or replaced by something else never takes the
    // place of good records: one warning names it and says why (`reason`).
    void reload_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("fields"); // of each record after reloading
        const QStringList volpe{"", "Volpe", "", "0", "", "", "0"};
        // A semicolon inside the second name moves every later column one step on, a short line
        // reads its missing columns as empty texts, and a byte that is not UTF-8 shows as "à".
        QTest::newRow("changed file")
            << header + "7;2;C;Uccelli;Passero/Fringuello;passer domesticus; Buona;Sul ramo;autore;specie comune;extra\n"
                        "8;3;C;Uccelli;Merlo;turdus; merula;Scarsa;autore;citt\xff\n9;4;C;Uccelli;Gazza\n" << ""
            << QStringList{"Uccelli", "Passero", "(passer domesticus)", "2", "Sul ramo", "Specie comune\n" + alt
                           + "Fringuello.", "201", "Uccelli", "Merlo", "(turdus)", "2", "Scarsa", "Città.", "202",
                           "Uccelli", "Gazza", "", "0", "", "", "203"};
        QTest::newRow("emptied") << QByteArray("") << "the file is empty" << volpe;
        QTest::newRow("header only") << header << "no record in its 0 lines after the 4 header lines" << volpe;
        QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\nIHDR;1;2\n\n\n\n\xff;;\nx;y\n")
                                 << "no record in its 2 lines after the 4 header lines" << volpe;
        QTest::newRow("a folder") << QByteArray("folder") << "cannot be opened (file to open is a directory)" << volpe;
        QTest::newRow("a dangling link") << QByteArray("dangling link") << "cannot be opened (No such file or directory)"
                                         << volpe;
        QTest::newRow("a file without end") << QByteArray("/dev/zero")
                                            << "the file holds more than the limit of 67108864 bytes" << volpe;
    }

    void reload()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        const QString path = writeFile(header + "1;1;A;;Volpe\n");
        AnimalData data;
        data.readAll(path);
        if (file == "folder")
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        else if (file == "dangling link" || file == "/dev/zero")
            QVERIFY(QFile::remove(path) && QFile::link(file == "/dev/zero" ? file : "nowhere.csv", path));
        else
            writeFile(file);
        logged.clear();
        QCOMPARE(data.reload(), reason.isEmpty());
        const QString kept = "W Animal database " + path + " not read again: " + reason
                             + "; keeping the records read before (1)";
        QCOMPARE(logged, reason.isEmpty() ? QStringList("D Read 3 animals from database!")
                                          : QStringList("D Read 0 animals from database!") << kept);
        const char* writer = reason.isEmpty() ? "bool AnimalData::readAll(QString)" : "bool AnimalData::reload()";
        QCOMPARE(loggedBy, QString(writer));
        QStringList fields;
        for (const Animal& a : data.records)
            fields << a.category << a.name << a.otherName << QString::number(a.quality) << a.description << a.notes
                   << QString::number(a.id);
        QTEST(fields, "fields");
    }

    void queries()
    {
        const AnimalData data = sample;
        QCOMPARE(data.categories(), (QStringList{"Mammiferi", "Uccelli"}));
        // Ids 5 and 42; "Lupo", a second name before a later record's name; an empty second name
        // before the empty name; "volpe" in the wrong case.
        QCOMPARE((QVector<int>{data.indexOfId(5), data.indexOfId(42), data.indexOfName("Lupo"), data.indexOfName(""),
                               data.indexOfName("volpe"), data.countExemplars("Volpe"),
                               data.countExemplars("volpe")}),
                 (QVector<int>{0, -1, 0, 2, -1, 2, 0}));
        // First, last, k equal to the count, negative k, unknown name, no records.
        QCOMPARE((QVector<int>{data.indexOfExemplar("Volpe", 0), data.indexOfExemplar("Volpe", 1),
                               data.indexOfExemplar("Volpe", 2), data.indexOfExemplar("Volpe", -1),
                               data.indexOfExemplar("Gatto", 0), AnimalData().indexOfExemplar("Volpe", 0)}),
                 (QVector<int>{3, 6, -1, -1, -1, -1}));
        QVERIFY(Animal().matchesAll(QStringList()) && Animal().matches(QString()));
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("otherNames");
        const QStringList foxNames{"Volpe", "airone"}, foxOtherNames{"(ardea)", "(vulpes)"};
        QTest::newRow("two words, two blanks") << "volpe  ROSSA" << foxNames << foxOtherNames;
        QTest::newRow("words in other order") << " rossa volpe " << foxNames << foxOtherNames;
        QTest::newRow("word only in notes") << "alternativa" << QStringList{"airone"} << QStringList{"(ardea)"};
        QTest::newRow("category and description") << "mammiferi grigio" << QStringList{"Lupo"} << QStringList{""};
        QTest::newRow("accented capital") << "ÀNATRA" << QStringList{"Ànatra"} << QStringList{"Anas"};
        QTest::newRow("accents are significant") << "anatra" << QStringList() << QStringList();
        QTest::newRow("tab is not a separator") << "volpe\trossa" << QStringList() << QStringList();
        QTest::newRow("blanks only") << "   " << QStringList{"", "Lupo", "Volpe", "Zigolo", "airone", "Ànatra"}
                                     << QStringList{"", "(ardea)", "(vulpes)", "Anas", "Lupo"};
    }

    void search()
    {
        QFETCH(QString, text);
        QStringList names{"stale"}, otherNames{"stale"};
        sample.search(text, names, otherNames);
        QTEST(names, "names");
        QTEST(otherNames, "otherNames");
    }
};

QTEST_GUILESS_MAIN(TestAnimal)
#include "tst_animal.moc"
