// The log's context menu: the dry run and the restore of a batch run, on
// the folder and list in the boxes, and the log copied or saved. The
// module decides the entries and what they do; the runtime shows them.
#include <string.h>
#include "app/app.h"
#include "app/job.h"
#include "app/rewrite.h"

enum : int32_t { BOX_YES_NO_QUESTION = 4 | 0x20, BOX_WARNING = 0x30, BUTTON_YES = 5 };

static ArgRecord logList(void) { return mod_Component(MAIN_WINDOW, ID_LOG, KIND_ID_LISTBOX); }

static bool rootGiven(void) {
    char* root = (char*)(uintptr_t)SVC->ReadProperty(MAIN_WINDOW, ID_EDIT_ROOT, PROP_CONTENT, -1);
    bool given = root && *root;
    SVC->Free(root);
    return given;
}

static int32_t logLines(void) {
    ArgRecord a[1] = {logList()};
    return (int32_t)mod_Call(CMD_ListBoxItemCount, 1, a).low;
}

// The log as one text, oldest line first, each line ended by CRLF; owned.
static char* logText(void) {
    int32_t n = logLines();
    char** lines = n > 0 ? (char**)SVC->Allocate(n * (int32_t)sizeof(char*)) : nullptr;
    size_t total = 0;
    for (int32_t i = 0; i < n; i++) {
        // The newest line is on top: the last item is the oldest.
        ArgRecord a[2] = {logList(), mod_Int(n - 1 - i)};
        lines[i] = (char*)(uintptr_t)mod_Call(CMD_ListBoxItemText, 2, a).low;
        total += (lines[i] ? strlen(lines[i]) : 0) + 2;
    }
    char* text = (char*)SVC->Allocate((int32_t)total + 1);
    char* p = text;
    for (int32_t i = 0; i < n; i++) {
        size_t len = lines[i] ? strlen(lines[i]) : 0;
        memcpy(p, lines[i] ? lines[i] : "", len);
        memcpy(p + len, "\r\n", 2);
        p += len + 2;
        SVC->Free(lines[i]);
    }
    *p = 0;
    SVC->Free(lines);
    return text;
}

static void previewClicked(void) { RunWindowJob(PreviewJob); }
static void restoreClicked(void) { RunWindowJob(RestoreJob); }

static void copyClicked(void) {
    char* text = logText();
    ArgRecord a[1] = {mod_Text(text)};
    if (!mod_CallShell(CMD2_SetClipboardText, 1, a).low) mod_InfoBox(K("无法写入剪贴板, 请稍后再试"), BOX_WARNING, K("复制日志"));
    SVC->Free(text);
}

// UTF-8 with a byte-order mark, by way of a temporary file beside the
// chosen one, which it replaces in one step: a failed save leaves an older
// file of that name as it was.
static bool saveLog(const char* path) {
    char* text = logText();
    ArgRecord c[2] = {mod_Text(text), mod_Bool(true)};
    uint8_t* bytes = (uint8_t*)(uintptr_t)mod_Call(CMD_Utf8Bytes, 2, c).low;
    SVC->Free(text);
    char* temporary = TemporaryPathFor(path);
    ArgRecord w[2] = {mod_Text(temporary), mod_Bytes(bytes)};
    bool written = mod_Call(CMD_WriteFileBytes, 2, w).low != 0;
    // What a killed save left there goes first, and only that.
    if (!written && ClearLeftover(temporary, bytes, false)) written = mod_Call(CMD_WriteFileBytes, 2, w).low != 0;
    bool saved = written && ReplaceWithTemporary(path, temporary, nullptr);
    SVC->Free(temporary);
    SVC->Free(bytes);
    return saved;
}

static void saveClicked(void) {
    ArgRecord a[3] = {mod_Text(K("保存日志")), mod_Text(K("vellumor-log.txt")),
                      mod_Text(K("文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*"))};
    char* path = (char*)(uintptr_t)mod_CallShell(CMD2_SaveFileDialog, 3, a).low;
    if (path && *path && !saveLog(path)) {
        char* text = ConcatTexts(2, K("保存日志失败:"), path);
        mod_InfoBox(text, BOX_WARNING, K("保存日志"));
        SVC->Free(text);
    }
    SVC->Free(path);
}

static bool canRunJob(void) { return !JobRunning() && rootGiven(); }
static bool canCopy(void) { return logLines() > 0; }
// The save dialog would hold a running job until it closes.
static bool canSave(void) { return !JobRunning() && logLines() > 0; }

// The menu's lines, in order; a line without text is a separator.
struct LogMenuEntry {
    const char* text;
    bool (*canRun)(void);
    void (*run)(void);
};

static const LogMenuEntry* entries(int32_t* count) {
    static const LogMenuEntry table[] = {
        {K("预览 (不写入)"), canRunJob, previewClicked},
        {K("还原备份..."), canRunJob, restoreClicked},
        {nullptr, nullptr, nullptr},
        {K("复制日志"), canCopy, copyClicked},
        {K("保存日志..."), canSave, saveClicked},
    };
    *count = (int32_t)(sizeof table / sizeof table[0]);
    return table;
}

int32_t LogMenuRequested(int32_t argc, const uint32_t* args, int32_t*) {
    if (argc < 2) return 0;
    int32_t count;
    const LogMenuEntry* table = entries(&count);
    char* lines = nullptr;
    uint32_t greyed = 0;
    for (int32_t i = 0; i < count; i++) {
        mod_Assign(&lines, ConcatTexts(3, lines, i > 0 ? K("\n") : K(""), table[i].text));
        if (table[i].canRun && !table[i].canRun()) greyed |= 1u << i;
    }
    ArgRecord a[5] = {logList(), mod_Int((int32_t)args[0]), mod_Int((int32_t)args[1]), mod_Text(lines),
                      mod_Int((int32_t)greyed)};
    int32_t chosen = (int32_t)mod_CallShell(CMD2_PopupMenu, 5, a).low;
    SVC->Free(lines);
    // Checked again: the state may have changed while the menu was open.
    if (chosen >= 1 && chosen <= count && table[chosen - 1].run && table[chosen - 1].canRun())
        table[chosen - 1].run();
    return 0;
}

// With no backup there is nothing to agree to: the restore then changes
// nothing and says so in its status line.
bool ConfirmRestore(int32_t backups) {
    if (backups == 0) return true;
    char* count = mod_ToText(backups);
    char* text = ConcatTexts(3, K("找到 "), count,
                             K(" 个备份文件 (.bak)。\n仍是本工具转码结果的文件将还原为备份的内容, "
                               "之后改动过的文件保持不变, 备份保留。\n是否还原?"));
    bool yes = mod_InfoBox(text, BOX_YES_NO_QUESTION, K("还原备份")) == BUTTON_YES;
    SVC->Free(text);
    SVC->Free(count);
    return yes;
}
