#include "varnel/shell/startup.hpp"

#include <cstdlib>
#include <thread>

#include "platform/clock/clock_service.hpp"
#include "platform/window/window_service.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/resources/setup_dialog_template.hpp"
#include "varnel/shell/display.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/shell/magazine_state.hpp"
#include "varnel/shell/main_sequence.hpp"
#include "varnel/shell/settings.hpp"
#include "varnel/shell/window_procedure.hpp"
#include "varnel/sound/cd_audio.hpp"
#include "varnel/sound/music_player.hpp"
#include "varnel/sound/sound_startup.hpp"

namespace varnel {

namespace {

platform::WindowHandle mainWindow = nullptr;

void RestoreCursorAtExit() { MakeCursorVisible(); }
void ReleaseArchiveAtExit() { ReleaseResourceDirectory(); }

uint32_t PlayerKind() {
  if (settings.useMsxPlayer == 0) return kSilentPlayer;
  if (settings.player == setup_dialog::kFmod) return kFmodPlayer;
  if (settings.player == setup_dialog::kBass) return kBassPlayer;
  return kNoPlayer;
}

const char* StartingTune() {
  if (settings.startingTune == setup_dialog::kTune1) return "Msx0.xm";
  if (settings.startingTune == setup_dialog::kTune2) return "Msx1.xm";
  return "Msx2.xm";
}

void MagazineThread() {
  MagazineMain();
  platform::Window().SendMessage(mainWindow, platform::WM_CLOSE, 0, 0);
}

}  // namespace

int VarnelMain() {
  OpenResourceArchive();
  std::atexit(ReleaseArchiveAtExit);
  // A fatal error stops the music, the CD and the display, in that order.
  RegisterSoundShutdownSteps();
  RegisterFatalShutdownStep(ReleaseDisplay);
  std::atexit(RestoreCursorAtExit);

  platform::WindowService& window = platform::Window();
  mainWindow = window.CreateMainWindow("Varnel", MainWindowProcedure);
  if (!mainWindow) return 0;
  SetFatalMessageBoxOwner(mainWindow);
  SetMusicPlayerWindow(mainWindow);

  LoadSettings();
  MakeCursorVisible();
  cursorAutoHide = 0;
  const SetupDialogResult dialog = RunSetupDialog();
  if (dialog.saveRequested) SaveSettings();
  if (!dialog.accepted) return 0;

  window.ShowWindow(mainWindow);
  {
    std::lock_guard<std::recursive_mutex> lock(displayLock);
    platform::Sleep(1000);
    displayInitialised = 1;
    CreateDisplay(mainWindow);
  }
  InitPlayer(&musicPlayer, StartingTune(), SoundConfigOfSettings(), PlayerKind());

  std::thread magazine(MagazineThread);
  if (settings.cursorHide == 1) cursorAutoHide = 1;
  platform::WindowMessage message{};
  while (window.GetMessage(message)) window.DispatchMessage(message);

  // The window may have gone while the magazine still ran (closed by the
  // window manager): stop it and wait before the music and the display go.
  magazineStopRequested = true;
  magazine.join();
  DeInitPlayer(&musicPlayer);
  ReleaseDisplay();
  window.KillTimer(mainWindow, cursorTimerId);
  MakeCursorVisible();
  return 0;
}

}  // namespace varnel
