#version 120
// The visible frame: the picture exactly as painted, with the texels of the
// highlighted detail darkened by the pulsing factor; the floor a chequer of
// grey marble tiles; the models in warm stucco, shaded.

uniform sampler2D rgbTexture;
uniform sampler2D mapTexture;
// Maps of at most 256 colours hold an index a texel: the selected colour's
// index in the picture's palette, -1 where it has none; -2 for a map that
// holds the colours themselves.
uniform float selectedMapIndex;
uniform vec3 selectedMapColor;
uniform float darkenSelectedFactor;

varying vec2 texCoord;
varying float surface; // 1: a picture, -1: the floor, 0: a model
varying vec2 floorPosition;
varying float shade;

const float tileMetres = 0.6;
const float lightTile = 0.82;
const float darkTile = 0.56;
const float jointWidth = 0.006; // of a tile, each side
const float jointTone = 0.42;

// Grey alone (red, green and blue equal), so the floor never tints the room.
// Cheap on purpose: the software renderer runs it for every pixel, pictures too.
float floorTone()
{
    vec2 p = floorPosition / tileMetres;
    vec2 cell = floor(p);
    vec2 inTile = p - cell;
    float tone = fract((cell.x + cell.y) * 0.5) < 0.25 ? lightTile : darkTile;
    // No two slabs quite alike, each a little lighter towards one corner.
    tone += 0.05 * fract(cell.x * 0.37 + cell.y * 0.61) + 0.03 * (inTile.x - inTile.y);
    // Tiles per pixel: joints drawn that wide at least, so they do not break up.
    vec2 slope = fwidth(p);
    float footprint = max(slope.x, slope.y);
    float toEdge = min(min(inTile.x, 1.0 - inTile.x), min(inTile.y, 1.0 - inTile.y));
    tone = mix(tone, jointTone, clamp((jointWidth + footprint - toEdge) / footprint, 0.0, 1.0));
    // Where a tile covers only a few pixels its pattern would shimmer: it
    // fades to the floor's average tone instead.
    return mix(tone, 0.5 * (lightTile + darkTile), clamp((footprint - 0.08) * 4.5, 0.0, 1.0));
}

void main()
{
    vec3 color = texture2D(rgbTexture, texCoord).rgb;
    if (surface < 0.5) {
        // Floor and models: unit 1 holds whatever map was bound last.
        vec3 painted = surface < -0.5 ? vec3(floorTone()) : color * vec3(1.08, 1.0, 0.86);
        gl_FragColor = vec4(painted * shade, 1.0);
        return;
    }
    // Map colours and indices are whole bytes: compare them as bytes, never as floats.
    vec3 mapBytes = floor(texture2D(mapTexture, texCoord).rgb * 255.0 + 0.5);
    bool selected = selectedMapIndex > -1.5 ? mapBytes.r == selectedMapIndex
                                            : all(equal(mapBytes, floor(selectedMapColor * 255.0 + 0.5)));
    float darken = selected ? darkenSelectedFactor : 0.0;
    gl_FragColor = vec4(color * (1.0 - darken), 1.0);
}
