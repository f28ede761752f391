// The program image: descriptor, constant area bounds, libraries, foreign
// command names and the handler table event bindings are relative to.
#include "app/module.h"
#include "app/app.h"

// Markers around the constant area; the linker sorts .rdata$ sections by
// their suffix, so every module constant lies between them.
__attribute__((section(".rdata$vell_a"), used, aligned(4))) static const uint32_t kConstStart[2] = {1, 0};
__attribute__((section(".rdata$vell_z"), used)) static const char kConstEnd[1] = {0};

// The empty one-dimensional array {1, 0} doubles as the empty byte set.
const uint32_t* const mod_emptyArray = kConstStart;
extern const uint8_t mod_emptyBytes[] MOD_CONST_SECTION = {1, 0, 0, 0, 0, 0, 0, 0};
extern const char mod_emptyText[] MOD_CONST_SECTION = "";

static const char kKernel32[] MOD_CONST_SECTION = "kernel32.dll";
static const char kOle32[] MOD_CONST_SECTION = "ole32.dll";
static const char kLstrcpyn[] MOD_CONST_SECTION = "lstrcpyn";
static const char kCoInitialize[] MOD_CONST_SECTION = "CoInitialize";
static const char kCoUninitialize[] MOD_CONST_SECTION = "CoUninitialize";

// Foreign commands by their numbers (FOREIGN_*, app/app.h).
static const char* const kForeignLibraries[] = {kKernel32, kOle32, kOle32};
static const char* const kForeignNames[] = {kLstrcpyn, kCoInitialize, kCoUninitialize};
static_assert(sizeof kForeignLibraries == sizeof kForeignNames &&
                  sizeof kForeignNames / sizeof kForeignNames[0] == FOREIGN_COUNINITIALIZE + 1,
              "a library and a name per foreign command");
static const LibraryRecord* const kLibraries[] = {&vell_library1, &vell_library2};

// Descriptor words 0 and 1, which the runtime only keeps, and the number
// above which the runtime hands out fresh ids for records made at run time.
static const uint32_t kWord0 = 3, kWord1 = 0, kFreshBase = 0x19889;

// Event bindings store byte offsets into this table (app/main_window.h).
extern "C" constexpr EventHandler vell_handlers[SLOT_COUNT] = {ChooseFolderHandler, TranscodeHandler,
                                                                 CloseRequested, FolderDropped, LogMenuRequested};
static_assert(sizeof(EventHandler) == HandlerOffset(1), "a slot per handler");
static_assert(vell_handlers[SLOT_CHOOSE_FOLDER] == ChooseFolderHandler &&
                  vell_handlers[SLOT_TRANSCODE] == TranscodeHandler &&
                  vell_handlers[SLOT_CLOSE_REQUESTED] == CloseRequested &&
                  vell_handlers[SLOT_FOLDER_DROPPED] == FolderDropped &&
                  vell_handlers[SLOT_LOG_MENU] == LogMenuRequested,
              "handlers in slot order");

extern "C" const ProgramDescriptor vell_program_image = {
    kWord0,
    kWord1,
    kFreshBase,
    vell_handlers,
    kConstStart,
    (uint32_t)((const uint8_t*)kConstEnd - (const uint8_t*)kConstStart),
    vell_main_template,
    vell_main_template_size,
    sizeof kLibraries / sizeof kLibraries[0],
    kLibraries,
    sizeof kForeignNames / sizeof kForeignNames[0],
    kForeignLibraries,
    kForeignNames,
};
