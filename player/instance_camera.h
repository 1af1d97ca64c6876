#pragma once
// The player's one camera set up for an instance, from the instance's common variables:
// the screen rectangle from Viewport, the fields of view from FOV, the placement from
// CameraMotion (or from the camera named CameraName of the instance's Scene, with the
// fields of view from that camera's zoom), near and far planes from FrontBack, the
// ambient colour and the depth mode.
namespace mirva {

class Camera;
class Component;

void setUpCamera(Camera& camera, const Component& instance);

}  // namespace mirva
