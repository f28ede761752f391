// The module's routines and globals.
#pragma once
#include "app/main_window.h"
#include "app/module.h"

// The log's value type: a list box component.
enum : uint32_t { KIND_ID_LISTBOX = KIND_LISTBOX };
enum : int32_t {
    PROP_CONTENT = 8, PROP_CAPTION = 8, PROP_CHECKED = 18, PROP_MAXIMUM = 12, PROP_POSITION = 13,
    PROP_DISABLED = 6,
};
enum : uint32_t { FOREIGN_LSTRCPYN = 0, FOREIGN_COINITIALIZE = 1, FOREIGN_COUNINITIALIZE = 2 };

// Globals.
extern char* rootDirectory;
extern void* extensionList;   // array of texts
extern void* foundFiles;      // array of texts
extern const uint32_t* const mod_emptyArray;

// The window template block the program carries (generated at build time).
extern "C" const unsigned char vell_main_template[];
extern "C" const unsigned int vell_main_template_size;

extern "C" const EventHandler vell_handlers[];

// Handlers as the event dispatcher calls them.
int32_t ChooseFolderHandler(int32_t argc, const uint32_t* args, int32_t* returned);
int32_t TranscodeHandler(int32_t argc, const uint32_t* args, int32_t* returned);
int32_t CloseRequested(int32_t argc, const uint32_t* args, int32_t* returned);

int32_t FolderDropped(int32_t argc, const uint32_t* args, int32_t* returned);
int32_t LogMenuRequested(int32_t argc, const uint32_t* args, int32_t* returned);

void ChooseFolderClicked(void);
void TranscodeClicked(void);
void ModuleCleanup(void);

// The command line: loads the main window with what it names, or runs a
// whole job in it unseen and ends the program (--batch).
void LoadMainWindow(void);

// The search.
typedef void (*FileCallback)(const char* path);
// What the searches of one job share: the folders met so far.
struct SearchState;
SearchState* NewSearchState(void);
void FreeSearchState(SearchState* state);
void SearchFiles(SearchState* state, char** directory, FileCallback callback, char** pattern);
void FileFound(const char* path);
// Whether a directory text already ends with the separator the search adds.
bool EndsWithBackslash(const char* directory);

// Array helpers of the module.
int32_t mod_ArrayCount(const void* array);
char* mod_ArrayText(const void* array, int32_t oneBased, int32_t loc1, int32_t loc2);
void mod_AppendText(void** array, char* owned);
void mod_ReplaceWithEmptyArray(void** array);   // frees texts and block
void mod_FreeTextArray(void* array);

// The log, the status line and the progress bar of the main window.
void mod_Log(const char* text);
void mod_LogOwned(char* text);      // inserts, then frees
void mod_SetStatusOwned(char* text);
void mod_SetProgress(int32_t prop, int32_t value);
void mod_ProcessEvents(void);
int32_t mod_InfoBox(const char* text, int32_t flags, const char* title);
char* mod_ToText(int32_t v);
