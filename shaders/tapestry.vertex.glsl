#version 120
// Pictures show their image; the floor is paved from its world position; the
// models, drawn with the blank texture, are lit softly from their normals.

varying vec2 texCoord;
varying float surface; // 1: a picture, -1: the floor, 0: a model
varying vec2 floorPosition;
varying float shade;

void main()
{
    gl_Position = ftransform();
    texCoord = gl_MultiTexCoord0.st;
    // Pictures alone come white with the normal (0, 0, 1) in their own frame;
    // the floor alone comes white with the normal (0, 1, 0), in world units.
    bool white = gl_Color.rgb == vec3(1.0);
    surface = (white && gl_Normal == vec3(0.0, 0.0, 1.0)) ? 1.0
              : (white && gl_Normal == vec3(0.0, 1.0, 0.0)) ? -1.0 : 0.0;
    floorPosition = gl_Vertex.xz;

    // Everything stands in a wall's frame (or the world's): x along the wall,
    // y up, z into the room. Its axes as the eye sees them place the light in
    // the room, wherever the camera turns.
    mat3 frame = mat3(gl_ModelViewMatrix);
    vec3 up = normalize(frame[1]);
    vec3 intoRoom = normalize(frame[2]);
    vec3 along = normalize(frame[0]);
    vec3 normal = gl_NormalMatrix * gl_Normal;
    float len = length(normal);
    normal = len > 0.0 ? normal / len : up;
    // Daylight from high in the room, a little from the left, and a weak glow
    // thrown back by the floor onto what faces down.
    vec3 light = normalize(0.75 * up + 0.55 * intoRoom - 0.35 * along);
    float diffuse = max(dot(normal, light), 0.0);
    float bounce = max(-dot(normal, up), 0.0);
    // Far surfaces dim a little, which gives the room its depth.
    float eyeDistance = length((gl_ModelViewMatrix * gl_Vertex).xyz);
    float falloff = 1.0 - 0.22 * clamp((eyeDistance - 1.5) / 10.0, 0.0, 1.0);
    shade = (0.42 + 0.58 * diffuse + 0.25 * bounce) * falloff;
}
