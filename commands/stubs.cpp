// Commands not built yet: they return nothing. Each moves to its own file
// when it is written (delete its line here then).
#include "commands/library.h"

#define VELL_STUB(name) extern "C" void name(ArgRecord*, int32_t, ArgRecord*) {}
VELL_STUB(cmd_ListBoxClear)
VELL_STUB(cmd_SplitText)
VELL_STUB(cmd_ListBoxInsertItem)
VELL_STUB(cmd_ToText)
VELL_STUB(cmd_CopyFileTo)
VELL_STUB(cmd_ReadFileBytes)
VELL_STUB(cmd_ByteSetLength)
VELL_STUB(cmd_TextRight)
VELL_STUB(cmd_ToInteger)
VELL_STUB(cmd_CreateAutomationObject)
VELL_STUB(cmd_SetAutomationProperty)
VELL_STUB(cmd_CallAutomationMethod)
VELL_STUB(cmd_ClearAutomationObject)
VELL_STUB(cmd_FileLength)
