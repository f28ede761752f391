#include "ui/kinds/window/sound.h"
#include <mmsystem.h>
#include <stdio.h>
#include <string.h>

bool sound_IsWave(const std::string& d) {
    return d.size() >= 12 && memcmp(d.data(), "RIFF", 4) == 0 && memcmp(d.data() + 8, "WAVE", 4) == 0;
}

bool sound_IsMidi(const std::string& d) {
    if (d.size() >= 14 && memcmp(d.data(), "MThd", 4) == 0) return true;
    return d.size() >= 12 && memcmp(d.data(), "RIFF", 4) == 0 && memcmp(d.data() + 8, "RMID", 4) == 0;
}

namespace {

// The sequencer reads files only, so MIDI data goes to a temporary file.
bool writeTempFile(const std::string& data, std::string* path) {
    char dir[MAX_PATH], name[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "vmd", 0, name)) return false;
    HANDLE f = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    DWORD written = 0;
    bool ok = f != INVALID_HANDLE_VALUE && WriteFile(f, data.data(), (DWORD)data.size(), &written, nullptr) &&
              written == data.size();
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    if (!ok) {
        DeleteFileA(name);
        return false;
    }
    *path = name;
    return true;
}

bool mci(const std::string& command, HWND notify = nullptr) {
    return mciSendStringA(command.c_str(), nullptr, 0, notify) == 0;
}

bool playMidi(WindowSound* s, HWND notify) {
    return mci("play " + s->alias + " from 0 notify", notify);
}

}  // namespace

void sound_Start(WindowSound* s, HWND notify, const std::string& data, int32_t repeat) {
    sound_Stop(s);
    if (repeat == 2) return;
    s->loop = repeat == 0;
    if (sound_IsWave(data)) {
        DWORD flags = SND_ASYNC | SND_NODEFAULT | SND_MEMORY | (s->loop ? SND_LOOP : 0);
        s->wave = PlaySoundA(data.data(), nullptr, flags) != FALSE;
        return;
    }
    if (!sound_IsMidi(data) || !writeTempFile(data, &s->file)) return;
    char alias[32];
    snprintf(alias, sizeof alias, "vell_bg_%p", (void*)s);
    s->alias = alias;
    // No sequencer device (or no sound system at all): nothing plays.
    if (!mci("open \"" + s->file + "\" type sequencer alias " + s->alias) || !playMidi(s, notify)) sound_Stop(s);
}

void sound_Stop(WindowSound* s) {
    if (s->wave) PlaySoundA(nullptr, nullptr, SND_PURGE);
    s->wave = false;
    if (!s->alias.empty()) mci("close " + s->alias);
    s->alias.clear();
    if (!s->file.empty()) DeleteFileA(s->file.c_str());
    s->file.clear();
}

void sound_Notified(WindowSound* s, HWND notify, WPARAM status) {
    if (status == MCI_NOTIFY_SUCCESSFUL && s->loop && !s->alias.empty() && !playMidi(s, notify)) sound_Stop(s);
}

bool sound_SequencerOpen(const WindowSound* s) { return !s->alias.empty(); }
