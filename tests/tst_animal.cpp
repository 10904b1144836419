#include "animal.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray header = "Determinazioni\nVovo del Pellavio\n\nN;Numero;Lettera;Categoria;Nome\n";

QStringList captured;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    captured.append(QStringLiteral("%1 %2 %3: %4").arg(type).arg(context.category, context.function, text));
}

Animal record(const QString& name, const QString& otherName, const QString& category,
              const QString& description, const QString& notes, int id)
{
    Animal animal;
    animal.name = name;
    animal.otherName = otherName;
    animal.category = category;
    animal.description = description;
    animal.notes = notes;
    animal.id = id;
    return animal;
}

bool readCapturingMessages(AnimalData& data, const QString& path)
{
    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    const bool result = data.readAll(path);
    qInstallMessageHandler(previous);
    return result;
}

QStringList fieldsOf(const Animal& animal)
{
    return {animal.category, animal.name,  animal.otherName,          QString::number(animal.quality),
            animal.description, animal.notes, QString::number(animal.id)};
}

QVector<int> idsOf(const AnimalData& data)
{
    QVector<int> ids;
    for (const Animal& animal : data.records)
        ids.append(animal.id);
    return ids;
}

} // namespace

class TestAnimal : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("determinazioni.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test database %s", qPrintable(path));
        return path;
    }

    static AnimalData sample()
    {
        AnimalData data;
        data.records = {record("Zigolo", "Lupo", "Uccelli", "piccolo", "Sul ramo.", 5),
                        record("airone", "(ardea)", "Uccelli", "ROSSA la zampa",
                               "Identificazione alternativa: Volpe.", 7),
                        record("Lupo", "", "Mammiferi", "grigio", "", 5),
                        record("Volpe", "(vulpes)", "Mammiferi", "rossa", "Corre.", 9),
                        record(QStringLiteral("Ànatra"), "Anas", "Uccelli", "", "", 10),
                        record("Volpe", "(vulpes)", "Mammiferi", "Volpe rossa al tramonto", "", 11),
                        record("", "(vulpes)", "Mammiferi", "", "", 12)};
        return data;
    }

