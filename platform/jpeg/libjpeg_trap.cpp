#include "platform/jpeg/libjpeg_trap.hpp"

#include <jerror.h>

#include "platform/jpeg/jpeg_service.hpp"

namespace platform::libjpeg {
namespace {

int StatusOfMessage(int code) {
  switch (code) {
    case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
      return kJpegUnsupported;
    case JERR_OUT_OF_MEMORY:
      return kJpegNoMemory;
    default:
      return kJpegBadData;
  }
}

void OnError(j_common_ptr common) { Fail(common, StatusOfMessage(common->err->msg_code)); }

void OnMessage(j_common_ptr common, int level) {
  if (level >= 0) return;  // trace messages
  ++common->err->num_warnings;
  if (common->err->msg_code == JWRN_JPEG_EOF) Fail(common, kJpegBadData);
}

void Silently(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallErrorTrap(ErrorTrap* trap) {
  jpeg_std_error(&trap->manager);
  trap->manager.error_exit = OnError;
  trap->manager.emit_message = OnMessage;
  trap->manager.output_message = Silently;
  trap->status = kJpegOk;
  return &trap->manager;
}

void Fail(j_common_ptr common, int status) {
  ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(common->err);
  trap->status = status;
  std::longjmp(trap->recovery, 1);
}

}  // namespace platform::libjpeg
