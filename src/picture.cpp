#include "picture.h"
