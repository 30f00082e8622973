/* The public header is plain C: this file only has to compile. */
#include "kestrel/kestrel.h"

_Static_assert(KL_RENDER_TARGET_SIZE == 280, "render target record");
_Static_assert(KL_SCENE_SIZE == 1012, "scene record");
_Static_assert(KL_RENDER_TARGET_WIDTH == 272 && KL_RENDER_TARGET_HEIGHT == 274, "target size");
_Static_assert(KL_SCENE_NEAR == 652 && KL_SCENE_FAR == 656 && KL_SCENE_FPS == 752, "scene fields");
_Static_assert(KL_SURFACE_IMAGE == 296, "surface image");
_Static_assert(KL_SURFACE_IMAGE + sizeof(void*) <= KL_SURFACE_SIZE, "surface image fits");
_Static_assert(KL_RENDERER_INFO_SIZE == 52 && KL_RENDERER_CONFIG_SIZE == 288, "dialog records");

int kestrel_header_c_check(void) {
  unsigned char target[KL_RENDER_TARGET_SIZE] = {0};
  klSetRenderTargetSize(target, 128, 64);
  return target[KL_RENDER_TARGET_WIDTH] == 128 && target[KL_RENDER_TARGET_HEIGHT] == 64;
}
