#version 120
// Writes the detail-map texel unchanged, so the byte read back under the
// pointer is the detail's colour; black means no detail.

uniform sampler2D mapTexture;

varying vec2 texCoord;
varying float isPicture;

void main()
{
    if (isPicture < 0.5) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    // Snapped to whole bytes, so the frame buffer holds the map's exact colour.
    vec3 mapColor = floor(texture2D(mapTexture, texCoord).rgb * 255.0 + 0.5) / 255.0;
    gl_FragColor = vec4(mapColor, 1.0);
}
