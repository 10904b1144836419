// The mipmap levels of a texture made on the processor, as the graphics
// driver would make them, so that they can be made on any thread.
#pragma once

#include <QImage>
#include <QVector>

// Levels 1, 2, ... of a 32-bit image down to 1 x 1, each half its parent's size
// rounded down (at least 1): every texel is its parent sampled linearly at the
// texel's centre, byte by byte, with weights in 256ths and each step rounded, as
// the software renderer's blit from level to level does (to the byte).
// Empty for a null image or one that is not 32-bit.
QVector<QImage> mipmapLevels(const QImage& image);
