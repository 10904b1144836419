// The camera: two view angles, a field of view and an eye position, with the
// moves the view makes on it and the GL matrices it stands for.
#pragma once

#include "geometry.h"

class Detail;
class Scene;

class Avatar
{
public:
    float yaw = 0.0f;
    float pitch = 0.0f;
    float fov = 85.0f;
    point3 position;

    void resetToStart(const Scene& scene);
    void rotateBy(int dx, int dy);
    void zoomIn();
    void zoomOut();
    // Both return false and leave the avatar unchanged where the detail gives no
    // finite camera (no section, camera at its centre, top edge at the floor).
    bool setInFrontOf(Detail detail, float aspect);
    bool lookAt(const Detail& detail);

    void applyProjection() const;
    void applyView() const;
};

float avatarDistance(const Avatar& a, const Avatar& b);
Avatar interpolateAvatars(const Avatar& a, const Avatar& b, float t);
