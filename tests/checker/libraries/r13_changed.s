# sumdll stores the sum, then leaves r13 changed.
    .text
    .globl sumdll
    .type sumdll, @function
sumdll:
    movzwl (%rdi), %eax
    addw (%rsi), %ax
    movw %ax, (%rdx)
    xorl %r13d, %r13d
    ret
    .size sumdll, .-sumdll
    .section .note.GNU-stack, "", @progbits
