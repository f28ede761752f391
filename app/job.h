// What the job's look at a file shares with the dry run and the restore,
// and what every batch run counts and says besides the window's log.
#pragma once
#include "app/module.h"

// What the job finds a file to be when it looks at it.
enum Outcome : uint8_t { O_CONVERT, O_UTF8, O_NOT_SYSTEM, O_TOO_LARGE, O_UNREADABLE, O_LINK, O_DEVICE };

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
// The log line that says so, for every outcome but a conversion.
const char* OutcomeLine(Outcome o);
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

// The jobs, each ending by setting the status line: the button's, and the
// two others of a batch run.
void TranscodeJob(void);
void PreviewJob(void);   // what a job would do, nothing written
void RestoreJob(void);   // the backups' bytes put back

// Whether text that decodes in code page 936 reads like another legacy
// encoding decoded as it (`n` bytes, no byte set header).
bool ProbablyNotGbk(const uint8_t* bytes, int32_t n);

// The batch run under way, if any: it picks what is counted.
enum BatchRun : uint8_t { RUN_WINDOW, RUN_CONVERT, RUN_PREVIEW, RUN_RESTORE };
void SetBatchRun(BatchRun run);
bool InBatchRun(void);
void LogProbablyNotGbk(const char* path);
// Counts the outcome a log line reports; a file without a backup has no line.
void TallyLine(const char* text);
void TallyNoBackup(void);
// The count line on standard error.
void WriteTally(void);
