// A window's background sound: wave data through the system's sound
// player, MIDI data through the platform's sequencer. Where there is no
// device the sound simply does not play.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>

struct WindowSound {
    std::string file;   // MIDI data written out for the sequencer
    std::string alias;  // the sequencer device while it is open
    bool loop = false;
    bool wave = false;  // wave data handed to the sound player
};

bool sound_IsWave(const std::string& data);
bool sound_IsMidi(const std::string& data);
// Starts `data` (repeat: 0 without end, 1 once, 2 not at all); `notify`
// receives the sequencer's end notification (MM_MCINOTIFY).
void sound_Start(WindowSound* s, HWND notify, const std::string& data, int32_t repeat);
void sound_Stop(WindowSound* s);
// MM_MCINOTIFY: a looping MIDI sound that ended starts again.
void sound_Notified(WindowSound* s, HWND notify, WPARAM status);
// Whether the sequencer device is open (MIDI being played).
bool sound_SequencerOpen(const WindowSound* s);
