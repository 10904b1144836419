// A detail map as the scene reads it: the image file (by Qt's reader on the
// main thread, and as worker threads read it, whose own decoders take JPEG
// panels too), its GL layout, its index form, and the search for the regions
// of a few colours.
#include "detailmap.h"
#include "fuzzroom.h"
#include "imagefile.h"
#include "picture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzroom::start();
    // Large maps are refused alike at any limit; a low one keeps every run quick.
    setImagePixelLimit(1 << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzzroom::write("map.png", data, size);
    const QImage map = toGLLayout(readImageFile(path));
    indexedMap(decodeOnWorkerForGL(path));
    const DetailMap regions(map);
    for (const point3& color : {point3(230, 0, 0), point3(0, 0, 0), point3(255, 255, 255), point3(-1, 300, 0)})
        regions.region(color);
    return 0;
}
