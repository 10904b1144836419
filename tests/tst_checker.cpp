#include "proofsheet.h"
#include "roomchecker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A square room of four 2 m walls, one picture each, one detail on the north map and
// its record: it checks clean. Every case changes one thing of it.
const QString roomXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<room height="3">
    <walls>
        <ceiling model="c.obj"/>
        <section name="n.jpg" height="1"/>
        <wall turn="90"/>
        <section name="e.jpg" height="1"/>
        <wall turn="90"/>
        <section name="s.jpg" height="1"/>
        <wall turn="90"/>
        <section name="w.jpg" height="1"/>
    </walls>
    <detailMap name="n.png">
        <database name="A"/>
        <detail unused="civetta" rgb="230, 0, 0"/>
    </detailMap>
</room>
)";

const QString roomCsv = QString::fromUtf8("Museo\nStanza\n(riga)\n"
                                          "N.;Esemplare;Lettera;Categoria;Nome;Altro nome;Qualità;Descrizione;Dipinto;Note\n"
                                          "1;1;A;Uccelli;Civetta;athene noctua;Buona;In alto.;n.jpg;Note\n");

const QByteArray centredModel = "v -0.5 0 0\nv 0.5 0 0\nv 0.5 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n";
const QRect detailSpot(40, 40, 40, 40);
const QColor detailColour(230, 0, 0);

QImage image(int width, int height, QColor fill, int dotsPerMeterY = 10000)
{
    QImage result(width, height, QImage::Format_RGB32);
    result.fill(fill);
    result.setDotsPerMeterX(10000);
    result.setDotsPerMeterY(dotsPerMeterY);
    return result;
}

