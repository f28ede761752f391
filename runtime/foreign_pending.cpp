// Placeholder for the foreign-command resolver until runtime/foreign.cpp
// lands: whoever adds runtime/foreign.cpp deletes this file.
#include "runtime/rt.h"

void* rt_ResolveForeignCommand(uint32_t) { return nullptr; }
void rt_ReleaseForeignModules(void) {}
extern "C" void rt_CallForeignTrampoline(void) {}
