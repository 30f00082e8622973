/*
 * kestrel.h - the kestrel 3D engine's C interface.
 *
 * kestrel loads LightWave scenes, objects and pictures from a data archive
 * (or from the directory) and draws them with OpenGL 3.3, together with 2D
 * images and rectangles, into a window or into render targets.
 *
 * Conventions
 * - Calls are made from one thread at a time. Any thread may make them; the
 *   engine moves its OpenGL context to the calling thread when needed.
 * - Records are byte blocks the caller allocates (zero-filled unless said
 *   otherwise) with a fixed size; only the fields documented below are
 *   meant for the caller, at the offsets given. The KL_* accessors below
 *   read and write them. The engine knows a record by its address: a record
 *   must not move while the engine uses it.
 * - An "image" is anything the 2D calls can draw: a render-target record
 *   once created, a texture handle, or the image field of a surface record.
 *   An address the engine does not know as an image is ignored (logged).
 * - Failures never end the process: a call that fails writes a line to the
 *   log stream and returns 0 or null where it returns anything.
 */
#ifndef KESTREL_H
#define KESTREL_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Record sizes and field offsets ---------------------------------- */

#define KL_RENDERER_INFO_SIZE 52      /* klSetupRendererDialog's first record */
#define KL_RENDERER_CONFIG_SIZE 288   /* the chosen display */
#define KL_RENDER_TARGET_SIZE 280     /* a render target */
#define KL_SCENE_SIZE 1012            /* a loaded scene */
#define KL_SURFACE_SIZE 304           /* a surface, owned by the engine */

/* Render target: uint16 width and height, set before klCreateRenderTarget. */
#define KL_RENDER_TARGET_WIDTH 272
#define KL_RENDER_TARGET_HEIGHT 274

/* Scene: byte 0 belongs to the caller (the engine never reads or writes it);
 * floats for the near and far clipping distances (metres, read at every
 * klRenderFrame) and the scene's frames per second (written by klLoadLWS). */
#define KL_SCENE_CALLER_FLAGS 0
#define KL_SCENE_NEAR 652
#define KL_SCENE_FAR 656
#define KL_SCENE_FPS 752

/* Surface: a pointer-sized field holding the surface's image (its first
 * colour image map, null when it has none). */
#define KL_SURFACE_IMAGE 296

/* Renderer info (filled by klSetupRendererDialog): int32 desktop width and
 * height and the number of display modes offered. */
#define KL_INFO_DESKTOP_WIDTH 0
#define KL_INFO_DESKTOP_HEIGHT 4
#define KL_INFO_MODE_COUNT 8

/* Renderer config (filled by klSetupRendererDialog, read by klSetupRenderer):
 * int32 width, height, full screen (0/1) and vertical sync (0/1). A config
 * whose width or height is 0 means 640 x 480 in a window. */
#define KL_CONFIG_WIDTH 0
#define KL_CONFIG_HEIGHT 4
#define KL_CONFIG_FULLSCREEN 8
#define KL_CONFIG_VSYNC 12

/* ---- Constants --------------------------------------------------------- */

/* Blend factors of the 2D calls (Direct3D's numbering). */
#define KL_BLEND_ZERO 1
#define KL_BLEND_ONE 2
#define KL_BLEND_SRCCOLOR 3
#define KL_BLEND_INVSRCCOLOR 4
#define KL_BLEND_SRCALPHA 5
#define KL_BLEND_INVSRCALPHA 6
#define KL_BLEND_DESTALPHA 7
#define KL_BLEND_INVDESTALPHA 8
#define KL_BLEND_DESTCOLOR 9
#define KL_BLEND_INVDESTCOLOR 10

/* klGetLowLevelVar numbers and what each writes to `out`. */
#define KL_VAR_DISPLAY 1      /* KLdisplay* : the display object (no calls) */
#define KL_VAR_DEVICE 3       /* KLdevice*  : the device object below */
#define KL_VAR_BACKBUFFER 4   /* KLsurface* : the back buffer (no calls) */
#define KL_VAR_LOG 7          /* FILE*      : the log stream */
#define KL_VAR_STATEBLOCK 8   /* uint32_t   : the 2D-defaults state block */

/* klGetInfo numbers. */
#define KL_INFO_RUNNING 1 /* non-zero from klSetupRenderer until klDone or the window closes */
#define KL_INFO_WIDTH 2   /* display width in pixels */
#define KL_INFO_HEIGHT 3  /* display height in pixels */

/* klSetState numbers. */
#define KL_STATE_CLEAR 2 /* 1 (default): klRenderFrame first clears colour and depth of the
                            current target; 0: the scene draws over what is there */
#define KL_STATE_FOG 9   /* 1: klRenderFrame applies the scene's fog (LightWave's FogType,
                            FogMinDistance, FogMaxDistance, FogColor) by depth; 0 (default): no fog */

