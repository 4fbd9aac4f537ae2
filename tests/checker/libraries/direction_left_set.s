# sumdll stores the sum and returns with the direction flag set.
    .text
    .globl sumdll
    .type sumdll, @function
sumdll:
    movzwl (%rdi), %eax
    addw (%rsi), %ax
    movw %ax, (%rdx)
    std
    ret
    .size sumdll, .-sumdll
    .section .note.GNU-stack, "", @progbits
