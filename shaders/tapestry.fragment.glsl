#version 120
// The visible frame: the picture exactly as painted, with the texels of the
// highlighted detail darkened by the pulsing factor; the floor a chequer of
// grey marble tiles; the models in warm stucco, shaded.

uniform sampler2D rgbTexture;
uniform sampler2D mapTexture;
uniform vec3 selectedMapColor;
uniform float darkenSelectedFactor;

varying vec2 texCoord;
varying float isPicture;
varying float isFloor;
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
    float tone = mod(cell.x + cell.y, 2.0) < 0.5 ? lightTile : darkTile;
    // No two slabs quite alike, each a little lighter towards one corner.
    tone += 0.05 * fract(cell.x * 0.37 + cell.y * 0.61) + 0.03 * (inTile.x - inTile.y);
    vec2 toEdge = min(inTile, 1.0 - inTile);
    vec2 footprint = fwidth(p);
    vec2 joint = 1.0 - smoothstep(vec2(jointWidth), vec2(jointWidth) + footprint, toEdge);
    tone = mix(tone, jointTone, max(joint.x, joint.y));
    // Where a tile covers only a few pixels its pattern would shimmer: it
    // fades to the floor's average tone instead.
    float fade = smoothstep(0.08, 0.3, max(footprint.x, footprint.y));
    return mix(tone, 0.5 * (lightTile + darkTile), fade);
}

void main()
{
    vec3 color = texture2D(rgbTexture, texCoord).rgb;
    if (isPicture < 0.5) {
        // Floor and models: unit 1 holds whatever map was bound last.
        vec3 surface = isFloor > 0.5 ? vec3(floorTone()) : color * vec3(1.08, 1.0, 0.86);
        gl_FragColor = vec4(surface * shade, 1.0);
        return;
    }
    // Map colours are whole bytes: compare them as bytes, never as floats.
    vec3 mapBytes = floor(texture2D(mapTexture, texCoord).rgb * 255.0 + 0.5);
    vec3 selectedBytes = floor(selectedMapColor * 255.0 + 0.5);
    float darken = all(equal(mapBytes, selectedBytes)) ? darkenSelectedFactor : 0.0;
    gl_FragColor = vec4(color * (1.0 - darken), 1.0);
}
