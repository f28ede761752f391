// The ways in from outside the window: a folder named on the command line
// or dropped on the window, and a whole job run unseen with --batch.
#include <string.h>
#include "app/app.h"
#include "app/job.h"
#include "vell_version.h"

// Locations of the module's subscript checks.
enum : int32_t { LOC_COMMAND_LINE = 0x04014F10 };
enum : int32_t { EXIT_DONE = 0, EXIT_FAILED = 1, EXIT_REFUSED = 2 };

struct StartRequest {
    bool batch;
    bool help;
    bool version;
    bool bad;               // an unknown option or one without its value
    char* folder;           // owned, full path; null: none
    const char* extensions; // borrowed from the arguments; null: the window's own
    bool extensionsGiven;
    bool noBackup;
    bool dryRun;
    bool restore;
    const char* refused;    // why a combination of options is refused; null: none
    char* reason;           // owned: why an option or argument is refused; null: none
};

// A folder, a link (to a folder, as a root must be) or nothing yet: not a
// file that was meant for the root box.
static bool isFolderOrMissing(const char* path) {
    char* stamp = (char*)(uintptr_t)mod_CallText(CMD_FileStamp, path).low;
    bool folder = !stamp || stamp[0] == 'D' || stamp[0] == 'L';
    SVC->Free(stamp);
    return folder;
}

static char* folderPath(const char* given) {
    return (char*)(uintptr_t)SVC->CallUtility(UTIL_FolderPath, given);
}

// The options, each of which may be given once.
enum Option { OPT_BATCH, OPT_EXT, OPT_NO_BACKUP, OPT_DRY_RUN, OPT_RESTORE, OPT_HELP, OPT_VERSION, OPT_COUNT };
struct OptionName {
    const char* name;
    Option option;
};

static int32_t optionOf(const char* a) {
    const OptionName names[] = {
        {K("--batch"), OPT_BATCH},     {K("--ext"), OPT_EXT},     {K("--no-backup"), OPT_NO_BACKUP},
        {K("--dry-run"), OPT_DRY_RUN}, {K("--restore"), OPT_RESTORE}, {K("--help"), OPT_HELP},
        {K("-h"), OPT_HELP},           {K("/?"), OPT_HELP},       {K("--version"), OPT_VERSION},
    };
    for (const OptionName& n : names)
        if (CompareTexts(a, n.name) == 0) return n.option;
    return -1;
}

// The first reason found is the one given.
static void refuse(StartRequest* r, const char* why, const char* what) {
    if (!r->reason) r->reason = ConcatTexts(2, why, what);
    r->bad = true;
}

static void readArguments(const void* args, StartRequest* r) {
    int32_t n = mod_ArrayCount(args);
    int32_t plain = 0;
    bool seen[OPT_COUNT] = {};
    for (int32_t i = 1; i <= n; i++) {
        const char* a = mod_ArrayText(args, i, LOC_COMMAND_LINE, 1);
        int32_t option = optionOf(a);
        if (option < 0) {
            if (a && a[0] == '-') {
                refuse(r, K("未知选项:"), a);
            } else if (plain++, r->batch) {
                refuse(r, K("多余的参数 --batch 只接受一个目录:"), a);
            } else if (!r->folder) {
                // Items dropped on the program's icon: the first folder
                // counts, files are passed over.
                char* path = folderPath(a);
                if (path && isFolderOrMissing(path)) r->folder = path;
                else SVC->Free(path);
            }
            continue;
        }
        if (seen[option]) refuse(r, K("选项重复:"), a);
        seen[option] = true;
        const char* value = nullptr;
        if (option == OPT_BATCH || option == OPT_EXT) {
            if (i == n) {
                refuse(r, K("选项缺少值:"), a);
                continue;
            }
            value = mod_ArrayText(args, ++i, LOC_COMMAND_LINE, 2);
        }
        switch (option) {
        case OPT_BATCH:
            if (!value) refuse(r, K("目录为空:"), a);
            else if (plain > 0) refuse(r, K("多余的参数 --batch 只接受一个目录:"), value);
            r->batch = true;
            mod_Assign(&r->folder, folderPath(value));
            break;
        case OPT_EXT:
            r->extensions = value;
            r->extensionsGiven = true;
            break;
        case OPT_NO_BACKUP: r->noBackup = true; break;
        case OPT_DRY_RUN: r->dryRun = true; break;
        case OPT_RESTORE: r->restore = true; break;
        case OPT_HELP: r->help = true; break;
        case OPT_VERSION: r->version = true; break;
        }
    }
    // A batch run names its folder once, after --batch.
    if (r->batch && plain > 0) r->bad = true;
    // A restore puts backups back: it does not do without them.
    if ((r->dryRun || r->restore) && !r->batch) r->refused = K("--dry-run 和 --restore 只能与 --batch 一起使用");
    else if (r->restore && r->noBackup) r->refused = K("--restore 不能与 --no-backup 同时使用");
    if (r->refused) r->bad = true;
}

