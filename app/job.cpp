// The Transcode job and the two other handlers of the main window.
#include <string.h>
#include "app/app.h"
#include "app/job.h"
#include "app/rewrite.h"

static bool s_jobRunning;

// Locations of the module's subscript checks.
enum : int32_t { LOC_JOB = 0x04014E60 };

static char* readContent(uint32_t component) {
    uint64_t v = SVC->ReadProperty(MAIN_WINDOW, component, PROP_CONTENT, -1);
    return (char*)(uintptr_t)(uint32_t)v;
}

static void setButtonsEnabled(bool enabled) {
    SVC->WriteProperty(MAIN_WINDOW, ID_BUTTON_CHOOSE, PROP_DISABLED, -1, enabled ? 0 : 1, 0);
    SVC->WriteProperty(MAIN_WINDOW, ID_BUTTON_START, PROP_DISABLED, -1, enabled ? 0 : 1, 0);
}

char* ProgressText(const char* prefix, int32_t done, int32_t total) {
    char* d = mod_ToText(done);
    char* t = mod_ToText(total);
    char* s = ConcatTexts(4, prefix, d, K(" 共计:"), t);
    SVC->Free(d);
    SVC->Free(t);
    return s;
}


static const int64_t kMaxFileBytes = 256 * 1024 * 1024;
static const int64_t kLargeFileBytes = 16 * 1024 * 1024;

int64_t StampSize(const char* stamp) {
    const char* p = stamp + 1;
    uint32_t part[2] = {0, 0};
    for (uint32_t& v : part) {
        if (*p++ != ' ' || *p < '0' || *p > '9') return -1;
        while (*p >= '0' && *p <= '9') v = v * 10 + (uint32_t)(*p++ - '0');
    }
    return (int64_t)part[0] << 32 | part[1];
}

Look ExamineFile(const char* path) {
    Look l = {O_FAILED, nullptr, nullptr, 0, -1};
    // The stamp and the bytes from one open: a look at every file costs
    // lookups, more of them in a large folder.
    ArgRecord read[3] = {mod_Text(path), mod_Int((int32_t)kMaxFileBytes), mod_ByAddr(&l.stamp, TYPE_TEXT)};
    l.content = (uint8_t*)(uintptr_t)mod_Call(CMD_ReadFileStamped, 3, read).low;
    if (!l.stamp) return l;
    if (l.stamp[0] == 'L') l.outcome = O_LINK;
    if (l.stamp[0] == 'X') l.outcome = O_DEVICE;
    if (l.stamp[0] == 'R') l.outcome = O_READ_ONLY;
    if (l.stamp[0] != 'F') return l;
    int64_t size = StampSize(l.stamp);
    if (size > kMaxFileBytes) l.outcome = O_TOO_LARGE;
    if (size == 0) l.outcome = O_UTF8;
    if (size > kMaxFileBytes || size <= 0) return l;
    // Each step over a large file takes long: the window answers between them.
    const bool large = size > kLargeFileBytes;
    ArgRecord b[1] = {mod_Bytes(l.content)};
    l.length = (int32_t)mod_Call(CMD_ByteSetLength, 1, b).low;
    if (large) mod_ProcessEvents();
    // Unreadable, locked, or changed since the stamp was taken.
    if (l.length != size) l.outcome = O_FAILED;
    else if (IsUtf8Text(l.content, l.length)) l.outcome = O_UTF8;
    else {
        if (large) mod_ProcessEvents();
        l.utf8Length = Utf8LengthOf(l.content);
        l.outcome = l.utf8Length < 0 ? O_NOT_SYSTEM : O_CONVERT;
    }
    if (large) mod_ProcessEvents();
    return l;
}

void ForgetLook(Look* l) {
    SVC->Free(l->stamp);
    SVC->Free(l->content);
    l->stamp = nullptr;
    l->content = nullptr;
}

// The bytes examined, beside the file, put over an older backup only once
// they are all written: the backup holds exactly what the conversion will
// start from, whatever the file does meanwhile. A failed write leaves the
// older backup as it was; a folder, link or device where the backup goes is
// left alone.
static bool backUp(const char* path, const Look* look) {
    char* bak = ConcatTexts(2, path, K(".bak"));
    char* temporary = TemporaryPathFor(bak);
    // To a new name only; what a killed run left there goes first.
    ArgRecord w[3] = {mod_Text(temporary), mod_Bytes(look->content), mod_Text(look->stamp)};
    bool written = mod_Call(CMD_WriteFileBytes, 3, w).low != 0;
    if (!written && ClearLeftover(temporary, look->content, false)) written = mod_Call(CMD_WriteFileBytes, 3, w).low != 0;
    if (look->length > kLargeFileBytes) mod_ProcessEvents();
    // The replace removes the temporary file itself when it fails.
    bool ok = written && ReplaceWithTemporary(bak, temporary, nullptr);
    SVC->Free(temporary);
    SVC->Free(bak);
    return ok;
}

