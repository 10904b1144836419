// Reads a room with the room library alone and lists what it holds. Built and
// linked without GL, GLEW or widgets, it proves the library needs neither a
// display nor a graphics card.
#include "animal.h"
#include "scene.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc > 1 && !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "Cannot enter %s\n", argv[1]);
        return 2;
    }
    Scene scene;
    if (!scene.readXML("Stanza.xml"))
        return 1;
    AnimalData animals;
    animals.readAll("data/determinazioni.csv");

    std::printf("%d sections, %d details, %d records\n", scene.sections.size(), scene.details.size(),
                animals.records.size());
    for (int i = 0; i < scene.sections.size(); ++i)
        std::printf("section %d: %s\n", i, qPrintable(scene.sections[i].pictures.keys().join(", ")));
    for (const Detail& detail : scene.details) {
        const int record = animals.indexOfId(detail.id);
        std::printf("detail %d on section %d: %s\n", detail.id, detail.panel,
                    record < 0 ? "no record" : qPrintable(animals.records[record].name));
    }
    return 0;
}
