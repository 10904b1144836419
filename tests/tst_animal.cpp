#include "animal.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray header = "Determinazioni\nVovo del Pellavio\n\nN;Numero;Lettera;Categoria;Nome\n";

struct Message
{
    QtMsgType type;
    QString text;
    QString function;
    QString category;
};
QVector<Message> captured;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    captured.append({type, text, QString::fromLatin1(context.function), QString::fromLatin1(context.category)});
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

private slots:
    void qualityFromText_data();
    void qualityFromText();
    void normalize_data();
    void normalize();
    void readAll_data();
    void readAll();
    void readsColumnsIntoFields();
    void tooLargeNumberIsSkippedWithWarning();
    void countLineNamesReader();
    void missingFileEmptiesDatabase();
    void reloadReadsChangedFile();
    void survivesHugeAndRandomFiles();
    void sortedDistinctLists();
    void lookups();
    void indexOfExemplar_data();
    void indexOfExemplar();
    void search_data();
    void search();
    void emptyWordsMatchEverything();

private:
    QString writeFile(const QByteArray& bytes);
    static AnimalData sample();
    QTemporaryDir dir;
};

QString TestAnimal::writeFile(const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("determinazioni.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test database %s", qPrintable(path));
    return path;
}

void TestAnimal::qualityFromText_data()
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

void TestAnimal::qualityFromText()
{
    QFETCH(QString, text);
    QFETCH(int, grade);
    QCOMPARE(::qualityFromText(text), grade);
}

void TestAnimal::normalize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("otherName");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<QString>("expectedOtherName");
    QTest::addColumn<QString>("expectedNotes");
    QTest::addColumn<int>("expectedGrade");
    const QString alternative = QStringLiteral("Identificazione alternativa: ");

    QTest::newRow("alternative name") << "Passero/Fringuello" << "passer domesticus" << "specie comune" << 3
        << "Passero" << "(passer domesticus)" << "Specie comune\n" + alternative + "Fringuello." << 3;
    QTest::newRow("ind. drops grade") << "Uccello ind." << "" << " piume scure " << 3 << "Uccello" << ""
                                      << "Piume scure." << 0;
    QTest::newRow("specific level keeps grade") << "Airone non determinabile a livello specifico" << "" << ""
                                                << 2 << "Airone" << "" << "" << 2;
    QTest::newRow("non determinabile alone") << "Rapace non determinabile" << "" << "" << 3 << "Rapace" << ""
                                             << "" << 0;
    QTest::newRow("non determinato") << "Pesce non determinato" << "" << "" << 1 << "Pesce" << "" << "" << 0;
    QTest::newRow("capital Ind. stays") << "Uccello Ind." << "" << "" << 3 << "Uccello Ind." << "" << "" << 3;
    QTest::newRow("only a qualifier") << "ind." << "" << "" << 3 << "" << "" << "" << 0;
    QTest::newRow("empty notes, alternative") << "Lupo/Cane" << "" << "" << 1 << "Lupo" << ""
                                              << alternative + "Cane." << 1;
    QTest::newRow("slash with blanks") << "Lupo / Cane" << "" << "" << 1 << "Lupo" << ""
                                       << alternative + " Cane." << 1;
    QTest::newRow("two slashes") << "Lupo/Cane/Volpe" << "" << "" << 1 << "Lupo" << "" << alternative + "Cane."
                                 << 1;
    QTest::newRow("slash only in second name") << "Volpe" << "vulpes/canis" << "" << 1 << "Volpe" << "(vulpes)"
                                               << alternative + " (canis)." << 1;
    QTest::newRow("alternative keeps qualifier") << "Uccello ind./Passero ind." << "" << "" << 3 << "Uccello"
                                                 << "" << alternative + "Passero ind." << 0;
    QTest::newRow("lowercase accented second name") << "Asino" << QStringLiteral("àsino") << "" << 1 << "Asino"
                                                    << QStringLiteral("(àsino)") << "" << 1;
    QTest::newRow("capital second name") << " Volpe " << " Vulpes " << "" << 1 << "Volpe" << "Vulpes" << ""
                                         << 1;
    QTest::newRow("digit second name") << "Volpe" << "3 zampe" << "" << 1 << "Volpe" << "3 zampe" << "" << 1;
    QTest::newRow("notes of blanks only") << "Volpe" << "" << "   " << 1 << "Volpe" << "" << "" << 1;
    QTest::newRow("notes ending with full stop") << "Volpe" << "" << QStringLiteral("già vista.") << 1
                                                 << "Volpe" << "" << QStringLiteral("Già vista.") << 1;
    QTest::newRow("accented lowercase notes") << "Volpe" << "" << QStringLiteral("è rara") << 1 << "Volpe"
                                              << "" << QStringLiteral("È rara.") << 1;
    QTest::newRow("U+FFFD and U+2014 repairs") << "Volpe" << "" << QStringLiteral("met\uFFFD della pi\u2014")
                                               << 1 << "Volpe" << "" << QStringLiteral("Metà della più.") << 1;
    QTest::newRow("repair in alternative") << QStringLiteral("Lupo/Citt\uFFFD") << "" << "" << 1 << "Lupo"
                                           << "" << alternative + QStringLiteral("Città.") << 1;
}