// What the backup phase did for a file.
enum Backup : uint8_t { B_NONE, B_MADE, B_FAILED };

// What a look at a file concludes from its bytes alone, or from its stamp:
// the same stamp then means the same conclusion.
static bool fromContentAlone(Outcome o) { return o != O_CONVERT && o != O_FAILED; }

// Whether the stream component can be used, asked once a job before the
// first file is written: 0 not asked yet, 1 it can, -1 it cannot.
static int8_t s_streams;

static bool streamsReady(void) {
    if (s_streams == 0) s_streams = StreamsUsable() ? 1 : -1;
    return s_streams > 0;
}

bool StreamsWereMissing(void) { return s_streams < 0; }

// Converts one found file, logging what happened to it; true when it was
// rewritten. With backups on, only a file whose backup was made is, and
// only while it is still what the backup holds (`kept`: its stamp then).
static bool convertOne(char* path, bool backups, Backup backup, const char* kept, Outcome seen) {
    if (backup == B_FAILED) {
        Report(O_BACKUP_FAILED, path);
        return false;
    }
    // Left alone by the backup phase for what its bytes are (`seen`, with
    // its stamp `kept`), and unchanged since: its line again, without a
    // second read.
    if (kept && fromContentAlone(seen)) {
        char* now = (char*)(uintptr_t)mod_CallText(CMD_FileStamp, path).low;
        bool same = now && CompareTexts(now, kept) == 0;
        SVC->Free(now);
        if (same) {
            Report(seen, path);
            return false;
        }
    }
    Look l = ExamineFile(path);
    bool done = false;
    if (l.outcome != O_CONVERT) {
        Report(l.outcome, path);
    } else if (backups && (backup != B_MADE || CompareTexts(l.stamp, kept) != 0)) {
        // It changed since the backup phase looked at it.
        Report(O_FAILED, path);
    } else if (streamsReady()) {
        bool otherEncoding = ProbablyNotGbk(l.content + 8, l.length);
        // The bytes go to the stream as text in the code page as they are:
        // the look found no zero byte in them, so a text copy would hold the
        // same, and a large file has no room for it.
        done = RewriteAsUtf8Unchanged(&l.content, &path, l.stamp, l.utf8Length) != 0;
        Report(done ? O_CONVERTED : O_FAILED, path);
        if (done && otherEncoding) Report(O_NOT_GBK, path);
    }
    ForgetLook(&l);
    return done;
}

// The root must be enumerable in the form the search will use: a root
// with trailing spaces passes a plain existence test but finds nothing.
static bool rootCanBeSearched(const char* root) {
    char* pattern = ConcatTexts(3, root, EndsWithBackslash(root) ? K("") : K("\\"), K("*.*"));
    uint32_t handle = 0;
    char* name = (char*)(uintptr_t)SVC->CallUtility(UTIL_FindFile, pattern, FIND_FOLDERS, 0u, &handle);
    bool ok = name || mod_Call(CMD_LastFindError, 0, nullptr).low == 0;
    SVC->Free(name);
    SVC->CallUtility(UTIL_CloseFind, handle);
    SVC->Free(pattern);
    return ok;
}

static bool validateRoot(void) {
    if (!rootDirectory || !*rootDirectory) {
        mod_InfoBox(K("请选择欲转码的服务端根目录"), 0, K("缺少目录设置"));
        return false;
    }
    if (!rootCanBeSearched(rootDirectory)) {
        char* text = ConcatTexts(2, K("所选目录不存在:"), rootDirectory);
        mod_InfoBox(text, 0, K("目录无效"));
        SVC->Free(text);
        return false;
    }
    return true;
}

// Whether item i repeats an earlier one, in either case: it is searched
// once.
static bool repeatsEarlier(int32_t i) {
    const char* item = mod_ArrayText(extensionList, i, LOC_JOB, 4);
    for (int32_t j = 1; j < i; j++)
        if (SameName(mod_ArrayText(extensionList, j, LOC_JOB, 4), item)) return true;
    return false;
}