// Changes are "from=>to" replacements in the scene, "csv:from=>to" in the database (each applied
// to every occurrence, in order), or the name of another file to break; "|" separates them.
QString changed(QString text, const QString& changes, bool database)
{
    for (const QString& change : changes.split('|', Qt::SkipEmptyParts)) {
        if (change.contains("=>") && change.startsWith("csv:") == database)
            text.replace(change.section("=>", 0, 0).mid(database ? 4 : 0), change.section("=>", 1));
    }
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString textOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Line (from 1) of the first line holding `marker`; 0 for no marker, -1 for a marker found nowhere.
int lineOf(const QString& text, const QString& marker)
{
    const int at = text.indexOf(marker);
    return marker.isEmpty() ? 0 : at < 0 ? -1 : text.left(at).count('\n') + 1;
}

// A row of findsEachMistake: the changes, and where the finding must be (the file, and a piece of the
// line in it; none for the file as a whole), its severity and code, and a piece of its message.
void mistake(const char* name, const QString& changes, const QString& file, const QString& marker,
             const QString& finding, const QString& hint)
{
    const bool database = file == "determinazioni.csv";
    const int line = lineOf(changed(database ? roomCsv : roomXml, changes, database), marker);
    QTest::newRow(name) << changes << QString("%1:%2 %3 ").arg(file).arg(line).arg(finding) << hint;
}

// The real program, without a display, in the build folder: its exit status (-1 when it crashed
// or hung) and what it printed.
std::pair<int, QString> runProgram(const QStringList& arguments)
{
    QProcess process;
    const QRegularExpression notDisplay("^(?!(DISPLAY|WAYLAND_DISPLAY|QT_QPA_PLATFORM)=)");
    process.setEnvironment(QProcess::systemEnvironment().filter(notDisplay));
    process.start("./pellavio", QStringList{"--check"} + arguments);
    const bool ended = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

class TestChecker : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> folder;

    QString room() const { return folder->path() + "/room"; }

    // The fixture room with the changes of one case (see changed()).
    void writeRoom(const QString& changes = {})
    {
        const QStringList broken = changes.split('|');
        const QString to = room() + "/";
        const QByteArray model = broken.contains("offCentreModel") ? QByteArray("v 0 0 0\nv 1 1 0\n")
                                 : centredModel + (broken.contains("brokenFace") ? "f 1 2 9\n" : "");
        QVERIFY(writeFile(to + "Stanza.xml", changed(roomXml, changes, false).toUtf8()));
        QVERIFY(writeFile(to + "determinazioni.csv", changed(roomCsv, changes, true).toUtf8()));
        QVERIFY(writeFile(to + "c.obj", model));
        const int northDotsY = broken.contains("unevenResolution") ? 20000 : 10000;
        for (const QString name : {"n", "e", "s", "w"})
            QVERIFY(image(200, 100, Qt::gray, name == "n" ? northDotsY : 10000).save(to + name + ".jpg"));
        QVERIFY(image(4, 4, Qt::black).save(to + "blank.png"));
        QImage northMap = image(broken.contains("smallMap") ? 100 : 200, 100, Qt::black);
        if (broken.contains("oddPixel"))
            northMap.setPixelColor(41, 97, detailColour);  // an odd column: the program samples even ones
        else
            QPainter(&northMap).fillRect(detailSpot, detailColour);
        if (broken.contains("strayPixel"))
            northMap.setPixelColor(150, 10, QColor(229, 0, 0));
        QVERIFY(northMap.save(to + "n.png"));
    }

private slots:
    void init()
    {
        folder.reset(new QTemporaryDir);
        QVERIFY(folder->isValid() && QDir(folder->path()).mkpath("room"));
    }

    void aSoundRoomChecksCleanButForSmallTextures()
    {
        writeRoom();
        QCOMPARE(RoomChecker::check(room()).text(), QString("0 errors, 0 warnings\n"));
        const CheckReport report = RoomChecker::check(room(), 150);
        QCOMPARE(report.count(Severity::Warning), 5);  // four panels and the map, all 200 wide
        QCOMPARE(report.findings().first().code, QString("texture-size"));
    }

    void findsEachMistake_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("expected");  // "file:line severity code "; line 0: the file as a whole
        QTest::addColumn<QString>("hint");

        const QString s = "Stanza.xml", d = "determinazioni.csv";
        mistake("not XML", "</walls>=>", s, "</room>", "error scene-not-xml", "");
        mistake("root not room", "<room =><Room |</room>=></Room>", s, "<Room", "error scene-root", "<Room>");
        mistake("rgb without blanks", "230, 0, 0=>230,0,0",
                s, "rgb=", "error rgb-format", "write rgb=\"230, 0, 0\"");
        mistake("rgb above 255", "230, 0, 0=>300, 0, 0", s, "rgb=", "error rgb-range", "0 to 255");
        mistake("attribute typo", "e.jpg\" height=>e.jpg\" heigth",
                s, "heigth", "warning unknown-attribute", "did you mean height?");
        mistake("section without height", "e.jpg\" height=>e.jpg\" heigth",
                s, "heigth", "error picture-height", "0 m wide");
        mistake("element typo",
                "w.jpg\" height=\"1\"/>=>w.jpg\" height=\"1\"><extar name=\"x.jpg\"/></section>",
                s, "extar", "warning unknown-element", "did you mean <extra>?");
        mistake("misplaced element", "</walls>=></walls><wall turn=\"90\"/>",
                s, "</walls><wall", "warning misplaced-element", "<walls>");
        mistake("height not a number", "height=\"3\"=>height=\"3,0\"",
                s, "<room", "error not-a-number", "uses 0");
        mistake("margin not a number",
                "w.jpg\" height=\"1\"/>=>w.jpg\" height=\"1\">"
                "<extra name=\"e.jpg\" height=\"0.2\" marginleft=\"0,5\"/></section>",
                s, "marginleft", "warning not-a-number", "as absent");
        mistake("ceiling after a section",
                "<ceiling model=\"c.obj\"/>=>|"
                "<wall turn=\"90\"/>=><wall turn=\"90\"/><ceiling model=\"c.obj\"/>",
                s, "<ceiling", "error ceiling-after-section", "");
        mistake("detail map before its walls",
                "<walls>=><detailMap name=\"n.png\"><database name=\"B\"/><detail rgb=\"1, 2, 3\"/>"
                "</detailMap><walls>",
                s, "<detailMap", "error detailmap-order", "n.jpg");
        mistake("detail map of no picture", "\"n.png\">=>\"e.jpg\">",
                s, "<detailMap", "error detailmap-unknown", "");
        mistake("map file missing", "\"n.png\">=>\"x.png\">", s, "<detailMap", "error map-missing", "x.png");
        mistake("map of two pictures", "\"s.jpg\"=>\"n.jpg\"",
                s, "<detailMap", "warning map-shared", "n.jpg of section 3");
        mistake("colour twice", "</detailMap>=><detail rgb=\"230, 0, 0\"/></detailMap>",
                s, "<detail rgb", "error colour-duplicate", "line 15");
        mistake("letter reused",
                "</room>=><detailMap name=\"e.png\"><database name=\"A\"/></detailMap></room>",
                s, "e.png", "error database-letter", "line 13");
        mistake("colour off the samples", "oddPixel", s, "rgb=", "error colour-not-sampled", "2 × 2");
        mistake("colour nowhere", "230, 0, 0=>0, 0, 230",
                s, "rgb=", "error colour-not-sampled", "has no pixel in n.png: the detail");
        mistake("colour mistyped", "230, 0, 0=>231, 0, 2",
                s, "rgb=", "error colour-not-sampled", "holds 1600 pixels of 230, 0, 0: is that");
        mistake("stray pixel", "strayPixel", "n.png", "", "warning stray-pixels",
                "1 pixels are neither black nor a listed colour, within x 150..150, y 10..10");
        mistake("map size", "smallMap", "n.png", "", "error map-size", "100 × 100 pixels");
        mistake("picture missing", "w.jpg=>x.jpg", s, "x.jpg", "error image-unreadable", "");
        mistake("picture is its own map", "\"w.jpg\"=>\"n.png\"",
                s, "\"n.png\" height", "warning picture-is-map", "save the picture as n.jpg");
        mistake("uneven resolution", "unevenResolution", "n.jpg", "", "warning image-resolution", "");
        mistake("model missing", "c.obj=>gone.obj", s, "gone.obj", "error model-unreadable", "status -2");
        mistake("model outside the room", "c.obj=>../c.obj",
                s, "../c.obj", "error model-unreadable", "a path out of the room folder");
        mistake("model off centre", "offCentreModel",
                "c.obj", "", "warning model-not-centred", "100.0 % of its width to the right");
        mistake("face dropped", "brokenFace", "c.obj", "", "warning model-faces", "1 faces");
        mistake("walk not closed", "\"s.jpg\" height=\"1\"=>\"s.jpg\" height=\"1.5\"",
                s, "<walls>", "warning walk-not-closed", "100.0 cm along x");
        mistake("second walls", "</walls>=></walls><walls></walls>",
                s, "<walls></walls>", "warning several-walls", "");
        mistake("walk of one run", "<wall turn=\"90\"/>=>", s, "<walls>", "error walk-runs", "");
        mistake("line dropped", "csv:n.jpg;Note\n=>n.jpg;Note\n2;x;A;;;;;;;\n",
                d, "2;x", "warning record-dropped", "\"x\"");
        mistake("short line", "csv:n.jpg;Note=>n.jpg", d, "1;1;A", "warning record-short", "9 fields");
        mistake("lowercase letter", "csv:1;1;A=>1;1;a", d, "1;1;a", "warning record-letter", "code 3200");
        mistake("quality word", "csv:Buona=>Discreta", d, "1;1;A", "note quality-word", "Media");
        mistake("detail without record", "csv:1;1;A=>1;2;A",
                s, "civetta", "warning detail-without-record", "detail A1");
        mistake("record without detail", "csv:1;1;A=>1;2;A",
                d, "1;2;A", "warning record-without-detail", "record A2 (Civetta)");
        mistake("record repeated", "csv:n.jpg;Note\n=>n.jpg;Note\n2;1;A;;Gufo;;;;;\n",
                d, "Gufo", "warning record-duplicate", "line 5");
        mistake("records out of order",
                "</detailMap>=><detail rgb=\"0, 0, 230\"/></detailMap>|"
                "csv:1;1;A;=>2;2;A;Uccelli;Gufo;;;;;\n1;1;A;",
                d, "1;1;A", "warning record-order", "line 5");
    }

    void findsEachMistake()
    {
        QFETCH(QString, changes);
        QFETCH(QString, expected);
        QFETCH(QString, hint);
        writeRoom(changes);
        const QString where = room() + "/" + expected;
        const CheckReport report = RoomChecker::check(room());
        bool seen = false;
        QString found;  // every finding, for the failure message
        for (const Finding& f : report.findings()) {
            const QString head = QString("%1:%2 %3 %4 ").arg(f.file).arg(f.line)
                                     .arg(CheckReport::severityName(f.severity), f.code);
            seen = seen || (head == where && f.message.contains(hint));
            found += "\n" + head + f.message;
        }
        QVERIFY2(seen, qPrintable("expected " + where + "with \"" + hint + "\", found:" + found));
    }

    void aMissingRoomIsTwoErrors()
    {
        const CheckReport report = RoomChecker::check(folder->path() + "/none");
        QCOMPARE(report.findings().size(), 2);
        QCOMPARE(report.findings()[0].code, QString("scene-missing"));
        QCOMPARE(report.findings()[1].code, QString("database-missing"));
        QCOMPARE(report.exitStatus(false), 1);
    }

    void theDemoRoomHasOnlyItsDeliberateWarnings()
    {
        const auto [status, out] = runProgram({});
        QCOMPARE(status, 0);
        const QString scene = textOf("data/Stanza.xml"), database = textOf("data/determinazioni.csv");
        const QStringList warnings = out.split('\n').filter(": warning: ");
        QCOMPARE(warnings.size(), 3);
        QVERIFY(warnings[0].startsWith(QString("data/Stanza.xml:%1: warning: detail J4 ")
                                           .arg(lineOf(scene, "grillo, da schedare"))));
        QVERIFY(warnings[1].startsWith(QString("data/determinazioni.csv:%1: warning: record D5 ")
                                           .arg(lineOf(database, ";5;D;"))));
        QVERIFY(warnings[2].startsWith(QString("data/determinazioni.csv:%1: warning: record P4 ")
                                           .arg(lineOf(database, ";4;P;"))));
        QVERIFY(out.endsWith("\n0 errors, 3 warnings\n"));
        QCOMPARE(out.count(": error: "), 0);
    }

    void exitStatusFollowsErrorsAndStrict_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("clean") << "" << QStringList() << 0;
        QTest::newRow("clean, strict") << "" << QStringList{"--strict"} << 0;
        QTest::newRow("warning") << "<walls>=><walls><colonna/>" << QStringList() << 0;
        QTest::newRow("warning, strict") << "<walls>=><walls><colonna/>" << QStringList{"--strict"} << 1;
        QTest::newRow("error") << "230, 0, 0=>230,0,0" << QStringList() << 1;
        QTest::newRow("error, folder by --data") << "230, 0, 0=>230,0,0" << QStringList{"--data"} << 1;
        QTest::newRow("two folders") << "" << QStringList{"--data", "elsewhere"} << 2;
        QTest::newRow("unknown format") << "" << QStringList{"--format", "xml"} << 2;
        QTest::newRow("unknown option") << "" << QStringList{"--strikt"} << 2;
    }

    void exitStatusFollowsErrorsAndStrict()
    {
        QFETCH(QString, changes);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        writeRoom(changes);
        QCOMPARE(runProgram(arguments << room()).first, status);
    }

    void jsonHoldsTheTextFindings()
    {
        writeRoom("230, 0, 0=>230,0,0|<walls>=><walls><colonna/>|csv:Buona=>Discreta");
        QStringList textLines = runProgram({room()}).second.split('\n', Qt::SkipEmptyParts);
        // The rgb, the element, the map's red pixels that no detail lists any more, the quality word.
        QCOMPARE(textLines.takeLast(), QString("1 errors, 2 warnings"));
        const auto [status, json] = runProgram({"--format", "json", room()});
        QCOMPARE(status, 1);
        const QJsonArray findings = QJsonDocument::fromJson(json.toUtf8()).array();  // empty when not JSON
        QCOMPARE(findings.size(), 4);
        QStringList fromJson;
        for (const QJsonValue& value : findings) {
            const QJsonObject f = value.toObject();
            const QString line = f["line"].isNull() ? QString() : QString(":%1").arg(f["line"].toInt());
            fromJson << f["file"].toString() + line + ": " + f["severity"].toString() + ": "
                            + f["message"].toString();
            QVERIFY(!f["code"].toString().isEmpty());
        }
        QCOMPARE(fromJson, textLines);
    }

    void proofSheetOutlinesAndLabelsEveryDetail()
    {
        writeRoom();
        const QString sheets = folder->path() + "/sheets";
        QCOMPARE(runProgram({"--sheet", sheets, room()}).first, 0);
        const QImage sheet(sheets + "/n-sheet.png");
        QCOMPARE(sheet.size(), QSize(200, 100));
        QCOMPARE(sheet.pixelColor(detailSpot.left(), detailSpot.center().y()), ProofSheet::outlineColour);
        QCOMPARE(sheet.pixelColor(detailSpot.center().x(), detailSpot.bottom()), ProofSheet::outlineColour);
        QVERIFY(sheet.pixelColor(detailSpot.center()) != ProofSheet::outlineColour);
        // The label sits above the detail: white text on a dark box, where the panel is grey.
        int white = 0;
        for (int i = 0; i < sheet.width() * detailSpot.top(); ++i)
            white += sheet.pixelColor(i % sheet.width(), i / sheet.width()).lightness() > 230 ? 1 : 0;
        QVERIFY(white > 20);
        const QString html = textOf(sheets + "/index.html");
        for (const QString piece : {"<img src=\"n-sheet.png\"", "<td>A1</td>", "rgb(230, 0, 0)",
                                    "<td>Civetta</td>", "<td>1/1</td>"})
            QVERIFY2(html.contains(piece), qPrintable(piece));
        QVERIFY(!html.contains("http"));
    }
};

QTEST_GUILESS_MAIN(TestChecker)
#include "tst_checker.moc"
