// Runs one Transcode job of the real tool on a tree and times it from
// outside, as a user would see it.
//   vell_bench_driver TOOL_EXE ROOT [TIMEOUT_SECONDS [LOG_FILE]]
// Types the root, keeps the backup ticked, clicks 按钮2, then every 50 ms
// asks the main window for an answer (SendMessageTimeout) and reads the
// status line, which gives the phase boundaries. The job ends when the
// box "转换完成" shows; the driver answers it, reads the tool's peak working
// set and closes the tool with Esc. Prints key=value lines; LOG_FILE gets
// the tool's log, one line each (GBK, newest first), to tell outcomes apart.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "tools/bench/bench_core.h"

namespace {

enum : int { C_EDIT_ROOT = 110, C_EDIT_EXT = 140, C_CHECK_BACKUP = 150, C_LOG = 160, C_STATUS = 200, C_START = 210 };

const DWORD kAnswerLimitMs = 120000;  // a probe slower than this counts as hung
const double kAnswerGoalS = 0.25;      // the window answers within this

LARGE_INTEGER g_freq;

double nowS() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return bench::seconds(t.QuadPart, g_freq.QuadPart);
}

struct FindCtx { DWORD pid; const char* title; HWND found; };

BOOL CALLBACK findTop(HWND h, LPARAM lp) {
    FindCtx* c = (FindCtx*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != c->pid || !IsWindowVisible(h)) return TRUE;
    char t[256] = {0};
    GetWindowTextA(h, t, sizeof t);
    if (strcmp(t, c->title) != 0) return TRUE;
    c->found = h;
    return FALSE;
}

HWND findWindowOf(DWORD pid, const char* title) {
    FindCtx c{pid, title, nullptr};
    EnumWindows(findTop, (LPARAM)&c);
    return c.found;
}

// One message to a window of the tool; the answer time in seconds, or a
// negative value when it did not answer within the limit.
double probe(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
    double t = nowS();
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, kAnswerLimitMs, &r)) return -1;
    if (result) *result = r;
    return nowS() - t;
}

struct Worst {
    double seconds = 0;
    double at = 0;  // since the click
    bench::Phase phase = bench::Phase::Unknown;
    int over = 0;  // answers slower than the goal
    void note(double s, double when, bench::Phase p) {
        if (s > seconds) { seconds = s; at = when; phase = p; }
        if (s > kAnswerGoalS) over++;
        // Where the window stops answering, to find the step that holds it:
        // VELL_BENCH_GAPS=1 lists the answers over the goal, =N those over N ms.
        const char* gaps = getenv("VELL_BENCH_GAPS");
        double listed = gaps && atoi(gaps) > 1 ? atoi(gaps) / 1000.0 : kAnswerGoalS;
        if (gaps && s > listed) fprintf(stderr, "slow answer %.0f ms ending at %.3f s\n", s * 1000, when);
    }
};

// Copies the log list box of the tool into a file.
void saveLog(HWND log, long lines, const char* path) {
    FILE* f = fopen(path, "wb");
    if (!f) return;
    std::string line;
    for (long i = 0; i < lines; i++) {
        DWORD_PTR len = 0;
        if (!SendMessageTimeoutA(log, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, 10000, &len) || (LRESULT)len < 0) break;
        // Across processes the length may count UTF-16 units while the
        // text arrives in GBK, up to two bytes a unit.
        line.assign(2 * len + 2, '\0');
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutA(log, LB_GETTEXT, i, (LPARAM)&line[0], SMTO_NORMAL, 10000, &got) || (LRESULT)got < 0) break;
        fwrite(line.data(), 1, got, f);
        fputc('\n', f);
    }
    fclose(f);
}

