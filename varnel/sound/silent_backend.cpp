// The player of "Use MSX player" off: every operation only leaves a trace
// line on standard output.
#include <cstdarg>
#include <cstdio>

#include "varnel/sound/music_backends.hpp"

namespace varnel {

namespace {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Trace(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::fflush(stdout);
}

void DummyPlayModule(const char* moduleFile) {
  Trace("\n DUMMY: Dummy_PlayModule( %s )", moduleFile ? moduleFile : "(null)");
}
void DummyStopModule() { Trace("\n DUMMY: Dummy_StopModule()"); }
void DummyResumeModule() { Trace("\n DUMMY: Dummy_ResumeModule()"); }
void DummySetVolume(int32_t level) { Trace("\n DUMMY: Dummy_SetVolume( %i )", level); }

}  // namespace

void InitSilentPlayer(MusicPlayer* player) {
  Trace("\n DUMMY: Dummy_InitPlayer");
  player->PlayModule = DummyPlayModule;
  player->StopModule = DummyStopModule;
  player->ResumeModule = DummyResumeModule;
  player->SetVolume = DummySetVolume;
}

void DeInitSilentPlayer() { Trace("\n DUMMY: Dummy_DeInitPlayer"); }

}  // namespace varnel
