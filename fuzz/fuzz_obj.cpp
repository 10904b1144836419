// The OBJ model reader, and the stretch the scene asks of a model.
#include "fuzzroom.h"
#include "model.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzroom::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Model model;
    model.size = point3(2.0f, 3.0f, 0.0f);
    model.readObj(fuzzroom::write("model.obj", data, size));
    model.scaleFactors();
    return 0;
}
