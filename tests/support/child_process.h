// Runs a child program of the tests and answers the error box it shows:
// fatal paths end their process, so they are watched from outside.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {

struct ChildProcess {
    PROCESS_INFORMATION pi{};
    // command: the whole command line, program path quoted.
    bool start(std::string command) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    }
    // The exit code; a child still running after 30 s is ended with 99.
    DWORD wait() {
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }
};

// The text of the box titled "错误" of process pid, after which OK is
// pressed; "<no box>" when none appears within 15 s.
inline std::string dismissErrorBox(DWORD pid) {
    for (int i = 0; i < 300; i++) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, nullptr, "错误")) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner != pid) continue;
            char text[2048] = {0};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(50);
    }
    return "<no box>";
}

}  // namespace testsupport
