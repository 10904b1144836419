#include "processend.h"

#include <cstdio>

#include <unistd.h>

void endProcess(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status);
}