// An item is an extension, not a pattern: "*" or "?" would also match the
// job's own backups, and the platform matches them against short names.
static bool itemsArePlain(void) {
    for (int32_t i = 1; i <= mod_ArrayCount(extensionList); i++) {
        const char* item = mod_ArrayText(extensionList, i, LOC_JOB, 5);
        if (item && (strchr(item, '*') || strchr(item, '?'))) {
            char* text = ConcatTexts(2, K("扩展名不能含有通配符 * 或 ? :"), item);
            mod_InfoBox(text, 0, K("扩展名无效"));
            SVC->Free(text);
            return false;
        }
    }
    return true;
}

// One job per tree: none may run where another process's job runs, above
// it or below it.
static bool claimTree(void) {
    ArgRecord a[2] = {mod_Text(rootDirectory), mod_Bool(true)};
    if (mod_Call(CMD_ClaimTree, 2, a).low) return true;
    char* text = ConcatTexts(2, K("另一个任务正在处理此目录或其上下级目录, 请等它结束后再试:"), rootDirectory);
    mod_InfoBox(text, 0, K("目录正在使用"));
    SVC->Free(text);
    return false;
}

bool FindJobFiles(void) {
    ResetTally();
    ArgRecord log[1] = {mod_Component(MAIN_WINDOW, ID_LOG, KIND_ID_LISTBOX)};
    mod_Call(CMD_ListBoxClear, 1, log);
    mod_Assign(&rootDirectory, readContent(ID_EDIT_ROOT));
    char* extensions = readContent(ID_EDIT_EXTENSIONS);
    ArgRecord split[3] = {mod_Text(extensions), mod_Text(K(",")), mod_Omitted()};
    void* items = (void*)(uintptr_t)mod_Call(CMD_SplitText, 3, split).low;
    SVC->Free(extensions);
    mod_FreeTextArray(extensionList);
    extensionList = items ? items : (void*)mod_emptyArray;
    if (mod_ArrayCount(extensionList) == 0) {
        mod_InfoBox(K("请设置至少一个扩展名过滤器"), 0, K("缺少过滤设置"));
        return false;
    }
    if (!itemsArePlain() || !validateRoot() || !claimTree()) return false;

    setButtonsEnabled(false);
    mod_Log(K("搜索带转码文件..."));
    mod_SetStatusOwned(ConcatTexts(1, K("搜寻待转码文件...")));
    int32_t given = mod_ArrayCount(extensionList), e = 0;
    for (int32_t i = 1; i <= given; i++) e += repeatsEarlier(i) ? 0 : 1;
    SearchState* search = NewSearchState();
    for (int32_t i = 1, searched = 0; i <= given; i++) {
        if (repeatsEarlier(i)) continue;
        char* item = mod_ArrayText(extensionList, i, LOC_JOB, 1);
        char* is = mod_ToText(++searched);
        char* es = mod_ToText(e);
        mod_LogOwned(ConcatTexts(6, K("搜索["), is, K("/"), es, K("] >> *."), item));
        SVC->Free(is);
        SVC->Free(es);
        char* pattern = ConcatTexts(2, K("*."), item);
        SearchFiles(search, &rootDirectory, FileFound, &pattern);
        SVC->Free(pattern);
        mod_ProcessEvents();
    }
    FreeSearchState(search);
    return true;
}

void EndJobFiles(void) {
    ArgRecord a[2] = {mod_Text(rootDirectory), mod_Bool(false)};
    mod_Call(CMD_ClaimTree, 2, a);
    mod_ReplaceWithEmptyArray(&foundFiles);
    mod_ReplaceWithEmptyArray(&extensionList);
    mod_Assign(&rootDirectory, nullptr);
    setButtonsEnabled(true);
}