const char* phaseName(bench::Phase p) {
    switch (p) {
    case bench::Phase::Idle: return "idle";
    case bench::Phase::Search: return "search";
    case bench::Phase::Backup: return "backup";
    case bench::Phase::Convert: return "convert";
    case bench::Phase::Done: return "done";
    default: return "unknown";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: vell_bench_driver TOOL_EXE ROOT [TIMEOUT_SECONDS [LOG_FILE]]\n");
        return 2;
    }
    QueryPerformanceFrequency(&g_freq);
    double timeout = argc > 3 ? atof(argv[3]) : 3600;

    std::string cmd = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "driver: cannot start %s (%lu)\n", argv[1], GetLastError());
        return 3;
    }
    HWND main = nullptr;
    for (int i = 0; i < 600 && !main; i++) {
        main = findWindowOf(pi.dwProcessId, "Vellumor");
        if (!main) Sleep(50);
    }
    if (!main) {
        fprintf(stderr, "driver: no window captioned Vellumor\n");
        TerminateProcess(pi.hProcess, 9);
        return 4;
    }
    WaitForInputIdle(pi.hProcess, 10000);
    HWND status = GetDlgItem(main, C_STATUS);
    DWORD_PTR r = 0;
    SendMessageTimeoutA(GetDlgItem(main, C_EDIT_ROOT), WM_SETTEXT, 0, (LPARAM)argv[2], SMTO_NORMAL, 10000, &r);
    SendMessageTimeoutA(GetDlgItem(main, C_CHECK_BACKUP), BM_GETCHECK, 0, 0, SMTO_NORMAL, 10000, &r);
    if (r != BST_CHECKED) fprintf(stderr, "driver: the backup box is not ticked at start-up\n");
    char ext[512] = {0};
    SendMessageTimeoutA(GetDlgItem(main, C_EDIT_EXT), WM_GETTEXT, sizeof ext, (LPARAM)ext, SMTO_NORMAL, 10000, &r);

    // Phase starts, seconds since the click; -1 until seen.
    double tBackup = -1, tConvert = -1, tDone = -1, tBox = -1;
    long total = -1;
    Worst worst;
    int probes = 0, hung = 0;
    bench::Phase phase = bench::Phase::Search;

    double t0 = nowS();
    PostMessageA(GetDlgItem(main, C_START), BM_CLICK, 0, 0);
    HWND box = nullptr;
    double next = t0;
    while (!box) {
        double t = nowS() - t0;
        if (t > timeout) break;
        double a = probe(main, WM_NULL, 0, 0, nullptr);
        probes++;
        if (a < 0) { hung++; a = kAnswerLimitMs / 1000.0; }
        worst.note(a, nowS() - t0, phase);
        char text[256] = {0};
        double b = probe(status, WM_GETTEXT, sizeof text, (LPARAM)text, nullptr);
        if (b >= 0) {
            worst.note(b, nowS() - t0, phase);
            bench::Status st = bench::parseStatus(text);
            double seen = nowS() - t0;
            if (st.phase == bench::Phase::Backup && tBackup < 0) tBackup = seen;
            if (st.phase == bench::Phase::Convert && tConvert < 0) tConvert = seen;
            if (st.phase == bench::Phase::Done && tDone < 0) tDone = seen;
            if (st.total >= 0) total = st.total;
            if (st.phase != bench::Phase::Unknown && st.phase != bench::Phase::Idle) phase = st.phase;
        }
        box = findWindowOf(pi.dwProcessId, "转换完成");
        if (box) {
            tBox = nowS() - t0;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        next += 0.05;
        double wait = next - nowS();
        if (wait > 0) Sleep((DWORD)(wait * 1000));
        else next = nowS();
    }
    if (tDone < 0 && box) {
        char text[256] = {0};
        SendMessageTimeoutA(status, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 10000, &r);
        bench::Status st = bench::parseStatus(text);
        if (st.phase == bench::Phase::Done) { tDone = tBox; total = st.total; }
    }
    DWORD_PTR logLines = 0;
    SendMessageTimeoutA(GetDlgItem(main, C_LOG), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 30000, &logLines);
    if (argc > 4) saveLog(GetDlgItem(main, C_LOG), (long)logLines, argv[4]);
    if (box) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 200 && IsWindow(box); i++) Sleep(20);
    }
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc);

    HWND focus = GetDlgItem(main, C_EDIT_ROOT);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 9);

    // The search ends when the first phase after it shows.
    double tSearchEnd = tBackup >= 0 ? tBackup : tConvert;
    printf("job_found=%ld\njob_extensions=%s\n", total, ext);
    printf("job_search_s=%.3f\n", tSearchEnd);
    printf("job_backup_s=%.3f\n", tBackup >= 0 && tConvert >= 0 ? tConvert - tBackup : -1.0);
    printf("job_convert_s=%.3f\n", tConvert >= 0 && tBox >= 0 ? tBox - tConvert : -1.0);
    printf("job_total_s=%.3f\n", tBox);
    printf("job_status_done_s=%.3f\n", tDone);
    printf("job_log_lines=%lu\n", (unsigned long)logLines);
    printf("job_peak_ws=%lu\n", (unsigned long)pmc.PeakWorkingSetSize);
    printf("job_peak_pagefile=%lu\n", (unsigned long)pmc.PeakPagefileUsage);
    printf("job_worst_answer_ms=%.1f\njob_worst_answer_at_s=%.3f\njob_worst_answer_phase=%s\n",
           worst.seconds * 1000, worst.at, phaseName(worst.phase));
    printf("job_answers_over_goal=%d\n", worst.over);
    printf("job_probes=%d\njob_hung_probes=%d\njob_exit_code=%lu\n", probes, hung, (unsigned long)code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return tBox >= 0 ? 0 : 1;
}
