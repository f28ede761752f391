// The module's foreign call site: the stack position is saved before the
// native arguments go on the stack and compared after the function returns,
// so a function of another calling convention cannot silently unbalance it.
#include "runtime/service_table.h"
#include "app/module.h"

uint32_t mod_CallForeign(uint32_t number, int32_t argc, const uint32_t* args, int32_t loc1, int32_t loc2) {
    void* slot = SVC->CallForeignCommand;
    uint32_t result;
    int32_t n = argc > 0 && args ? argc : 0;
    int32_t drift;
    // edi keeps the saved position: callee-saved in every convention the
    // function could use, and not touched by the pushes.
    __asm__ volatile(
        "movl   %%esp, %%edi\n\t"
        "testl  %%ecx, %%ecx\n\t"
        "jz     2f\n\t"
        "1:\n\t"
        "pushl  -4(%%esi,%%ecx,4)\n\t"   // last argument first: argument 0 ends lowest
        "decl   %%ecx\n\t"
        "jnz    1b\n\t"
        "2:\n\t"
        "pushl  %%ebx\n\t"               // the foreign command number
        "call   *%%edx\n\t"
        "movl   %%esp, %%ecx\n\t"
        "subl   %%edi, %%ecx\n\t"
        "movl   %%edi, %%esp\n\t"        // go on with a sound stack either way
        : "=a"(result), "=c"(drift), "+d"(slot)
        : "S"(args), "b"(number), "c"(n)
        : "edi", "memory", "cc");
    if (drift != 0) SVC->ReportRuntimeError(RTE_FOREIGN_STACK, loc1, loc2);
    return result;
}
