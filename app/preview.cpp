// The dry run: the job's search and its look at every file, and one line
// for each saying what a job would do with it. Nothing is written: the
// look only reads, and no backup, temporary file or rewrite is made.
#include "app/app.h"
#include "app/job.h"

enum : int32_t { LOC_PREVIEW = 0x04014F40 };

void PreviewJob(void) {
    if (!FindJobFiles()) return;
    int32_t n = mod_ArrayCount(foundFiles), convert = 0;
    mod_SetProgress(PROP_POSITION, 0);
    mod_SetProgress(PROP_MAXIMUM, n);
    for (int32_t k = 1; k <= n; k++) {
        const char* path = mod_ArrayText(foundFiles, k, LOC_PREVIEW, 1);
        Look l = ExamineFile(path);
        if (l.outcome == O_CONVERT) {
            convert++;
            Report(O_WOULD_CONVERT, path);
            if (ProbablyNotGbk(l.content + 8, l.length)) Report(O_NOT_GBK, path);
        } else {
            Report(l.outcome, path);
        }
        ForgetLook(&l);
        mod_SetProgress(PROP_POSITION, k);
        mod_ProcessEvents();
    }
    mod_SetStatusOwned(ProgressText(K("预览完成 将转换:"), convert, n));
    EndJobFiles();
}
