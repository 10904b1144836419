// The scene file, read the way `pellavio --check` reads it: the outline, the
// program's own reader (with unreadable models stood in for, as the reader
// would stop the process), and every check of the built room. The room folder
// holds one picture, its map, a model and a database for the file to name.
#include "fuzzroom.h"
#include "roomchecker.h"

#include <QImage>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzroom::start();
    QImage picture(8, 4, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setDotsPerMeterX(1000);
    picture.setDotsPerMeterY(1000);
    picture.save(fuzzroom::file("nord.jpg"), "JPEG");
    picture.setPixel(2, 2, qRgb(230, 0, 0));
    picture.save(fuzzroom::file("nord.png"), "PNG");
    picture.save(fuzzroom::file("blank.png"), "PNG");
    fuzzroom::write("cornice.obj", QByteArray("v -0.5 0 0\nv 0.5 1 0\nv 0.5 0 1\nf 1 2 3\n"));
    fuzzroom::write("determinazioni.csv", QByteArray("a\nb\nc\nd\n1;1;A;Uccelli;Civetta;athene noctua;Buona;;;\n"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzroom::write("Stanza.xml", data, size);
    RoomChecker::check(fuzzroom::folder().path());
    return 0;
}
