// What the parts of the C interface ask of each other.
#pragma once

namespace kestrel {

// Drop every scene and render target; OpenGL objects are freed only when
// `withContext` (the context is current), else forgotten with it.
void ReleaseAllScenes(bool withContext);
void ReleaseAllRenderTargets(bool withContext);

}  // namespace kestrel
