// Commands not built yet: they return nothing. Each moves to its own file
// when it is written (delete its line here then).
#include "commands/library.h"

#define VELL_STUB(name) extern "C" void name(ArgRecord*, int32_t, ArgRecord*) {}
