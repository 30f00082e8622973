// What start-up does for the sound modules besides InitPlayer.
//
// Start-up calls RegisterSoundShutdownSteps once, early (before the first
// step that can fail fatally in a sound module) and before it registers
// ReleaseDisplay, so that FatalError stops the music, then the CD, then
// releases the display.
//
// SetMusicPlayerWindow hands over the main window before InitPlayer: it owns
// the sound device and the warning box of a busy device.
#pragma once

#include "platform/window/window_service.hpp"

namespace varnel {

// Registers DeInitPlayer(&musicPlayer) and CdAudioCommand(CdCommand::Stop), in this order,
// as fatal shutdown steps.
void RegisterSoundShutdownSteps();

void SetMusicPlayerWindow(platform::WindowHandle window);

}  // namespace varnel
