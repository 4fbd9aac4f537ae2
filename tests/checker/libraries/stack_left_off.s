# sumdll stores the sum and returns as stdcall would, popping 8 bytes of arguments that an
# x86-64 caller never pushed.
    .text
    .globl sumdll
    .type sumdll, @function
sumdll:
    movzwl (%rdi), %eax
    addw (%rsi), %ax
    movw %ax, (%rdx)
    ret $8
    .size sumdll, .-sumdll
    .section .note.GNU-stack, "", @progbits
