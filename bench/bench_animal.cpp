// Times the animal database on a generated file of 10,000 records: reading it, and
// the word search that runs on every keystroke of the panel's search field.
#include "benchutil.h"
#include "animal.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int recordCount = 10000;

const char* const animals[] = {"Volpe",   "Airone",   "Cinghiale", "Lepre",    "Fagiano", "Cervo",
                               "Gazza",   "Upupa",    "Tasso",     "Scoiattolo", "Picchio", "Civetta",
                               "Zigolo",  "Anatra",   "Cavallo",   "Cane",     "Gatto",   "Lupo",
                               "Falco",   "Passero",  "Merlo",     "Fringuello", "Riccio", "Capriolo"};
const char* const adjectives[] = {"rossa", "cenerino", "comune", "bianco", "maggiore", "minore", "nero",
                                  "grigio", "selvatico", "reale", "dorato", "europeo", "alpino", "striato"};
const char* const categories[] = {"Mammiferi", "Uccelli", "Rettili", "Pesci", "Insetti", "Anfibi"};
const char* const grades[] = {"Buona", "Media", "Scarsa", "", "3"};

void writeDatabase(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "Determinazioni\nVovo del Pellavio\n\nN;Numero;Lettera;Categoria;Nome;Altro nome;Qualità;"
           "Descrizione;Autore;Note\n";
    for (int i = 0; i < recordCount; ++i) {
        const QString name = QString::fromLatin1("%1 %2").arg(animals[i % 24], adjectives[i / 24 % 14]);
        const QString alternative = i % 9 == 0 ? QStringLiteral("/%1").arg(animals[(i + 5) % 24]) : QString();
        out << i + 1 << ';' << i % 99 + 1 << ';' << char('A' + i / 99 % 26) << ';' << categories[i % 6] << ';'
            << name << alternative << (i % 13 == 0 ? " ind." : "") << ';'
            << QString::fromLatin1(animals[i % 24]).toLower() << " " << adjectives[i % 14] << "us;"
            << grades[i % 5] << ';' << "Dipinto sulla parete " << i % 7 + 1 << ", riquadro " << i % 31 << ';'
            << "Autore;" << "esemplare ben conservato, colori vivaci e contorno nitido; "
            << "la posizione \xe2\x80\x94 la postura sono tipiche della specie" << '\n';
    }
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("determinazioni.csv"));
    writeDatabase(path);
    qInstallMessageHandler(dropDebugLines);

    AnimalData data;
    const double readTime = medianMilliseconds(15, [&] { data.readAll(path); });

    QStringList names, otherNames;
    const QString query = QStringLiteral("volpe ROSSA");
    const double searchTime = medianMilliseconds(51, [&] { data.search(query, names, otherNames); });
    const QString missQuery = QStringLiteral("lontra marina");
    const double missTime = medianMilliseconds(51, [&] { data.search(missQuery, names, otherNames); });

    std::printf("records read:                 %d\n", data.records.size());
    std::printf("readAll median:               %.2f ms (target 60 ms)\n", readTime);
    std::printf("search \"%s\" median:    %.2f ms (target 5 ms)\n", qPrintable(query), searchTime);
    std::printf("search \"%s\" median:  %.2f ms (no match)\n", qPrintable(missQuery), missTime);
    return 0;
}
