#pragma once

// The fixed OpenGL state of a view and its projection, shared by the desktop view and the
// off-screen renderers so that both draw the same picture.
namespace lignet::gl {

// Smooth shading, diffuse colour material, depth test, lighting with lights 0 to 2, blending
// with source alpha, white light-model ambient, two-sided lighting, texturing, nicest perspective.
void applyViewDefaults();

// Viewport over the whole surface; a perspective with a 90 degree vertical field of view and the
// surface's width / height as aspect (so nothing is stretched), near plane 1 and far plane 30000;
// modelview identity.
void applyViewProjection(int width, int height);

} // namespace lignet::gl
