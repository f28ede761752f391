// Every outcome a job can report: its log line, its label in a batch run's
// count line, the runs that show it there, and whether it fails the run.
// A line is logged only through Report, which also counts it, so no
// outcome can be logged without being counted.
#include "app/app.h"
#include "app/job.h"

enum : uint8_t {
    IN_CONVERT = 1 << RUN_CONVERT,
    IN_PREVIEW = 1 << RUN_PREVIEW,
    IN_RESTORE = 1 << RUN_RESTORE,
    IN_RESTORE_PREVIEW = 1 << RUN_RESTORE_PREVIEW,
    IN_JOBS = IN_CONVERT | IN_PREVIEW,
    IN_RESTORES = IN_RESTORE | IN_RESTORE_PREVIEW,
    IN_ALL = IN_JOBS | IN_RESTORES,
};

struct OutcomeRow {
    const char* line;   // the log line's start, the path follows; null: not logged
    const char* label;  // in the count line
    uint8_t runs;       // the batch runs whose count line shows it
    bool failed;        // the batch run exits 1
};

// In the order of the count line; rows follow the enum.
static const OutcomeRow* row(Outcome o) {
    static const OutcomeRow rows[O_COUNT] = {
        /* O_CONVERTED */ {K("转码完毕:"), K("已转换"), IN_CONVERT, false},
        /* O_WOULD_CONVERT */ {K("将转码:"), K("将转换"), IN_PREVIEW, false},
        /* O_RESTORED */ {K("已还原:"), K("已还原"), IN_RESTORE, false},
        /* O_WOULD_RESTORE */ {K("将还原:"), K("将还原"), IN_RESTORE_PREVIEW, false},
        /* O_RESTORE_FAILED */ {K("还原失败:"), K("还原失败"), IN_RESTORES, true},
        /* O_NO_BACKUP */ {nullptr, K("无备份"), IN_RESTORES, false},
        /* O_UTF8 */ {K("跳过文件 无需转码:"), K("无需转码"), IN_JOBS, false},
        /* O_NOT_SYSTEM */ {K("跳过文件 非系统编码文本:"), K("非系统编码"), IN_JOBS, false},
        /* O_TOO_LARGE */ {K("跳过文件 文件过大:"), K("文件过大"), IN_JOBS, false},
        /* O_LINK */ {K("跳过文件 链接:"), K("链接"), IN_JOBS, false},
        /* O_DEVICE */ {K("跳过文件 设备名:"), K("设备名"), IN_JOBS, true},
        /* O_FAILED */ {K("转码失败 文件是否正在被占用? :"), K("转码失败"), IN_JOBS, true},
        /* O_BACKUP_FAILED */ {K("备份失败 已跳过转码:"), K("备份失败"), IN_CONVERT, true},
        /* O_FOLDER_UNREADABLE */ {K("跳过目录 无法访问:"), K("无法访问目录"), IN_ALL, true},
        /* O_NOT_GBK */ {K("可能不是GBK编码:"), K("可能不是GBK"), IN_JOBS, false},
        /* O_BAD_NAME */ {K("跳过文件 文件名无法处理:"), K("文件名无法处理"), IN_ALL, true},
        /* O_READ_ONLY */ {K("跳过文件 只读:"), K("只读"), IN_JOBS, true},
        /* O_BACKUP_FILE */ {K("跳过文件 备份文件:"), K("备份文件"), IN_ALL, false},
        /* O_MODIFIED */ {K("未还原 文件已被修改:"), K("已修改"), IN_RESTORES, true},
        /* O_SAME_AS_BACKUP */ {K("跳过文件 与备份相同:"), K("与备份相同"), IN_RESTORES, false},
        /* O_LEFTOVER_REMOVED */ {K("已删除残留临时文件:"), K("删除残留"), IN_ALL, false},
        /* O_LEFTOVER_KEPT */ {K("残留临时文件 未能删除:"), K("残留临时文件"), IN_ALL, true},
        /* O_CONVERT */ {nullptr, nullptr, 0, false},
    };
    return &rows[o];
}

static BatchRun s_run;
static int32_t s_counts[O_COUNT];

void SetBatchRun(BatchRun run) { s_run = run; }
bool InBatchRun(void) { return s_run != RUN_WINDOW; }

void ResetTally(void) {
    for (int32_t& c : s_counts) c = 0;
}

void Report(Outcome o, const char* path) {
    s_counts[o]++;
    if (row(o)->line) mod_LogOwned(ConcatTexts(2, row(o)->line, path));
}

const char* OutcomeLine(Outcome o) { return row(o)->line; }

int32_t TallyCount(Outcome o) { return s_counts[o]; }

int32_t TallyFailed(void) {
    int32_t failed = 0;
    for (int32_t o = 0; o < O_COUNT; o++)
        if (row((Outcome)o)->failed) failed += s_counts[o];
    return failed;
}

// "统计 已转换:3 无需转码:2 ...", every label of the run, zeros too.
void WriteTally(void) {
    char* line = ConcatTexts(1, K("统计"));
    for (int32_t o = 0; o < O_COUNT; o++) {
        if (!(row((Outcome)o)->runs & (1 << s_run))) continue;
        char* count = mod_ToText(s_counts[o]);
        mod_Assign(&line, ConcatTexts(5, line, K(" "), row((Outcome)o)->label, K(":"), count));
        SVC->Free(count);
    }
    SVC->CallUtility(UTIL_WriteLine, LINE_TO_ERROR, line);
    SVC->Free(line);
}

// The closing message when something needs a look: how many of each, and
// where to look. Null when nothing failed or was flagged.
char* ProblemSummary(void) {
    char* text = nullptr;
    for (int32_t o = 0; o < O_COUNT; o++) {
        if (!s_counts[o] || !(row((Outcome)o)->failed || o == O_NOT_GBK)) continue;
        char* count = mod_ToText(s_counts[o]);
        if (!text) text = ConcatTexts(1, K("转码结束, 但有文件需要注意:"));
        mod_Assign(&text, ConcatTexts(5, text, K("\n"), row((Outcome)o)->label, K(": "), count));
        SVC->Free(count);
    }
    if (!text) return nullptr;
    mod_Assign(&text, ConcatTexts(2, text, K("\n未转码的文件保持原样, 每个文件的情况见日志。")));
    if (s_counts[O_NOT_GBK])
        mod_Assign(&text, ConcatTexts(2, text, K("\n可能不是GBK编码的文件已转码, 请逐个检查; 转错的可用日志右键菜单的"
                                                  "\"还原备份...\"(或 --restore)恢复。")));
    return text;
}