void TestAnimal::normalize()
{
    Animal animal;
    QFETCH(QString, name);
    QFETCH(QString, otherName);
    QFETCH(QString, notes);
    QFETCH(int, grade);
    animal.name = name;
    animal.otherName = otherName;
    animal.notes = notes;
    animal.quality = grade;
    animal.category = QStringLiteral(" Uccelli/ind. ");
    animal.normalize();
    QTEST(animal.name, "expectedName");
    QTEST(animal.otherName, "expectedOtherName");
    QTEST(animal.notes, "expectedNotes");
    QTEST(animal.quality, "expectedGrade");
    QCOMPARE(animal.category, QStringLiteral(" Uccelli/ind. "));
}

void TestAnimal::readAll_data()
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

void TestAnimal::readAll()
{
    QFETCH(QByteArray, body);
    AnimalData data;
    QVERIFY(data.readAll(writeFile(header + body)));
    QTEST(idsOf(data), "ids");
}

void TestAnimal::readsColumnsIntoFields()
{
    AnimalData data;
    data.readAll(writeFile(header + "7;2;C;Uccelli;Passero/Fringuello;passer domesticus; Buona;Sul ramo;autore;"
                                    "specie comune;extra;more\n"
                                    "8;3;C;Uccelli;Merlo;turdus; merula;Scarsa;autore;nota\n"
                                    "9;4;C;Uccelli;Gazza\n"
                                    "10;5;C;;Upupa;;Media;;;citt\xff\n"));
    QCOMPARE(data.records.size(), 4);
    const Animal& sparrow = data.records.at(0);
    QCOMPARE(sparrow.category, QStringLiteral("Uccelli"));
    QCOMPARE(sparrow.name, QStringLiteral("Passero"));
    QCOMPARE(sparrow.otherName, QStringLiteral("(passer domesticus)"));
    QCOMPARE(sparrow.quality, 2);
    QCOMPARE(sparrow.description, QStringLiteral("Sul ramo"));
    QCOMPARE(sparrow.notes, QStringLiteral("Specie comune\nIdentificazione alternativa: Fringuello."));
    QCOMPARE(sparrow.id, 201);
    // A semicolon inside the second name moves every later column one step on.
    QCOMPARE(data.records.at(1).otherName, QStringLiteral("(turdus)"));
    QCOMPARE(data.records.at(1).quality, 2);
    QCOMPARE(data.records.at(1).description, QStringLiteral("Scarsa"));
    QCOMPARE(data.records.at(1).notes, QStringLiteral("Nota."));
    const Animal& shortLine = data.records.at(2);
    QCOMPARE(shortLine.name, QStringLiteral("Gazza"));
    QVERIFY(shortLine.otherName.isEmpty() && shortLine.description.isEmpty() && shortLine.notes.isEmpty());
    QCOMPARE(shortLine.quality, 0);
    QCOMPARE(data.records.at(3).notes, QStringLiteral("Città."));
}

void TestAnimal::tooLargeNumberIsSkippedWithWarning()
{
    AnimalData data;
    const QString path = writeFile(header + "1;1;A\n2;2147483647;B\n");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("determinazioni.csv, line 6: exemplar number "
                                                          "2147483647 is too large for a code"));
    data.readAll(path);
    QCOMPARE(idsOf(data), QVector<int>{0});
}

