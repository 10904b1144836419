// The animal database reader, and the queries the panel runs on what it read.
#include "animal.h"
#include "fuzzroom.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzroom::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AnimalData animals;
    animals.readAll(fuzzroom::write("determinazioni.csv", data, size));
    const QStringList names = animals.names();
    for (const QString& name : names)
        animals.indexOfExemplar(name, animals.countExemplars(name) - 1);
    QStringList nameList;
    QStringList otherNameList;
    animals.search(names.value(0).left(3) + " a", nameList, otherNameList);
    animals.reload();
    return 0;
}
