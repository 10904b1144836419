#version 120
// The visible frame: the picture, with the texels of the highlighted detail
// darkened by the pulsing factor.

uniform sampler2D rgbTexture;
uniform sampler2D mapTexture;
uniform vec3 selectedMapColor;
uniform float darkenSelectedFactor;

varying vec2 texCoord;
varying float isPicture;
varying float shade;

void main()
{
    vec3 color = texture2D(rgbTexture, texCoord).rgb;
    if (isPicture < 0.5) {
        // Floor and models: unit 1 holds whatever map was bound last.
        gl_FragColor = vec4(color * shade, 1.0);
        return;
    }
    // Map colours are whole bytes: compare them as bytes, never as floats.
    vec3 mapBytes = floor(texture2D(mapTexture, texCoord).rgb * 255.0 + 0.5);
    vec3 selectedBytes = floor(selectedMapColor * 255.0 + 0.5);
    float darken = all(equal(mapBytes, selectedBytes)) ? darkenSelectedFactor : 0.0;
    gl_FragColor = vec4(color * (1.0 - darken), 1.0);
}
