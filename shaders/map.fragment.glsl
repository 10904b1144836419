#version 120
// Writes the detail map's colour unchanged, so the byte read back under the
// pointer is the detail's colour; black means no detail.

uniform sampler2D mapTexture;
uniform sampler2D mapPalette;

varying vec2 texCoord;
varying float isPicture;

// Maps of at most 256 colours come as an index byte per texel with their
// colours in a palette row; a richer map comes whole, with a palette holding
// no colour at all.
vec3 mapColour(vec2 coord)
{
    vec4 texel = texture2D(mapTexture, coord);
    vec4 entry = texture2D(mapPalette, vec2((floor(texel.r * 255.0 + 0.5) + 0.5) / 256.0, 0.5));
    return entry.a > 0.5 ? entry.rgb : texel.rgb;
}

void main()
{
    if (isPicture < 0.5) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    // Snapped to whole bytes, so the frame buffer holds the map's exact colour.
    vec3 mapColor = floor(mapColour(texCoord) * 255.0 + 0.5) / 255.0;
    gl_FragColor = vec4(mapColor, 1.0);
}
