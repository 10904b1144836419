#include "animal.h"
