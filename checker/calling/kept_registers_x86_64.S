// The entry through which the checker calls a routine on x86-64, to see what the C calling
// convention asks a routine to keep: rbx, rbp and r12 to r15 as it found them, the stack
// pointer where the call left it, the direction flag clear.
//
// It saves the caller's own values of those registers in routine_check_registers (not on the
// stack, which the routine may have spoiled), gives the routine the values of `expected`
// instead, calls `target` with the argument registers untouched, notes what it returned
// with, and then puts back everything the caller relies on, so that a routine that broke the
// convention is reported instead of crashing the checker. Arguments on the stack would not
// reach the routine; every routine of the contracts takes at most six, in registers.
//
// The 32-bit stdcall check will add the one thing stdcall changes: the routine pops its own
// arguments, so the stack pointer it returns with must lie the arguments' size above where
// the call left it, and the registers to keep are ebx, esi, edi and ebp.

#define TARGET 0
#define CALLER_STACK 8
#define CALLER 16
#define EXPECTED 64
#define AFTER 112
#define STACK_BEFORE 160
#define STACK_AFTER 168
#define FLAGS_AFTER 176
#define RETURNED 184

    .text
    .globl routine_check_kept_entry
    .hidden routine_check_kept_entry
    .type routine_check_kept_entry, @function
routine_check_kept_entry:
    .cfi_startproc
    endbr64
    movq %rsp, routine_check_registers+CALLER_STACK(%rip)
    movq %rbx, routine_check_registers+CALLER+0(%rip)
    movq %rbp, routine_check_registers+CALLER+8(%rip)
    movq %r12, routine_check_registers+CALLER+16(%rip)
    movq %r13, routine_check_registers+CALLER+24(%rip)
    movq %r14, routine_check_registers+CALLER+32(%rip)
    movq %r15, routine_check_registers+CALLER+40(%rip)
    movq routine_check_registers+EXPECTED+0(%rip), %rbx
    movq routine_check_registers+EXPECTED+8(%rip), %rbp
    movq routine_check_registers+EXPECTED+16(%rip), %r12
    movq routine_check_registers+EXPECTED+24(%rip), %r13
    movq routine_check_registers+EXPECTED+32(%rip), %r14
    movq routine_check_registers+EXPECTED+40(%rip), %r15
    subq $8, %rsp // aligned to 16 bytes at the call, as the convention has it
    movq %rsp, routine_check_registers+STACK_BEFORE(%rip)
    callq *routine_check_registers+TARGET(%rip)
    movq %rsp, routine_check_registers+STACK_AFTER(%rip)
    movq %rbx, routine_check_registers+AFTER+0(%rip)
    movq %rbp, routine_check_registers+AFTER+8(%rip)
    movq %r12, routine_check_registers+AFTER+16(%rip)
    movq %r13, routine_check_registers+AFTER+24(%rip)
    movq %r14, routine_check_registers+AFTER+32(%rip)
    movq %r15, routine_check_registers+AFTER+40(%rip)
    // The caller's stack again, whatever the routine did to the stack pointer; rax, rdx,
    // xmm0 and xmm1 still hold what it returned.
    movq routine_check_registers+CALLER_STACK(%rip), %rsp
    subq $16, %rsp
    pushfq
    popq routine_check_registers+FLAGS_AFTER(%rip)
    addq $16, %rsp
    cld
    movq $1, routine_check_registers+RETURNED(%rip)
    movq routine_check_registers+CALLER+0(%rip), %rbx
    movq routine_check_registers+CALLER+8(%rip), %rbp
    movq routine_check_registers+CALLER+16(%rip), %r12
    movq routine_check_registers+CALLER+24(%rip), %r13
    movq routine_check_registers+CALLER+32(%rip), %r14
    movq routine_check_registers+CALLER+40(%rip), %r15
    ret
    .cfi_endproc
    .size routine_check_kept_entry, .-routine_check_kept_entry

// Calls a routine with chosen contents in the integer argument registers and in xmm0 to
// xmm7, and notes what it returned in rax and xmm0.
//
// routine_check_call_loaded(call): `call` holds the target at 0, rdi, rsi, rdx, rcx, r8 and
// r9 at 8 to 55, the low 64 bits of xmm0 to xmm7 at 56 to 119; rax is written at 120 and
// the low 64 bits of xmm0 at 128. rbx keeps `call` across the routine, which the entry that
// checks what a routine keeps puts back even when the routine did not.

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

    .bss
    .globl routine_check_registers
    .hidden routine_check_registers
    .type routine_check_registers, @object
    .balign 64
routine_check_registers:
    .zero 192
    .size routine_check_registers, 192

    .section .note.GNU-stack, "", @progbits
