# sumdll stores the sum, then leaves rbx changed.
    .text
    .globl sumdll
    .type sumdll, @function
sumdll:
    movzwl (%rdi), %eax
    addw (%rsi), %ax
    movw %ax, (%rdx)
    xorl %ebx, %ebx
    ret
    .size sumdll, .-sumdll
    .section .note.GNU-stack, "", @progbits
