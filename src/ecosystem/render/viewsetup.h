#pragma once

namespace ecosystem::render {

// The fixed OpenGL state and projection every view of the program uses; the desktop view and the
// off-screen renderer share them so both draw the same picture.
class ViewSetup {
public:
    // Smooth shading, colour material, depth test, lights 0 to 2, blending, white ambient,
    // two-sided lighting, texturing and the nicest perspective correction.
    static void initializeFixedState();
    // Viewport and a 90-degree perspective of aspect 1.0 (the picture stretches with the view's
    // shape), near plane 1, far plane 30000; then an identity modelview.
    static void setProjection(int width, int height);
};

} // namespace ecosystem::render
