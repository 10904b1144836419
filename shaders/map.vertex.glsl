#version 120
// The mouse-over pass: pictures carry their detail map, everything else is
// no detail at all.

varying vec2 texCoord;
varying float isPicture;

void main()
{
    gl_Position = ftransform();
    texCoord = gl_MultiTexCoord0.st;
    // Pictures alone come white with the normal (0, 0, 1) in their own frame.
    isPicture = (gl_Color.rgb == vec3(1.0) && gl_Normal == vec3(0.0, 0.0, 1.0)) ? 1.0 : 0.0;
}