void TranscodeJob(void) {
    s_streams = 0;
    if (!FindJobFiles()) return;
    int32_t n = mod_ArrayCount(foundFiles);
    // What the backup phase did for each file (the conversion rewrites only
    // files whose backup was made), and what its look at it concluded.
    uint8_t* backedUp = n > 0 ? (uint8_t*)SVC->Allocate(2 * n) : nullptr;
    if (n > 0) memset(backedUp, 0, 2 * (size_t)n);  // B_NONE, and a look not taken
    uint8_t* seen = backedUp + n;
    // The stamp of each file backed up, as the backup holds it, and of each
    // file left alone for what it holds.
    char** kept = n > 0 ? (char**)SVC->Allocate(n * (int32_t)sizeof(char*)) : nullptr;
    if (n > 0) memset(kept, 0, (size_t)n * sizeof(char*));
    uint64_t checked = SVC->ReadProperty(MAIN_WINDOW, ID_CHECK_BACKUP, PROP_CHECKED, -1);
    bool backups = (uint32_t)checked != 0;
    if (backups) {
        mod_Log(K("开始备份文件..."));
        mod_SetProgress(PROP_MAXIMUM, n);
        for (int32_t j = 1; j <= n; j++) {
            mod_SetStatusOwned(ProgressText(K("备份 已完成:"), j, n));
            const char* path = mod_ArrayText(foundFiles, j, LOC_JOB, 2);
            // A backup only of a file that will be rewritten: an older
            // backup is never replaced by a copy of one that will not.
            Look l = ExamineFile(path);
            if (l.outcome == O_CONVERT && !streamsReady()) {
                ForgetLook(&l);
                break;
            }
            if (l.outcome == O_CONVERT) backedUp[j - 1] = backUp(path, &l) ? B_MADE : B_FAILED;
            seen[j - 1] = l.outcome;
            if (backedUp[j - 1] == B_MADE || fromContentAlone(l.outcome)) {
                kept[j - 1] = l.stamp;
                l.stamp = nullptr;
            }
            ForgetLook(&l);
            mod_SetProgress(PROP_POSITION, j);
            mod_ProcessEvents();
        }
    }

    if (s_streams >= 0) {
        mod_Log(K("开始文件编码转换..."));
        mod_SetProgress(PROP_POSITION, 0);
        mod_SetProgress(PROP_MAXIMUM, n);
    }
    int32_t converted = 0;
    for (int32_t k = 1; k <= n && s_streams >= 0; k++) {
        mod_SetStatusOwned(ProgressText(K("转换 已完成:"), k, n));
        char* path = mod_ArrayText(foundFiles, k, LOC_JOB, 3);
        if (convertOne(path, backups, (Backup)backedUp[k - 1], kept[k - 1], (Outcome)seen[k - 1])) converted++;
        mod_SetProgress(PROP_POSITION, k);
        mod_ProcessEvents();
    }

    for (int32_t k = 1; k <= n; k++) SVC->Free(kept[k - 1]);
    SVC->Free(backedUp);
    SVC->Free(kept);
    if (s_streams < 0) {
        // Asked before the first write: nothing was written.
        mod_SetStatusOwned(ConcatTexts(1, K("转换中止 无法使用 adodb.stream 组件")));
        mod_Log(K("转码中止 无法使用 adodb.stream 组件, 没有文件被写入"));
        EndJobFiles();
        mod_InfoBox(K("无法创建或使用 \"adodb.stream\" 组件, 没有文件被写入。\n"
                      "转码要用到 Windows 数据访问组件中的 adodb.stream: 请确认它已安装并注册, 然后重试。"),
                    0, K("无法转码"));
        return;
    }
    mod_SetStatusOwned(ProgressText(K("转换完成 已转换:"), converted, n));
    // The specified message when all went well; else how many of what.
    char* problems = ProblemSummary();
    const char* closing = problems ? problems : K("转码完成 您现在可以上传您的服务端到后台了");
    char* firstLine = ConcatTexts(1, closing);
    if (char* end = strchr(firstLine, '\n')) *end = 0;
    mod_LogOwned(firstLine);
    EndJobFiles();
    mod_InfoBox(closing, 0, K("转换完成"));
    SVC->Free(problems);
}

void NoteLeftover(const char* temporary, bool removed) {
    Report(removed ? O_LEFTOVER_REMOVED : O_LEFTOVER_KEPT, temporary);
}

void RunWindowJob(void (*job)(void)) {
    if (s_jobRunning) return;
    s_jobRunning = true;
    job();
    s_jobRunning = false;
}

bool JobRunning(void) { return s_jobRunning; }

void TranscodeClicked(void) { RunWindowJob(TranscodeJob); }

void ChooseFolderClicked(void) {
    if (s_jobRunning) return;
    ArgRecord a[2] = {mod_Text(K("请选择服务端根目录")), mod_Bool(false)};
    char* folder = (char*)(uintptr_t)mod_CallShell(CMD2_BrowseForFolder, 2, a).low;
    SVC->WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, PROP_CONTENT, -1, (uint32_t)(uintptr_t)folder, 0);
    SVC->Free(folder);
}

// A close request while a job runs is refused (the handler returns 0).
int32_t CloseRequested(int32_t, const uint32_t*, int32_t* returned) {
    if (!s_jobRunning) return 0;
    *returned = 1;
    return 0;
}

int32_t ChooseFolderHandler(int32_t, const uint32_t*, int32_t*) {
    ChooseFolderClicked();
    return 0;
}

int32_t TranscodeHandler(int32_t, const uint32_t*, int32_t*) {
    TranscodeClicked();
    return 0;
}
