#pragma once
// Camera: a rectangle of the screen, a projection, a placement in the world and the view
// transformation that is its inverse. Every draw of the engine goes through one. It also
// owns the per-pass device states that belong to the view: viewport, depth test and
// write, ambient light, scene begin and end, and clearing of its rectangle.
#include "io/transformation.h"
#include "platform/d3d8/d3d8_types.h"

namespace mirva {

class RenderTarget;

// A transformation as a Direct3D matrix: rotation rows extended with 0, the translation
// row with 1.
D3DMATRIX matrixOf(const Transformation& transformation);

class Camera {
public:
    enum DepthMode { NO_DEPTH = 0, DEPTH_TEST = 1, DEPTH_TEST_AND_WRITE = 2 };

    // Takes the screen size from the display driver and, when a device exists, sets the
    // device-wide states of point sprites, dithering and the alpha function.
    Camera();

    // Makes the camera's rectangle the device's viewport and sets its depth states and
    // ambient light. A rectangle that covers no whole pixel leaves the viewport as it
    // was: nothing is drawn or cleared through such a camera.
    void setViewport();
    // Whether the rectangle covers at least one pixel in each direction.
    bool coversPixels() const;
    void beginScene();
    void endScene();
    // Clears the camera's rectangle: the colour buffer and/or the depth buffer (when the
    // current target has one).
    void clear(D3DCOLOR color, bool clearColor, bool clearDepth, float depth);

    // The projection of a draw. A non-zero depth offset moves the depth of the geometry
    // nearer (positive) or farther without moving it on the screen; `translationLength`
    // is the length of the drawn primitive's translation.
    D3DMATRIX projection(float depthOffset = 0.0f, float translationLength = 0.0f) const;

    // Whether a scene is open (between beginScene and endScene), program-wide.
    static bool sceneOpen();

    // The render-target pass drawn through this camera (a script's RenderTargetBegin up to
    // its RenderTargetEnd). `beginPass` ends a pass still open, closes the scene and
    // begins the target; `endPass` ends the open pass and goes on with the scene where it
    // drew before (false when none was open). A target must outlive its open pass: the
    // frame update ends any pass when its layers are done.
    void beginPass(RenderTarget& target);
    bool endPass();
    RenderTarget* openPass() const { return pass_; }

    void setScreenSize(int width, int height)
    {
        screenWidth = width;
        screenHeight = height;
    }

    int screenWidth = 0;
    int screenHeight = 0;
    float left = 0.0f, top = 0.0f, right = 1.0f, bottom = 1.0f;  // fractions of the screen
    float nearPlane = 0.1f;
    float farPlane = 100.0f;
    float horizontalFov = 1.5707964f;
    float verticalFov = 0.0f;  // set from the screen's shape at construction
    Transformation placement;  // camera space to world space
    Transformation view;       // world space to camera space
    D3DCOLOR ambient = 0;      // alpha is not used
    int depthMode = DEPTH_TEST_AND_WRITE;

private:
    RenderTarget* pass_ = nullptr;
};

}  // namespace mirva