static void writeUsage(int32_t stream) {
    SVC->CallUtility(UTIL_WriteLine, stream,
                     K("用法: vellumor [目录]\n"
                       "      vellumor --batch 目录 [--ext 扩展名列表] [--no-backup] [--dry-run]\n"
                       "      vellumor --batch 目录 --restore [--dry-run] [--ext 扩展名列表]\n"
                       "      vellumor --help | --version\n"
                       "  目录             打开窗口, 目录填入根目录框\n"
                       "  --batch 目录     不显示窗口, 转码该目录, 日志逐行写到标准输出, 统计写到标准错误\n"
                       "  --ext 列表       扩展名列表, 英文逗号分隔, 替换窗口中的默认列表\n"
                       "  --no-backup      不创建 .bak 备份\n"
                       "  --dry-run        只预览每个文件将如何处理, 不写任何文件\n"
                       "  --restore        用旁边的 .bak 备份还原由本工具转码且之后未被修改的文件, 备份保留\n"
                       "  --help           显示本说明\n"
                       "  --version        显示版本\n"
                       "每个选项只能给出一次.\n"
                       "窗口中: 在日志列表上右击 (或按菜单键、Shift+F10) 可预览 (不写入)、还原备份、复制或保存日志\n"
                       "退出码: 0 完成, 1 有文件或目录失败, 2 输入被拒绝, -1 运行时出错"));
}

// Fills the window's boxes as a user would before pressing the button.
static void applyRequest(const StartRequest* r) {
    if (r->folder || r->batch)
        SVC->WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, PROP_CONTENT, -1, (uint32_t)(uintptr_t)r->folder, 0);
    if (r->extensionsGiven)
        SVC->WriteProperty(MAIN_WINDOW, ID_EDIT_EXTENSIONS, PROP_CONTENT, -1,
                           (uint32_t)(uintptr_t)r->extensions, 0);
    if (r->noBackup) SVC->WriteProperty(MAIN_WINDOW, ID_CHECK_BACKUP, PROP_CHECKED, -1, 0, 0);
}

// The batch runs: the job each runs in the unseen window, and how its
// status line starts once the job has run to its end.
struct BatchKind {
    BatchRun run;
    void (*job)(void);
    const char* done;
};

static BatchKind batchKind(const StartRequest* r) {
    if (r->restore && r->dryRun) return {RUN_RESTORE_PREVIEW, RestorePreviewJob, K("还原预览完成 将还原:")};
    if (r->dryRun) return {RUN_PREVIEW, PreviewJob, K("预览完成 将转换:")};
    if (r->restore) return {RUN_RESTORE, RestoreJob, K("还原完成 已还原:")};
    return {RUN_CONVERT, TranscodeJob, K("转换完成 已转换:")};
}

// The status line says whether the job ran to its end; its final text is
// the batch run's last line, and the count of outcomes follows on
// standard error.
static int32_t batchOutcome(const char* done) {
    char* status = (char*)(uintptr_t)SVC->ReadProperty(MAIN_WINDOW, ID_STATUS, PROP_CAPTION, -1);
    int32_t code = StreamsWereMissing() ? EXIT_FAILED : EXIT_REFUSED;
    if (status && strncmp(status, done, strlen(done)) == 0) {
        SVC->CallUtility(UTIL_WriteLine, LINE_TO_OUTPUT, status);
        WriteTally();
        code = TallyFailed() > 0 ? EXIT_FAILED : EXIT_DONE;
    }
    SVC->Free(status);
    return code;
}

void LoadMainWindow(void) {
    void* args = (void*)(uintptr_t)SVC->CallUtility(UTIL_ProgramArguments);
    StartRequest r = {};
    readArguments(args, &r);
    if (r.help || r.version || r.bad) {
        const char* why = r.reason ? r.reason : r.refused;
        if (r.bad && why) SVC->CallUtility(UTIL_WriteLine, LINE_TO_ERROR, why);
        if (r.bad || r.help) writeUsage(r.bad ? LINE_TO_ERROR : LINE_TO_OUTPUT);
        else SVC->CallUtility(UTIL_WriteLine, LINE_TO_OUTPUT, K("Vellumor " VELL_VERSION));
        SVC->Free(r.reason);
        SVC->Free(r.folder);
        mod_FreeTextArray(args);
        SVC->ExitProgram(r.bad ? EXIT_REFUSED : EXIT_DONE);
    }
    if (r.batch) SVC->CallUtility(UTIL_EnterBatchMode);
    SVC->LoadWindow(MAIN_WINDOW);
    applyRequest(&r);
    SVC->Free(r.folder);
    mod_FreeTextArray(args);
    if (r.batch) {
        // The job as the button runs it (or its dry run, or the restore),
        // in the unseen window.
        BatchKind kind = batchKind(&r);
        SetBatchRun(kind.run);
        RunWindowJob(kind.job);
        SVC->ExitProgram(batchOutcome(kind.done));
    }
}

// A folder dropped on the window fills the root box as the picker does,
// and only while the picker's button can be pressed.
int32_t FolderDropped(int32_t argc, const uint32_t* args, int32_t*) {
    if (argc < 1 || (uint32_t)SVC->ReadProperty(MAIN_WINDOW, ID_BUTTON_CHOOSE, PROP_DISABLED, -1)) return 0;
    SVC->WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, PROP_CONTENT, -1, args[0], 0);
    return 0;
}