private slots:
    void qualityFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("grade");
        QTest::newRow("Scarsa") << "Scarsa" << 1;
        QTest::newRow("Media") << "Media" << 2;
        QTest::newRow("Buona") << "Buona" << 3;
        QTest::newRow("digit 1") << "1" << 1;
        QTest::newRow("digit 2") << "2" << 2;
        QTest::newRow("digit 3") << "3" << 3;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading blank") << " Buona" << 2;
        QTest::newRow("lower case") << "buona" << 2;
        QTest::newRow("digit 0") << "0" << 2;
        QTest::newRow("other word") << "Ottima" << 2;
    }

    void qualityFromText()
    {
        QFETCH(QString, text);
        QFETCH(int, grade);
        QCOMPARE(::qualityFromText(text), grade);
    }

    void normalize_data()
    {
        QTest::addColumn<QStringList>("raw"); // name, second name, notes
        QTest::addColumn<int>("grade");
        QTest::addColumn<QStringList>("clean");
        QTest::addColumn<int>("cleanGrade");
        const QString alt = QStringLiteral("Identificazione alternativa: ");

        QTest::newRow("alternative name") << QStringList{"Passero/Fringuello", "passer domesticus", "specie comune"}
            << 3 << QStringList{"Passero", "(passer domesticus)", "Specie comune\n" + alt + "Fringuello."} << 3;
        QTest::newRow("ind. drops grade") << QStringList{"Uccello ind.", "", " piume scure "} << 3
                                          << QStringList{"Uccello", "", "Piume scure."} << 0;
        QTest::newRow("specific level keeps grade")
            << QStringList{"Airone non determinabile a livello specifico", "", ""}
                                                    << 2 << QStringList{"Airone", "", ""} << 2;
        QTest::newRow("non determinabile alone") << QStringList{"Rapace non determinabile", "", ""} << 3
                                                 << QStringList{"Rapace", "", ""} << 0;
        QTest::newRow("non determinato") << QStringList{"Pesce non determinato", "", ""} << 1
                                         << QStringList{"Pesce", "", ""} << 0;
        QTest::newRow("capital Ind. stays") << QStringList{"Uccello Ind.", "", ""} << 3
                                            << QStringList{"Uccello Ind.", "", ""} << 3;
        QTest::newRow("only a qualifier") << QStringList{"ind.", "", ""} << 3 << QStringList{"", "", ""} << 0;
        QTest::newRow("empty notes, alternative") << QStringList{"Lupo/Cane", "", ""} << 1
                                                  << QStringList{"Lupo", "", alt + "Cane."} << 1;
        QTest::newRow("slash with blanks") << QStringList{"Lupo / Cane", "", ""} << 1
                                           << QStringList{"Lupo", "", alt + " Cane."} << 1;
        QTest::newRow("two slashes") << QStringList{"Lupo/Cane/Volpe", "", ""} << 1
                                     << QStringList{"Lupo", "", alt + "Cane."} << 1;
        QTest::newRow("slash only in second name") << QStringList{"Volpe", "vulpes/canis", ""} << 1
                                                   << QStringList{"Volpe", "(vulpes)", alt + " (canis)."} << 1;
        QTest::newRow("alternative keeps qualifier") << QStringList{"Uccello ind./Passero ind.", "", ""} << 3
                                                     << QStringList{"Uccello", "", alt + "Passero ind."} << 0;
        QTest::newRow("lowercase accented second name") << QStringList{"Asino", QStringLiteral("àsino"), ""} << 1
                                                        << QStringList{"Asino", QStringLiteral("(àsino)"), ""} << 1;
        QTest::newRow("capital second name") << QStringList{" Volpe ", " Vulpes ", ""} << 1
                                             << QStringList{"Volpe", "Vulpes", ""} << 1;
        QTest::newRow("digit second name") << QStringList{"Volpe", "3 zampe", ""} << 1
                                           << QStringList{"Volpe", "3 zampe", ""} << 1;
        QTest::newRow("notes of blanks only") << QStringList{"Volpe", "", "   "} << 1 << QStringList{"Volpe", "", ""}
                                              << 1;
        QTest::newRow("notes ending with full stop") << QStringList{"Volpe", "", QStringLiteral("già vista.")} << 1
                                                     << QStringList{"Volpe", "", QStringLiteral("Già vista.")} << 1;
        QTest::newRow("accented lowercase notes") << QStringList{"Volpe", "", QStringLiteral("è rara")} << 1
                                                  << QStringList{"Volpe", "", QStringLiteral("È rara.")} << 1;
        QTest::newRow("U+FFFD and U+2014 repairs")
            << QStringList{"Volpe", "", QStringLiteral("met\uFFFD della pi\u2014")}
            << 1 << QStringList{"Volpe", "", QStringLiteral("Metà della più.")} << 1;
        QTest::newRow("repair in alternative") << QStringList{QStringLiteral("Lupo/Citt\uFFFD"), "", ""} << 1
                                               << QStringList{"Lupo", "", alt + QStringLiteral("Città.")} << 1;
    }

    void normalize()
    {
        QFETCH(QStringList, raw);
        QFETCH(int, grade);
        Animal animal = record(raw.at(0), raw.at(1), QStringLiteral(" Uccelli/ind. "), QString(), raw.at(2), 0);
        animal.quality = grade;
        animal.normalize();
        QTEST((QStringList{animal.name, animal.otherName, animal.notes}), "clean");
        QTEST(animal.quality, "cleanGrade");
        QCOMPARE(animal.category, QStringLiteral(" Uccelli/ind. "));
    }

    void readAll_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QVector<int>>("ids");
        QByteArray junk;
        for (int i = 0; i < 512; ++i)
            junk.append(char(i % 2 ? 0x80 + i % 0x80 : 1 + i % 9));

        QTest::newRow("header only") << QByteArray() << QVector<int>{};
        QTest::newRow("five lines with final line feed") << QByteArray("1;1;A\n") << QVector<int>{0};
        QTest::newRow("last line without final line feed") << QByteArray("1;1;A\n2;2;A") << QVector<int>{0, 1};
        QTest::newRow("last line with final line feed") << QByteArray("1;1;A\n2;2;A\n") << QVector<int>{0, 1};
        QTest::newRow("unusable number columns") << QByteArray("1;0;A\n2;-3;A\n3;x;A\n4;;A\n5; 12;A\n")
                                                 << QVector<int>{11};
        QTest::newRow("D with 5 gives 304") << QByteArray("1;5;D\n") << QVector<int>{304};
        QTest::newRow("A with 100 gives 99") << QByteArray("1;100;A\n") << QVector<int>{99};
        QTest::newRow("A with 101 is B with 1") << QByteArray("1;101;A\n2;1;B\n") << QVector<int>{100, 100};
        QTest::newRow("A with the largest number") << QByteArray("1;2147483647;A\n") << QVector<int>{2147483646};
        QTest::newRow("lowercase letter") << QByteArray("1;1;a\n") << QVector<int>{3200};
        QTest::newRow("empty letter") << QByteArray("1;7;\n") << QVector<int>{-6494};
        QTest::newRow("lines without number column") << QByteArray("1\n\n1;3;B\n") << QVector<int>{102};
        QTest::newRow("CRLF line ends") << QByteArray("1;1;A\r\n2;2;A\r\n") << QVector<int>{0, 1};
        QTest::newRow("1,000 semicolons") << QByteArray(1000, ';') + "\n1;4;C\n" << QVector<int>{203};
        QTest::newRow("NUL mid-line") << QByteArray("1;1;A\n2;2;A;x;Lu") + '\0' + "po\n3;3;A\n" << QVector<int>{0};
        QTest::newRow("NUL after a line") << QByteArray("1;1;A\n") + '\0' + "2;2;A\n" << QVector<int>{0};
        QTest::newRow("binary line") << "1;1;A\n" + junk + "\n1;2;A\n" << QVector<int>{0, 1};
    }

    void readAll()
    {
        QFETCH(QByteArray, body);
        AnimalData data;
        QVERIFY(data.readAll(writeFile(header + body)));
        QTEST(idsOf(data), "ids");
    }

    void readsColumnsIntoFields()
    {
        AnimalData data;
        data.readAll(writeFile(header + "7;2;C;Uccelli;Passero/Fringuello;passer domesticus; Buona;Sul ramo;autore;"
                                        "specie comune;extra;more\n"
                                        "8;3;C;Uccelli;Merlo;turdus; merula;Scarsa;autore;nota\n"
                                        "9;4;C;Uccelli;Gazza\n"
                                        "10;5;C;;Upupa;;Media;;;citt\xff\n"));
        QCOMPARE(data.records.size(), 4);
        QCOMPARE(fieldsOf(data.records.at(0)),
                 (QStringList{"Uccelli", "Passero", "(passer domesticus)", "2", "Sul ramo",
                              "Specie comune\nIdentificazione alternativa: Fringuello.", "201"}));
        // A semicolon inside the second name moves every later column one step on.
        QCOMPARE(fieldsOf(data.records.at(1)),
                 (QStringList{"Uccelli", "Merlo", "(turdus)", "2", "Scarsa", "Nota.", "202"}));
        QCOMPARE(fieldsOf(data.records.at(2)), (QStringList{"Uccelli", "Gazza", "", "0", "", "", "203"}));
        QCOMPARE(fieldsOf(data.records.at(3)),
                 (QStringList{"", "Upupa", "", "2", "", QStringLiteral("Città."), "204"}));
    }

    void tooLargeNumberIsSkippedWithWarning()
    {
        AnimalData data;
        const QString path = writeFile(header + "1;1;A\n2;2147483647;B\n");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("determinazioni.csv, line 6: exemplar number "
                                                              "2147483647 is too large for a code"));
        data.readAll(path);
        QCOMPARE(idsOf(data), QVector<int>{0});
    }

    void countLineNamesReader()
    {
        AnimalData data;
        readCapturingMessages(data, writeFile(header + "1;1;A\n2;2;A\n3;3;A\n"));
        QCOMPARE(captured, QStringList{"0 default bool AnimalData::readAll(QString): Read 3 animals from database!"});
    }

    void missingFileEmptiesDatabase()
    {
        AnimalData data = sample();
        const QString path = dir.filePath(QStringLiteral("nessuno.csv"));
        QVERIFY(readCapturingMessages(data, path));
        QCOMPARE(captured, QStringList{"0 default bool AnimalData::readAll(QString): Read 0 animals from database!"});
        QCOMPARE(data.fileName, path);
        QVERIFY(data.records.isEmpty());
        QCOMPARE(data.indexOfId(0), -1);
        QVERIFY(data.names().isEmpty());
    }

    void reloadReadsChangedFile()
    {
        AnimalData data;
        data.readAll(writeFile(header + "1;1;A;;Volpe\n2;2;A;;Lupo\n"));
        writeFile(header + "1;3;B;;Cane\n2;1;A;;Gatto\n3;9;A;;Riccio\n");
        data.reload();
        QCOMPARE(idsOf(data), (QVector<int>{102, 0, 8}));
        QCOMPARE(data.records.at(1).name, QStringLiteral("Gatto"));
    }

    void survivesHugeAndRandomFiles()
    {
        const int hugeSize = 50 * 1024 * 1024;
        AnimalData data;
        data.readAll(writeFile(header + "1;1;A;;Volpe\n2;2;A;;Lupo;;;" + QByteArray(hugeSize, 'x') + "\n3;3;A\n"));
        QCOMPARE(idsOf(data), (QVector<int>{0, 1, 2}));
        QCOMPARE(data.records.at(1).description.size(), hugeSize);

        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator random(2024);
        random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(data.readAll(writeFile(noise)));
        QVERIFY(data.records.size() <= noise.count('\n'));
    }

    void sortedDistinctLists()
    {
        const AnimalData data = sample();
        QCOMPARE(data.names(), (QStringList{"", "Lupo", "Volpe", "Zigolo", "airone", QStringLiteral("Ànatra")}));
        QCOMPARE(data.otherNames(), (QStringList{"", "(ardea)", "(vulpes)", "Anas", "Lupo"}));
        QCOMPARE(data.categories(), (QStringList{"Mammiferi", "Uccelli"}));
    }

    void lookups()
    {
        const AnimalData data = sample();
        QCOMPARE(data.indexOfId(5), 0);
        QCOMPARE(data.indexOfId(9), 3);
        QCOMPARE(data.indexOfId(42), -1);
        QCOMPARE(data.indexOfName("Lupo"), 0); // second name of an earlier record wins
        QCOMPARE(data.indexOfName("Volpe"), 3);
        QCOMPARE(data.indexOfName(""), 2);
        QCOMPARE(data.indexOfName("volpe"), -1);
        QCOMPARE(data.countExemplars("Volpe"), 2);
        QCOMPARE(data.countExemplars("volpe"), 0);
    }

    void indexOfExemplar_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("index");
        QTest::newRow("first exemplar") << "Volpe" << 0 << 3;
        QTest::newRow("last exemplar") << "Volpe" << 1 << 5;
        QTest::newRow("k equal to the count") << "Volpe" << 2 << -1;
        QTest::newRow("negative k") << "Volpe" << -1 << -1;
        QTest::newRow("unknown name") << "Gatto" << 0 << -1;
    }

    void indexOfExemplar()
    {
        QFETCH(QString, name);
        QFETCH(int, k);
        QTEST(sample().indexOfExemplar(name, k), "index");
        QCOMPARE(AnimalData().indexOfExemplar(name, k), -1);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("otherNames");
        const AnimalData data = sample();
        const QStringList foxNames{"Volpe", "airone"}, foxOtherNames{"(ardea)", "(vulpes)"};
        QTest::newRow("two words, two blanks") << "volpe  ROSSA" << foxNames << foxOtherNames;
        QTest::newRow("words in other order") << " rossa volpe " << foxNames << foxOtherNames;
        QTest::newRow("word only in notes") << "alternativa" << QStringList{"airone"} << QStringList{"(ardea)"};
        QTest::newRow("category and description") << "mammiferi grigio" << QStringList{"Lupo"} << QStringList{""};
        QTest::newRow("accented capital") << QStringLiteral("ÀNATRA") << QStringList{QStringLiteral("Ànatra")}
                                          << QStringList{"Anas"};
        QTest::newRow("accents are significant") << "anatra" << QStringList() << QStringList();
        QTest::newRow("tab is not a separator") << "volpe\trossa" << QStringList() << QStringList();
        QTest::newRow("blanks only") << "   " << data.names() << data.otherNames();
        QTest::newRow("empty") << "" << data.names() << data.otherNames();
    }

    void search()
    {
        QFETCH(QString, text);
        QStringList names{"stale"}, otherNames{"stale"};
        sample().search(text, names, otherNames);
        QTEST(names, "names");
        QTEST(otherNames, "otherNames");
    }

    void emptyWordsMatchEverything()
    {
        const Animal animal = record("Volpe", "", "", "", "", 0);
        QVERIFY(animal.matchesAll(QStringList()));
        QVERIFY(animal.matches(QString()));
        QVERIFY(animal.matchesAll(QStringList{"VOL", "pe"}));
        QVERIFY(!animal.matchesAll(QStringList{"volpe", "lupo"}));
    }
};

QTEST_GUILESS_MAIN(TestAnimal)
#include "tst_animal.moc"