/* Device render states (Direct3D's numbering). */
#define KL_RS_DITHERENABLE 26 /* accepted; OpenGL dithers as it likes */
#define KL_RS_AMBIENT 139     /* 0xAARRGGBB ambient light */

/* ---- Opaque objects ---------------------------------------------------- */

typedef struct KLdisplay KLdisplay;
typedef struct KLsurface KLsurface;
typedef struct KLtexture KLtexture;
typedef struct KLarchiveFile KLarchiveFile;

/* The device object of klGetLowLevelVar(KL_VAR_DEVICE): its calls take the
 * device itself first, as in device->SetRenderState(device, 139, colour).
 *
 * SetRenderState(KL_RS_AMBIENT, 0xAARRGGBB): the ambient light of lit
 *   drawing from now on; every klRenderFrame starts from its scene's own
 *   ambient light again.
 * SetRenderState(KL_RS_DITHERENABLE, on): accepted, changes nothing.
 * Other states are ignored. Returns 0.
 * ApplyStateBlock(block): with the block of klGetLowLevelVar(KL_VAR_STATEBLOCK),
 *   puts the drawing state back to the engine's 2D defaults (no depth test,
 *   no culling, no fog, no blending). Returns 0, or -1 for an unknown block. */
typedef struct KLdevice KLdevice;
struct KLdevice {
  int (*SetRenderState)(KLdevice* device, uint32_t state, uint32_t value);
  int (*ApplyStateBlock)(KLdevice* device, uint32_t block);
};

/* ---- Engine and display ----------------------------------------------- */

/* Starts the engine on `window`: the SDL window of the platform's window
 * service (created with OpenGL allowed, see platform::SetMainWindowOpenGl),
 * or null for no window: drawing then goes offscreen (SDL's offscreen video
 * driver with EGL). `flags` is reserved, pass 0. Returns 1, or 0 when it is
 * already started. Opens the log stream. */
int klInitialize(void* window, int flags);

/* Asks the user for the display: resolution (the desktop's modes, 640 x 480
 * first), full screen or window, vertical sync. `info` (KL_RENDERER_INFO_SIZE
 * bytes) receives the desktop description; `config` (KL_RENDERER_CONFIG_SIZE
 * bytes) the choice. Enter accepts (the defaults are 640 x 480 in a window),
 * Esc or the close box declines. Returns non-zero if the user accepted, 0 if
 * not (config untouched). Without a desktop it fills the defaults and
 * returns 1. */
int klSetupRendererDialog(void* info, void* config);

/* Opens the display of `config` (see klSetupRendererDialog; null or zeroes:
 * 640 x 480 in a window) with an OpenGL 3.3 core context. Returns 1, or 0
 * on failure (logged). */
int klSetupRenderer(const void* config);

/* Writes low-level variable `n` (KL_VAR_*) to `out`, which must have room
 * for a pointer. Returns 1, or 0 for an unknown n or before klInitialize. */
int klGetLowLevelVar(int n, void* out);

/* KL_INFO_*; 0 for other numbers. */
int klGetInfo(int n);

/* KL_STATE_*; other states are logged and ignored. */
void klSetState(int state, int value);

/* Shuts the engine down: releases every scene, texture and render target,
 * the OpenGL context, and gives the window back. klGetInfo(1) is then 0. */
void klDone(void);

/* ---- Render targets ---------------------------------------------------- */

/* Makes `record` (KL_RENDER_TARGET_SIZE bytes, width and height at
 * KL_RENDER_TARGET_WIDTH/HEIGHT, 1 to 4096) a render target with colour and
 * depth. The record is an image from then on. Returns 1, or 0 on failure. */
int klCreateRenderTarget(void* record);

/* Directs drawing (klRenderFrame and the 2D calls) into `record`, or to the
 * screen when null. Returns 1, or 0 for an unknown record (the screen is
 * then the target). */
int klSetRenderTarget(void* record);

/* Copies the screen's frame as drawn so far into render target `record`,
 * scaled to its size, so that an effect decided late in a frame can still
 * work on the frame's picture. Returns 1, or 0 for an unknown record. */
int klCopyScreenToTarget(void* record);

/* ---- Scenes -------------------------------------------------------------- */

/* Loads the LightWave scene `file` (archive or directory) with its objects
 * and pictures into `record` (KL_SCENE_SIZE bytes); writes its frames per
 * second at KL_SCENE_FPS and default clipping distances 0.1 and 1000 at
 * KL_SCENE_NEAR/FAR. A record that holds a scene is released first.
 * Returns 1, or 0 when the scene cannot be read (logged; the record then
 * holds no scene and klRenderFrame draws nothing). */
int klLoadLWS(const char* file, void* record);

/* Draws the scene of `record` at fractional `frame` into the current
 * target through the scene's camera, clearing first when KL_STATE_CLEAR is
 * on. Returns 1, or 0 when the record holds no scene. */
int klRenderFrame(void* record, float frame);

