/* Service slot 1. The caller pushed the function's native arguments, then
   the foreign command number, then called us:
       [esp] return address, [esp+4] number, [esp+8] first native argument.
   The number's slot is overwritten with the return address, so the
   function finds exactly the caller's arguments above its return address
   and returns straight to the caller; a stdcall function then leaves the
   caller's stack where it was before the pushes. */
    .text
    .globl  _rt_CallForeignTrampoline
    .def    _rt_CallForeignTrampoline; .scl 2; .type 32; .endef
_rt_CallForeignTrampoline:
    popl    %eax                /* return address */
    xchgl   %eax, (%esp)        /* eax = number, [esp] = return address */
    pushl   %eax
    call    _vell_ResolveForeignEntry   /* does not return when unresolved */
    addl    $4, %esp
    jmp     *%eax
