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

    .bss
    .globl routine_check_registers
    .hidden routine_check_registers
    .type routine_check_registers, @object
    .balign 64
routine_check_registers:
    .zero 192
    .size routine_check_registers, 192

    .section .note.GNU-stack, "", @progbits
