// Start-up and exit of the module, and its small helpers around commands.
#include "app/app.h"
#include <string.h>

char* rootDirectory = nullptr;
void* extensionList = nullptr;
void* foundFiles = nullptr;

static void* freshEmptyArray(void) {
    uint32_t* a = (uint32_t*)SVC->Allocate(8);
    a[0] = 1;
    a[1] = 0;
    return a;
}

extern "C" int32_t vell_module_start(void) {
    SVC->CallUtility(UTIL_InitProgramImage);
    __asm__ volatile("fninit");
    extensionList = freshEmptyArray();
    foundFiles = freshEmptyArray();
    rootDirectory = nullptr;
    SVC->CallUtility(UTIL_RegisterExitRoutine, &ModuleCleanup);
    // The module's two initialisation routines have nothing to do.
    LoadMainWindow();
    SVC->RunMessageLoop();
    return 0;
}

void ModuleCleanup(void) {
    SVC->Free(rootDirectory);
    rootDirectory = nullptr;
    mod_FreeTextArray(extensionList);
    extensionList = nullptr;
    mod_FreeTextArray(foundFiles);
    foundFiles = nullptr;
}

// ---- arrays of texts ----

int32_t mod_ArrayCount(const void* array) {
    if (!array) return 0;
    const int32_t* h = (const int32_t*)array;
    if (h[0] <= 0) return 0;
    int32_t n = 1;
    for (int32_t i = 0; i < h[0]; i++) n *= h[1 + i];
    return n;
}

static char** elements(const void* array) {
    const int32_t* h = (const int32_t*)array;
    return (char**)(h + 1 + (h[0] > 0 ? h[0] : 0));
}

char* mod_ArrayText(const void* array, int32_t s, int32_t loc1, int32_t loc2) {
    mod_CheckSubscript(s, mod_ArrayCount(array), loc1, loc2);
    return elements(array)[s - 1];
}

void mod_AppendText(void** array, char* owned) {
    SVC->CallUtility(UTIL_UnshareArray, array, 4);
    int32_t n = mod_ArrayCount(*array);
    int32_t* h = (int32_t*)*array;
    if (h && h[0] != 1) {
        // Grow as one dimension: elements move up behind the new header.
        memmove(h + 2, elements(h), (size_t)n * 4);
    }
    h = (int32_t*)SVC->Reallocate(*array, 8 + (n + 1) * 4);
    h[0] = 1;
    h[1] = n + 1;
    ((char**)(h + 2))[n] = owned;
    *array = h;
}

void mod_FreeTextArray(void* array) {
    if (!array) return;
    int32_t n = mod_ArrayCount(array);
    char** e = elements(array);
    for (int32_t i = 0; i < n; i++) SVC->Free(e[i]);
    SVC->Free(array);
}

void mod_ReplaceWithEmptyArray(void** array) {
    mod_FreeTextArray(*array);
    *array = (void*)mod_emptyArray;
}

// ---- the main window's log, status line and progress bar ----

void mod_Log(const char* text) {
    ArgRecord a[3] = {mod_Component(MAIN_WINDOW, ID_LOG, KIND_ID_LISTBOX), mod_Int(0), mod_Text(text)};
    mod_Call(CMD_ListBoxInsertItem, 3, a);
}

void mod_LogOwned(char* text) {
    mod_Log(text);
    SVC->Free(text);
}

void mod_SetStatusOwned(char* text) {
    SVC->WriteProperty(MAIN_WINDOW, ID_STATUS, PROP_CAPTION, -1, (uint32_t)(uintptr_t)text, 0);
    SVC->Free(text);
}

void mod_SetProgress(int32_t prop, int32_t value) {
    SVC->WriteProperty(MAIN_WINDOW, ID_PROGRESS, prop, -1, (uint32_t)value, 0);
}

void mod_ProcessEvents(void) { mod_Call(CMD_ProcessEvents, 0, nullptr); }

int32_t mod_InfoBox(const char* text, int32_t flags, const char* title) {
    ArgRecord a[4] = {mod_Text(text), mod_Int(flags), mod_Text(title), mod_Omitted()};
    ArgRecord r = mod_Call(CMD_InfoBox, 4, a);
    return (int32_t)r.low;
}

char* mod_ToText(int32_t v) {
    ArgRecord a[1] = {mod_Int(v)};
    return (char*)(uintptr_t)mod_Call(CMD_ToText, 1, a).low;
}
