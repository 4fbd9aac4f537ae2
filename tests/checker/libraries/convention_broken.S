# sumdll stores the sum, then breaks one rule of the x86-64 calling convention, chosen by the
# macro the test library is built with:
#   R13_CHANGED         leaves r13 changed
#   RBX_CHANGED         leaves rbx changed
#   STACK_LEFT_OFF      returns as stdcall would, popping 8 bytes of arguments that an x86-64
#                       caller never pushed
#   DIRECTION_LEFT_SET  returns with the direction flag set
    .text
    .globl sumdll
    .type sumdll, @function
sumdll:
    movzwl (%rdi), %eax
    addw (%rsi), %ax
    movw %ax, (%rdx)
#if defined(R13_CHANGED)
    xorl %r13d, %r13d
    ret
#elif defined(RBX_CHANGED)
    xorl %ebx, %ebx
    ret
#elif defined(STACK_LEFT_OFF)
    ret $8
#elif defined(DIRECTION_LEFT_SET)
    std
    ret
#else
#error "name the rule to break"
#endif
    .size sumdll, .-sumdll
    .section .note.GNU-stack, "", @progbits