void TestAnimal::countLineNamesReader()
{
    AnimalData data;
    readCapturingMessages(data, writeFile(header + "1;1;A\n2;2;A\n3;3;A\n"));
    QCOMPARE(captured.size(), 1);
    QCOMPARE(captured.at(0).type, QtDebugMsg);
    QCOMPARE(captured.at(0).text, QStringLiteral("Read 3 animals from database!"));
    QCOMPARE(captured.at(0).function, QStringLiteral("bool AnimalData::readAll(QString)"));
    QCOMPARE(captured.at(0).category, QStringLiteral("default"));
}

void TestAnimal::missingFileEmptiesDatabase()
{
    AnimalData data = sample();
    const QString path = dir.filePath(QStringLiteral("nessuno.csv"));
    QVERIFY(readCapturingMessages(data, path));
    QCOMPARE(captured.size(), 1);
    QCOMPARE(captured.at(0).text, QStringLiteral("Read 0 animals from database!"));
    QCOMPARE(data.fileName, path);
    QVERIFY(data.records.isEmpty());
    QCOMPARE(data.indexOfId(0), -1);
    QVERIFY(data.names().isEmpty());
}

void TestAnimal::reloadReadsChangedFile()
{
    AnimalData data;
    data.readAll(writeFile(header + "1;1;A;;Volpe\n2;2;A;;Lupo\n"));
    writeFile(header + "1;3;B;;Cane\n2;1;A;;Gatto\n3;9;A;;Riccio\n");
    data.reload();
    QCOMPARE(idsOf(data), (QVector<int>{102, 0, 8}));
    QCOMPARE(data.records.at(1).name, QStringLiteral("Gatto"));
}

void TestAnimal::survivesHugeAndRandomFiles()
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

AnimalData TestAnimal::sample()
{
    AnimalData data;
    data.records = {record("Zigolo", "Lupo", "Uccelli", "piccolo", "Sul ramo.", 5),
                    record("airone", "(ardea)", "Uccelli", "ROSSA la zampa", "Identificazione alternativa: Volpe.", 7),
                    record("Lupo", "", "Mammiferi", "grigio", "", 5),
                    record("Volpe", "(vulpes)", "Mammiferi", "rossa", "Corre.", 9),
                    record(QStringLiteral("Ànatra"), "Anas", "Uccelli", "", "", 10),
                    record("Volpe", "(vulpes)", "Mammiferi", "Volpe rossa al tramonto", "", 11),
                    record("", "(vulpes)", "Mammiferi", "", "", 12)};
    return data;
}

void TestAnimal::sortedDistinctLists()
{
    const AnimalData data = sample();
    QCOMPARE(data.names(), (QStringList{"", "Lupo", "Volpe", "Zigolo", "airone", QStringLiteral("Ànatra")}));
    QCOMPARE(data.otherNames(), (QStringList{"", "(ardea)", "(vulpes)", "Anas", "Lupo"}));
    QCOMPARE(data.categories(), (QStringList{"Mammiferi", "Uccelli"}));
}

void TestAnimal::lookups()
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

void TestAnimal::indexOfExemplar_data()
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

void TestAnimal::indexOfExemplar()
{
    QFETCH(QString, name);
    QFETCH(int, k);
    QTEST(sample().indexOfExemplar(name, k), "index");
    QCOMPARE(AnimalData().indexOfExemplar(name, k), -1);
}

void TestAnimal::search_data()
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

void TestAnimal::search()
{
    QFETCH(QString, text);
    QStringList names{"stale"}, otherNames{"stale"};
    sample().search(text, names, otherNames);
    QTEST(names, "names");
    QTEST(otherNames, "otherNames");
}

void TestAnimal::emptyWordsMatchEverything()
{
    const Animal animal = record("Volpe", "", "", "", "", 0);
    QVERIFY(animal.matchesAll(QStringList()));
    QVERIFY(animal.matches(QString()));
    QVERIFY(animal.matchesAll(QStringList{"VOL", "pe"}));
    QVERIFY(!animal.matchesAll(QStringList{"volpe", "lupo"}));
}

QTEST_GUILESS_MAIN(TestAnimal)
#include "tst_animal.moc"
