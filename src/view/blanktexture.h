// The texture bound for surfaces without an image of their own (floor,
// models): one grey texel, made once the view's GL context exists.
#pragma once

void createBlankTexture();
unsigned int blankTexture();
