#include "avatar.h"