/* The scene's texture called `name` (case-insensitive), created empty when
 * the scene has none of that name. Valid until klDoneScene. Null when the
 * record holds no scene. A texture handle is an image. */
KLtexture* klOpenTexture(void* record, const char* name);

/* Loads picture `file` (JPEG or PNG, archive or directory) into `texture`.
 * Returns 1, or 0 when it cannot be read (the texture keeps its picture). */
int klLoadTexture(const char* file, KLtexture* texture);

/* The surface record (KL_SURFACE_SIZE bytes, owned by the engine) of the
 * scene's surface `name`, case-insensitive; null when there is none. Its
 * image field (KL_SURFACE_IMAGE) is valid until klDoneScene. */
void* klOpenSurface(void* record, const char* name);

/* Make a loaded scene ready to draw, called in this order: the pictures go
 * to the graphics memory, the CPU copies are dropped, the objects' vertex
 * buffers are built. Drawing works without them (it does the same on first
 * use); they keep the first frame from stalling. Each returns 1, or 0 when
 * the record holds no scene. */
int klUploadTextures(void* record);
int klEvictTextures(void* record);
int klUploadSurfaces(void* record);

/* Releases the scene of `record`; its textures and surfaces with it. */
void klDoneScene(void* record);

/* ---- 2D drawing ------------------------------------------------------- */

/* Bracket 2D drawing into the current target: no depth test, no culling. */
void klStartRendering(void);
void klEndRendering(void);

/* Presents the screen's frame (swaps buffers; offscreen it keeps it for
 * reading back). */
void klShowRender(void);

/* Draws `image` on the rectangle of centre (x, y) and half-extents (sx, sy)
 * in normalised device coordinates (x right, y up): (0, 0, 1, 1) covers the
 * target, larger scales zoom about the centre. The colour written is
 * image x alpha (alpha clamped to 0..1), combined with the target by the
 * blend factors `src` and `dst` (KL_BLEND_*; an unknown factor skips the
 * draw). `reserved0` and `reserved1` must be 0. */
void klPutImage(float x, float y, float sx, float sy, const void* image, float alpha,
                int reserved0, int reserved1, int src, int dst);

/* klPutImage with the image's colour multiplied by (r, g, b), each clamped
 * to 0..1, and texture coordinates scaled by (su, sv): 1, 1 maps the image
 * once; larger values repeat it. */
void klPutImageEx(float x, float y, float sx, float sy, const void* image, float alpha,
                  int reserved0, int reserved1, int src, int dst, float r, float g, float b,
                  float su, float sv);

/* A rectangle of colour (r, g, b) and alpha, placed and blended as klPutImage. */
void klPutRect(float x, float y, float sx, float sy, float alpha, float r, float g, float b,
               int src, int dst);

/* ---- Memory ------------------------------------------------------------ */

/* malloc and free; klMalloc(0) returns a valid block. */
void* klMalloc(size_t size);
void klFree(void* block);

/* ---- Data archive ------------------------------------------------------ */

/* Opens the ZIP data archive `archive` ("*.alf"); later reads look there,
 * names comparing case-insensitively with '\' and '/' equal. Without it
 * (or if it fails) files are read from the directory. Returns 1 or 0. */
int alfInit(const char* archive);

/* Opens file `name` for reading (`mode` "rb"); null when it does not exist.
 * The handle's first field is the file's size in bytes (int32). */
KLarchiveFile* alfOpen(const char* name, const char* mode);

/* Reads up to size x count bytes into `buffer`; returns the number of whole
 * items read. */
size_t alfRead(void* buffer, size_t size, size_t count, KLarchiveFile* file);

/* Closes the handle. Null is accepted. */
void alfClose(KLarchiveFile* file);

/* ---- Record accessors -------------------------------------------------- */

static inline void klSetRenderTargetSize(void* record, uint16_t width, uint16_t height) {
  memcpy((char*)record + KL_RENDER_TARGET_WIDTH, &width, sizeof width);
  memcpy((char*)record + KL_RENDER_TARGET_HEIGHT, &height, sizeof height);
}
static inline void klSetSceneClip(void* record, float nearDistance, float farDistance) {
  memcpy((char*)record + KL_SCENE_NEAR, &nearDistance, sizeof nearDistance);
  memcpy((char*)record + KL_SCENE_FAR, &farDistance, sizeof farDistance);
}
static inline float klSceneFramesPerSecond(const void* record) {
  float fps;
  memcpy(&fps, (const char*)record + KL_SCENE_FPS, sizeof fps);
  return fps;
}
static inline const void* klSurfaceImage(const void* surface) {
  const void* image;
  memcpy(&image, (const char*)surface + KL_SURFACE_IMAGE, sizeof image);
  return image;
}
static inline int32_t klArchiveFileSize(const KLarchiveFile* file) {
  int32_t size;
  memcpy(&size, file, sizeof size);
  return size;
}

#ifdef __cplusplus
}
#endif

#endif /* KESTREL_H */
