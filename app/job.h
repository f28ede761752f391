// What the job's look at a file shares with the dry run and the restore,
// and what every batch run counts and says besides the window's log.
#pragma once
#include "app/module.h"

// Everything a job reports of a file or folder, in the order of a batch
// run's count line (app/tally.cpp holds each one's line and label). A look
// at a file finds one of O_UTF8 to O_FAILED, O_READ_ONLY or O_CONVERT.
enum Outcome : uint8_t {
    O_CONVERTED, O_WOULD_CONVERT, O_RESTORED, O_WOULD_RESTORE, O_RESTORE_FAILED, O_NO_BACKUP,
    O_UTF8, O_NOT_SYSTEM, O_TOO_LARGE, O_LINK, O_DEVICE, O_FAILED, O_BACKUP_FAILED, O_FOLDER_UNREADABLE,
    O_NOT_GBK, O_BAD_NAME, O_READ_ONLY, O_BACKUP_FILE, O_MODIFIED, O_SAME_AS_BACKUP, O_LEFTOVER_REMOVED,
    O_LEFTOVER_KEPT,
    O_CONVERT,  // a look's finding only: the file is to be converted
    O_COUNT
};

// One look at a file: its stamp (owned by the caller, null when it cannot
// be opened) and, for a file to convert, its bytes (a byte set, owned too).
struct Look {
    Outcome outcome;
    char* stamp;
    uint8_t* content;
    int32_t length;
    int32_t utf8Length;  // of a file to convert: what its UTF-8 form takes
};

Look ExamineFile(const char* path);
void ForgetLook(Look* look);
// The size a file stamp gives ("F high low ..."), -1 when there is none.
int64_t StampSize(const char* stamp);
// "<prefix>done 共计:total", owned.
char* ProgressText(const char* prefix, int32_t done, int32_t total);

// Reads the root and extension boxes, refuses what cannot be searched
// (with the box that says why: false) and fills foundFiles; the buttons
// stay disabled until EndJobFiles.
bool FindJobFiles(void);
void EndJobFiles(void);
// Runs a job unless one is running; the window cannot close meanwhile.
void RunWindowJob(void (*job)(void));
bool JobRunning(void);
// Asked of the user before a restore from the window, once the backups
// are counted (a batch run does not ask): true to go on.
bool ConfirmRestore(int32_t backups);

// The jobs, each ending by setting the status line: the button's, and the
// two others of a batch run.
void TranscodeJob(void);
void PreviewJob(void);   // what a job would do, nothing written
void RestoreJob(void);   // the backups' bytes put back
void RestorePreviewJob(void);  // what a restore would do, nothing written

// Whether text that decodes in code page 936 reads like another legacy
// encoding decoded as it (`n` bytes, no byte set header).
bool ProbablyNotGbk(const uint8_t* bytes, int32_t n);

// The batch run under way, if any: it picks what the count line shows.
enum BatchRun : uint8_t { RUN_WINDOW, RUN_CONVERT, RUN_PREVIEW, RUN_RESTORE, RUN_RESTORE_PREVIEW };
void SetBatchRun(BatchRun run);
bool InBatchRun(void);
// Logs the outcome's line with the path (an outcome without a line is
// only counted) and counts it; the counts start at zero with each job.
void Report(Outcome o, const char* path);
void ResetTally(void);
const char* OutcomeLine(Outcome o);
int32_t TallyCount(Outcome o);
// How many reports fail a batch run.
int32_t TallyFailed(void);
// The count line on standard error.
void WriteTally(void);
// The closing message when files failed or were flagged (owned), else null.
char* ProblemSummary(void);
// Whether the last job stopped before writing anything because the stream
// component cannot be used.
bool StreamsWereMissing(void);
