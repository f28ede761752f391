// What a batch run counts of its outcomes, and the lines it adds to the
// window's log: a batch run's reader has no window to look at.
#include <string.h>
#include "app/app.h"
#include "app/job.h"

static BatchRun s_run;

// One outcome: its label in the count line, and the start of the log
// lines that report it (null: the run counts it itself).
struct TallyRow {
    const char* label;
    const char* prefix;
};
enum { kMaxRows = 10 };
static int32_t s_counts[kMaxRows];

static int32_t rowsOf(BatchRun run, const TallyRow** rows) {
    static const TallyRow convert[] = {
        {K("已转换"), K("转码完毕:")},        {K("无需转码"), K("跳过文件 无需转码:")},
        {K("非系统编码"), K("跳过文件 非系统编码文本:")}, {K("文件过大"), K("跳过文件 文件过大:")},
        {K("链接"), K("跳过文件 链接:")},      {K("设备名"), K("跳过文件 设备名:")},
        {K("转码失败"), K("转码失败")},        {K("备份失败"), K("备份失败")},
        {K("无法访问目录"), K("跳过目录 无法访问:")}, {K("可能不是GBK"), K("可能不是GBK编码:")},
    };
    // A dry run makes no backups; its 转码失败 is a file it could not read.
    static const TallyRow preview[] = {
        {K("将转换"), K("将转码:")},           {K("无需转码"), K("跳过文件 无需转码:")},
        {K("非系统编码"), K("跳过文件 非系统编码文本:")}, {K("文件过大"), K("跳过文件 文件过大:")},
        {K("链接"), K("跳过文件 链接:")},      {K("设备名"), K("跳过文件 设备名:")},
        {K("转码失败"), K("转码失败")},        {K("无法访问目录"), K("跳过目录 无法访问:")},
        {K("可能不是GBK"), K("可能不是GBK编码:")},
    };
    static const TallyRow restore[] = {
        {K("已还原"), K("已还原:")}, {K("还原失败"), K("还原失败:")}, {K("无备份"), nullptr},
        {K("无法访问目录"), K("跳过目录 无法访问:")},
    };
    static_assert(sizeof convert / sizeof *convert <= kMaxRows, "count rows");
    switch (run) {
    case RUN_CONVERT: *rows = convert; return (int32_t)(sizeof convert / sizeof *convert);
    case RUN_PREVIEW: *rows = preview; return (int32_t)(sizeof preview / sizeof *preview);
    case RUN_RESTORE: *rows = restore; return (int32_t)(sizeof restore / sizeof *restore);
    default: *rows = nullptr; return 0;
    }
}

void SetBatchRun(BatchRun run) { s_run = run; }
bool InBatchRun(void) { return s_run != RUN_WINDOW; }

// Batch runs only: the window's log stays as it always was.
void LogProbablyNotGbk(const char* path) {
    if (InBatchRun()) mod_LogOwned(ConcatTexts(2, K("可能不是GBK编码:"), path));
}

void TallyLine(const char* text) {
    const TallyRow* rows;
    int32_t n = rowsOf(s_run, &rows);
    for (int32_t i = 0; i < n && text; i++)
        if (rows[i].prefix && strncmp(text, rows[i].prefix, strlen(rows[i].prefix)) == 0) s_counts[i]++;
}

void TallyNoBackup(void) {
    const TallyRow* rows;
    int32_t n = rowsOf(s_run, &rows);
    for (int32_t i = 0; i < n; i++)
        if (!rows[i].prefix) s_counts[i]++;
}

// "统计 已转换:3 无需转码:2 ...", every label of the run, zeros too.
void WriteTally(void) {
    const TallyRow* rows;
    int32_t n = rowsOf(s_run, &rows);
    char* line = ConcatTexts(1, K("统计"));
    for (int32_t i = 0; i < n; i++) {
        char* count = mod_ToText(s_counts[i]);
        mod_Assign(&line, ConcatTexts(5, line, K(" "), rows[i].label, K(":"), count));
        SVC->Free(count);
    }
    SVC->CallUtility(UTIL_WriteLine, 2, line);
    SVC->Free(line);
}
