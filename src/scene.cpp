#include "scene.h"

unsigned int blankTexture = 0;

Scene::Scene() = default;
