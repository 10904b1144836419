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

QImage map(int width = 200, int height = 100)
{
    QImage result = image(width, height, Qt::black);
    QPainter(&result).fillRect(detailSpot, detailColour);
    return result;
}

// "from=>to|from=>to": each replacement applied to every occurrence, in order.
QString changed(QString text, const QString& changes)
{
    for (const QString& change : changes.split('|', Qt::SkipEmptyParts))
        text.replace(change.section("=>", 0, 0), change.section("=>", 1));
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Line (from 1) of the first line holding `marker`; 0 for no marker.
int lineOf(const QString& text, const QString& marker)
{
    if (marker.isEmpty())
        return 0;
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(marker))
            return i + 1;
    }
    return -1;
}

QString findingText(const Finding& finding)
{
    return QString("%1:%2 %3 %4").arg(finding.file).arg(finding.line)
        .arg(CheckReport::severityName(finding.severity), finding.code);
}

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// The real program, without a display, in the build folder.
Run runProgram(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start("./pellavio", QStringList{"--check"} + arguments);
    if (!process.waitForFinished(120000))
        return Run();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestChecker : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> folder;
    QString xml;
    QString csv;

    QString room() const { return folder->path() + "/room"; }

    // The fixture room with the changes of one case.
    void writeRoom(const QString& sceneChanges = {}, const QString& databaseChanges = {},
                   const QString& fileChange = {})
    {
        QVERIFY(QDir(folder->path()).mkpath("room"));
        xml = changed(roomXml, sceneChanges);
        csv = changed(roomCsv, databaseChanges);
        QVERIFY(writeFile(room() + "/Stanza.xml", xml.toUtf8()));
        QVERIFY(writeFile(room() + "/determinazioni.csv", csv.toUtf8()));
        QVERIFY(writeFile(room() + "/c.obj", fileChange == "offCentreModel" ? QByteArray("v 0 0 0\nv 1 1 0\n")
                                             : fileChange == "brokenFace" ? centredModel + "f 1 2 9\n"
                                                                          : centredModel));
        for (const QString name : {"n", "e", "s", "w"})
            QVERIFY(image(200, 100, Qt::gray, fileChange == "unevenResolution" && name == QString("n") ? 20000 : 10000)
                        .save(room() + "/" + name + ".jpg"));
        QVERIFY(image(4, 4, Qt::black).save(room() + "/blank.png"));
        QImage northMap = fileChange == "smallMap" ? map(100, 100) : map();
        if (fileChange == "oddPixel") {
            northMap.fill(Qt::black);
            northMap.setPixelColor(41, 98 - 1, detailColour);  // column 41, second row from the bottom
        }
        if (fileChange == "strayPixel")
            northMap.setPixelColor(150, 10, QColor(229, 0, 0));
        QVERIFY(northMap.save(room() + "/n.png"));
    }

private slots:
    void init()
    {
        folder.reset(new QTemporaryDir);
        QVERIFY(folder->isValid());
    }

    void aSoundRoomChecksClean()
    {
        writeRoom();
        const CheckReport report = RoomChecker::check(room());
        QStringList found;
        for (const Finding& finding : report.findings())
            found << findingText(finding) + " " + finding.message;
        QCOMPARE(found, QStringList());
        QCOMPARE(report.text(), QString("0 errors, 0 warnings\n"));
    }

    void findsEachMistake_data()
    {
        QTest::addColumn<QString>("sceneChanges");
        QTest::addColumn<QString>("databaseChanges");
        QTest::addColumn<QString>("fileChange");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("lineMarker");  // in that file; empty: the file as a whole
        QTest::addColumn<QString>("severity");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("hint");        // a piece of the message

        const QString s = "Stanza.xml";
        const QString d = "determinazioni.csv";
        QTest::newRow("not XML") << "</walls>=>" << "" << "" << s << "</room>" << "error" << "scene-not-xml" << "";
        QTest::newRow("root not room") << "<room height=\"3\">=><Room height=\"3\">|</room>=></Room>" << "" << ""
                                       << s << "<Room" << "error" << "scene-root" << "<Room>";
        QTest::newRow("rgb without blanks") << "230, 0, 0=>230,0,0" << "" << "" << s << "rgb=" << "error"
                                            << "rgb-format" << "write rgb=\"230, 0, 0\"";
        QTest::newRow("rgb above 255") << "230, 0, 0=>300, 0, 0" << "" << "" << s << "rgb=" << "error"
                                       << "rgb-range" << "0 to 255";
        QTest::newRow("attribute typo") << "name=\"e.jpg\" height=>name=\"e.jpg\" heigth" << "" << "" << s
                                        << "heigth" << "warning" << "unknown-attribute" << "did you mean height?";
        QTest::newRow("section without height") << "name=\"e.jpg\" height=>name=\"e.jpg\" heigth" << "" << ""
                                                << s << "heigth" << "error" << "picture-height" << "0 m wide";
        QTest::newRow("element typo") << "<section name=\"w.jpg\" height=\"1\"/>=><section name=\"w.jpg\" "
                                         "height=\"1\"><extar name=\"x.jpg\"/></section>"
                                      << "" << "" << s << "extar" << "warning" << "unknown-element"
                                      << "did you mean <extra>?";
        QTest::newRow("misplaced element") << "</walls>=></walls><wall turn=\"90\"/>" << "" << "" << s
                                           << "</walls><wall" << "warning" << "misplaced-element" << "<walls>";
        QTest::newRow("height not a number") << "<room height=\"3\">=><room height=\"3,0\">" << "" << "" << s
                                             << "<room" << "error" << "not-a-number" << "uses 0";
        QTest::newRow("margin not a number") << "<section name=\"w.jpg\" height=\"1\"/>=><section name=\"w.jpg\" "
                                                "height=\"1\"><extra name=\"e.jpg\" height=\"0.2\" marginleft=\"0,5\"/></section>"
                                             << "" << "" << s << "marginleft" << "warning" << "not-a-number"
                                             << "as absent";
        QTest::newRow("ceiling after a section")
            << "<ceiling model=\"c.obj\"/>=>|<wall turn=\"90\"/>=><wall turn=\"90\"/><ceiling model=\"c.obj\"/>"
            << "" << "" << s << "<ceiling" << "error" << "ceiling-after-section" << "";
        QTest::newRow("detail map before its walls")
            << "<walls>=><detailMap name=\"n.png\"><database name=\"B\"/><detail rgb=\"1, 2, 3\"/></detailMap><walls>"
            << "" << "" << s << "<detailMap" << "error" << "detailmap-order" << "n.jpg";
        QTest::newRow("detail map of no picture") << "<detailMap name=\"n.png\">=><detailMap name=\"e.jpg\">" << ""
                                                  << "" << s << "<detailMap" << "error" << "detailmap-unknown" << "";
        QTest::newRow("map file missing") << "<detailMap name=\"n.png\">=><detailMap name=\"x.png\">" << "" << ""
                                          << s << "<detailMap" << "error" << "map-missing" << "x.png";
        QTest::newRow("map of two pictures") << "\"s.jpg\"=>\"n.jpg\"" << "" << "" << s << "<detailMap" << "warning"
                                             << "map-shared" << "n.jpg of section 3";
        QTest::newRow("colour twice") << "</detailMap>=><detail rgb=\"230, 0, 0\"/></detailMap>" << "" << "" << s
                                      << "<detail rgb" << "error" << "colour-duplicate" << "line 15";
        QTest::newRow("letter reused") << "</room>=><detailMap name=\"e.png\"><database name=\"A\"/></detailMap></room>"
                                       << "" << "" << s << "e.png" << "error" << "database-letter" << "line 13";
        QTest::newRow("colour off the samples") << "" << "" << "oddPixel" << s << "rgb=" << "error"
                                                << "colour-not-sampled" << "2 × 2";
        QTest::newRow("colour nowhere") << "230, 0, 0=>0, 0, 230" << "" << "" << s << "rgb=" << "error"
                                        << "colour-not-sampled" << "has no pixel in n.png: the detail";
        QTest::newRow("colour mistyped") << "230, 0, 0=>231, 0, 2" << "" << "" << s << "rgb=" << "error"
                                         << "colour-not-sampled" << "holds 1600 pixels of 230, 0, 0: is that";
        QTest::newRow("stray pixel") << "" << "" << "strayPixel" << "n.png" << "" << "warning" << "stray-pixels"
                                     << "1 pixels are neither black nor a listed colour, within x 150..150, y 10..10";
        QTest::newRow("map size") << "" << "" << "smallMap" << "n.png" << "" << "error" << "map-size"
                                  << "100 × 100 pixels";
        QTest::newRow("picture missing") << "w.jpg=>x.jpg" << "" << "" << s << "x.jpg" << "error"
                                         << "image-unreadable" << "";
        QTest::newRow("picture is its own map") << "\"w.jpg\"=>\"n.png\"" << "" << "" << s << "\"n.png\" height"
                                                << "warning" << "picture-is-map" << "save the picture as n.jpg";
        QTest::newRow("uneven resolution") << "" << "" << "unevenResolution" << "n.jpg" << "" << "warning"
                                           << "image-resolution" << "";
        QTest::newRow("model missing") << "c.obj=>gone.obj" << "" << "" << s << "gone.obj" << "error"
                                       << "model-unreadable" << "status -2";
        QTest::newRow("model outside the room") << "c.obj=>../c.obj" << "" << "" << s << "../c.obj" << "error"
                                                << "model-unreadable" << "a path out of the room folder";
        QTest::newRow("model off centre") << "" << "" << "offCentreModel" << "c.obj" << "" << "warning"
                                          << "model-not-centred" << "100.0 % of its width to the right";
        QTest::newRow("face dropped") << "" << "" << "brokenFace" << "c.obj" << "" << "warning" << "model-faces"
                                      << "1 faces";
        QTest::newRow("walk not closed") << "\"s.jpg\" height=\"1\"=>\"s.jpg\" height=\"1.5\"" << "" << "" << s
                                         << "<walls>" << "warning" << "walk-not-closed" << "100.0 cm along x";
        QTest::newRow("second walls") << "</walls>=></walls><walls></walls>" << "" << "" << s << "<walls></walls>"
                                      << "warning" << "several-walls" << "";
        QTest::newRow("walk of one run") << "<wall turn=\"90\"/>=>|<wall turn=\"90\"/>=>|<wall turn=\"90\"/>=>"
                                         << "" << "" << s << "<walls>" << "error" << "walk-runs" << "";
        QTest::newRow("line dropped") << "" << "n.jpg;Note\n=>n.jpg;Note\n2;x;A;;;;;;;\n" << "" << d << "2;x" << "warning"
                                      << "record-dropped" << "\"x\"";
        QTest::newRow("short line") << "" << "n.jpg;Note=>n.jpg" << "" << d << "1;1;A" << "warning"
                                    << "record-short" << "9 fields";
        QTest::newRow("lowercase letter") << "" << "1;1;A=>1;1;a" << "" << d << "1;1;a" << "warning"
                                          << "record-letter" << "code 3200";
        QTest::newRow("quality word") << "" << "Buona=>Discreta" << "" << d << "1;1;A" << "note" << "quality-word"
                                      << "Media";
        QTest::newRow("detail without record") << "" << "1;1;A=>1;2;A" << "" << s << "civetta" << "warning"
                                               << "detail-without-record" << "detail A1";
        QTest::newRow("record without detail") << "" << "1;1;A=>1;2;A" << "" << d << "1;2;A" << "warning"
                                               << "record-without-detail" << "record A2 (Civetta)";
        QTest::newRow("record repeated") << "" << "n.jpg;Note\n=>n.jpg;Note\n2;1;A;;Gufo;;;;;\n" << "" << d << "Gufo"
                                         << "warning" << "record-duplicate" << "line 5";
        QTest::newRow("records out of order")
            << "</detailMap>=><detail rgb=\"0, 0, 230\"/></detailMap>"
            << "1;1;A;=>2;2;A;Uccelli;Gufo;;;;;\n1;1;A;" << "" << d << "1;1;A" << "warning" << "record-order"
            << "line 5";
    }

    void findsEachMistake()
    {
        QFETCH(QString, sceneChanges);
        QFETCH(QString, databaseChanges);
        QFETCH(QString, fileChange);
        QFETCH(QString, file);
        QFETCH(QString, lineMarker);
        QFETCH(QString, severity);
        QFETCH(QString, code);
        QFETCH(QString, hint);
        writeRoom(sceneChanges, databaseChanges, fileChange);
        const int line = lineOf(file == "Stanza.xml" ? xml : csv, lineMarker);
        QVERIFY(line >= 0);

        const QString expected = QString("%1/%2:%3 %4 %5").arg(room(), file).arg(line).arg(severity, code);
        QStringList found;
        const CheckReport report = RoomChecker::check(room());
        for (const Finding& finding : report.findings()) {
            found << findingText(finding) + " " + finding.message;
            if (findingText(finding) == expected && finding.message.contains(hint))
                return;
        }
        QFAIL(qPrintable("expected " + expected + " with \"" + hint + "\", found:\n" + found.join('\n')));
    }

    void aMissingRoomIsTwoErrors()
    {
        const CheckReport report = RoomChecker::check(folder->path() + "/none");
        QCOMPARE(report.findings().size(), 2);
        QCOMPARE(report.findings()[0].code, QString("scene-missing"));
        QCOMPARE(report.findings()[1].code, QString("database-missing"));
        QCOMPARE(report.exitStatus(false), 1);
    }

    void warnsOfImagesTooLargeForTextures()
    {
        writeRoom();
        const CheckReport report = RoomChecker::check(room(), 150);
        QCOMPARE(report.count(Severity::Warning), 5);  // four panels and the map, all 200 wide
        QCOMPARE(report.findings().first().code, QString("texture-size"));
    }

    void theDemoRoomHasOnlyItsDeliberateWarnings()
    {
        const Run run = runProgram({});
        QCOMPARE(run.status, 0);
        QFile scene("data/Stanza.xml");
        QFile database("data/determinazioni.csv");
        QVERIFY(scene.open(QIODevice::ReadOnly) && database.open(QIODevice::ReadOnly));
        const QString sceneText = QString::fromUtf8(scene.readAll());
        const QString databaseText = QString::fromUtf8(database.readAll());
        const QStringList warnings = run.out.split('\n').filter(": warning: ");
        QCOMPARE(warnings.size(), 3);
        QVERIFY(warnings[0].startsWith(QString("data/Stanza.xml:%1: warning: detail J4 ")
                                           .arg(lineOf(sceneText, "grillo, da schedare"))));
        QVERIFY(warnings[1].startsWith(QString("data/determinazioni.csv:%1: warning: record D5 ")
                                           .arg(lineOf(databaseText, ";5;D;"))));
        QVERIFY(warnings[2].startsWith(QString("data/determinazioni.csv:%1: warning: record P4 ")
                                           .arg(lineOf(databaseText, ";4;P;"))));
        QVERIFY(run.out.endsWith("\n0 errors, 3 warnings\n"));
        QCOMPARE(run.out.count(": error: "), 0);
    }

    void exitStatusFollowsErrorsAndStrict_data()
    {
        QTest::addColumn<QString>("sceneChanges");
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
        QFETCH(QString, sceneChanges);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        writeRoom(sceneChanges);
        QCOMPARE(runProgram(arguments << room()).status, status);
    }

    void jsonHoldsTheTextFindings()
    {
        writeRoom("230, 0, 0=>230,0,0|<walls>=><walls><colonna/>", "Buona=>Discreta");
        const Run text = runProgram({room()});
        const Run json = runProgram({"--format", "json", room()});
        QCOMPARE(json.status, 1);
        QJsonParseError error;
        const QJsonArray findings = QJsonDocument::fromJson(json.out.toUtf8(), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QStringList fromJson;
        for (const QJsonValue& value : findings) {
            const QJsonObject finding = value.toObject();
            const QString place = finding["line"].isNull()
                ? finding["file"].toString()
                : QString("%1:%2").arg(finding["file"].toString()).arg(finding["line"].toInt());
            fromJson << QString("%1: %2: %3").arg(place, finding["severity"].toString(), finding["message"].toString());
            QVERIFY(!finding["code"].toString().isEmpty());
        }
        QStringList textLines = text.out.split('\n', Qt::SkipEmptyParts);
        // The rgb, the element, the map's red pixels that no detail lists any more, the quality word.
        QCOMPARE(textLines.takeLast(), QString("1 errors, 2 warnings"));
        QCOMPARE(fromJson, textLines);
        QCOMPARE(findings.size(), 4);
    }

    void proofSheetOutlinesAndLabelsEveryDetail()
    {
        writeRoom();
        const QString sheets = folder->path() + "/sheets";
        const Run run = runProgram({"--sheet", sheets, room()});
        QCOMPARE(run.status, 0);
        QImage sheet(sheets + "/n-sheet.png");
        QCOMPARE(sheet.size(), QSize(200, 100));
        const QColor outline = ProofSheet::outlineColour;
        QCOMPARE(sheet.pixelColor(detailSpot.left(), detailSpot.center().y()), outline);
        QCOMPARE(sheet.pixelColor(detailSpot.center().x(), detailSpot.bottom()), outline);
        QVERIFY(sheet.pixelColor(detailSpot.center()) != outline);
        // The label sits above the detail: white text on a dark box, where the panel is grey.
        int white = 0;
        for (int y = 0; y < detailSpot.top(); ++y) {
            for (int x = 0; x < sheet.width(); ++x)
                white += sheet.pixelColor(x, y).lightness() > 230 ? 1 : 0;
        }
        QVERIFY(white > 20);

        QFile index(sheets + "/index.html");
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(index.readAll());
        for (const QString piece : {"<img src=\"n-sheet.png\"", "<td>A1</td>", "rgb(230, 0, 0)", "<td>Civetta</td>",
                                     "<td>1/1</td>"})
            QVERIFY2(html.contains(piece), qPrintable(piece));
        QVERIFY(!html.contains("http"));
    }
};

QTEST_GUILESS_MAIN(TestChecker)
#include "tst_checker.moc"
