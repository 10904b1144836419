#version 120
// Pictures show their image; the floor and the models, drawn with the blank
// texture, are shaded softly from their normals.

varying float shade;
varying float isPicture;
varying vec2 texCoord;

void main()
{
    vec3 normal = gl_NormalMatrix * gl_Normal;
    float len = length(normal);
    normal = len > 0.0 ? normal / len : vec3(0.0, 0.0, 1.0);
    // A light above and behind the eye; both sides of a face are lit alike.
    vec3 light = normalize(vec3(0.3, 0.8, 0.5));
    shade = 0.55 + 0.45 * abs(dot(normal, light));

    // Pictures alone come white with the normal (0, 0, 1) in their own frame.
    isPicture = (gl_Color.rgb == vec3(1.0) && gl_Normal == vec3(0.0, 0.0, 1.0)) ? 1.0 : 0.0;
    texCoord = gl_MultiTexCoord0.st;
    gl_Position = ftransform();
}
