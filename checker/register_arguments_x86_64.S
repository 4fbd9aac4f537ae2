// Calls a routine with chosen contents in the integer argument registers and in xmm0 to
// xmm7, and notes what it returned in rax and xmm0.
//
// routine_check_call_loaded(call): `call` holds the target at 0, rdi, rsi, rdx, rcx, r8 and
// r9 at 8 to 55, the low 64 bits of xmm0 to xmm7 at 56 to 119; rax is written at 120 and
// the low 64 bits of xmm0 at 128. rbx keeps `call` across the routine, which the entry that
// checks what a routine keeps puts back even when the routine did not.

    .text
    .globl routine_check_call_loaded
    .hidden routine_check_call_loaded
    .type routine_check_call_loaded, @function
routine_check_call_loaded:
    .cfi_startproc
    endbr64
    pushq %rbx
    .cfi_adjust_cfa_offset 8
    .cfi_offset %rbx, -16
    movq %rdi, %rbx
    movq 56(%rbx), %xmm0
    movq 64(%rbx), %xmm1
    movq 72(%rbx), %xmm2
    movq 80(%rbx), %xmm3
    movq 88(%rbx), %xmm4
    movq 96(%rbx), %xmm5
    movq 104(%rbx), %xmm6
    movq 112(%rbx), %xmm7
    movq 8(%rbx), %rdi
    movq 16(%rbx), %rsi
    movq 24(%rbx), %rdx
    movq 32(%rbx), %rcx
    movq 40(%rbx), %r8
    movq 48(%rbx), %r9
    movl $8, %eax // a routine with a variable argument list reads the count of vector registers here
    callq *(%rbx)
    movq %rax, 120(%rbx)
    movq %xmm0, 128(%rbx)
    popq %rbx
    .cfi_adjust_cfa_offset -8
    ret
    .cfi_endproc
    .size routine_check_call_loaded, .-routine_check_call_loaded

    .section .note.GNU-stack, "", @progbits
