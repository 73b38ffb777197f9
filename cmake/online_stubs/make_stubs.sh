#!/usr/bin/env bash
# make_stubs.sh NM MODULE OUT.S: writes the program's stand-ins for every function the
# online module exports (x86-64). Each stand-in jumps through a slot; every slot starts
# at a stub that saves the argument registers, has vx_online_resolve (resolve.cpp) load
# the module and fill all the slots, and jumps on to the real function with the caller's
# arguments untouched. From then on a call costs one indirect jump.
set -euo pipefail
nm="$1" module="$2" out="$3"
mapfile -t names < <("$nm" -D --defined-only "$module" |
  awk '$2 == "T" && $3 != "_init" && $3 != "_fini" { print $3 }' | sort -u)
[ "${#names[@]}" -gt 0 ] || { echo "make_stubs.sh: $module exports no functions" >&2; exit 1; }
{
  echo "# Made by cmake/online_stubs/make_stubs.sh from $(basename "$module"); do not edit."
  echo '  .section .note.GNU-stack,"",@progbits'
  echo '  .text'
  for i in "${!names[@]}"; do
    n="${names[$i]}"
    echo "  .globl $n"
    echo "  .hidden $n"
    echo "  .type $n, @function"
    echo "$n:"
    echo "  jmp *vx_online_slots+$((8 * i))(%rip)"
    echo "  .size $n, .-$n"
    echo "vx_online_lazy_$i:"
    echo "  movl \$$i, %r11d"
    echo "  jmp vx_online_lazy"
  done
  cat <<'ASM'
# The first call of any stand-in: the caller's argument registers are kept across the
# resolver, and the stack is 16-byte aligned for the call as the ABI needs.
vx_online_lazy:
  pushq %rbp
  movq %rsp, %rbp
  pushq %rdi
  pushq %rsi
  pushq %rdx
  pushq %rcx
  pushq %r8
  pushq %r9
  pushq %rax
  pushq %r10
  subq $128, %rsp
  movdqu %xmm0, 0(%rsp)
  movdqu %xmm1, 16(%rsp)
  movdqu %xmm2, 32(%rsp)
  movdqu %xmm3, 48(%rsp)
  movdqu %xmm4, 64(%rsp)
  movdqu %xmm5, 80(%rsp)
  movdqu %xmm6, 96(%rsp)
  movdqu %xmm7, 112(%rsp)
  movl %r11d, %edi
  call vx_online_resolve
  movq %rax, %r11
  movdqu 0(%rsp), %xmm0
  movdqu 16(%rsp), %xmm1
  movdqu 32(%rsp), %xmm2
  movdqu 48(%rsp), %xmm3
  movdqu 64(%rsp), %xmm4
  movdqu 80(%rsp), %xmm5
  movdqu 96(%rsp), %xmm6
  movdqu 112(%rsp), %xmm7
  addq $128, %rsp
  popq %r10
  popq %rax
  popq %r9
  popq %r8
  popq %rcx
  popq %rdx
  popq %rsi
  popq %rdi
  popq %rbp
  jmp *%r11
ASM
  echo '  .data'
  echo '  .balign 8'
  echo '  .globl vx_online_slots'
  echo '  .hidden vx_online_slots'
  echo 'vx_online_slots:'
  for i in "${!names[@]}"; do echo "  .quad vx_online_lazy_$i"; done
  echo '  .section .data.rel.ro,"aw"'
  echo '  .balign 8'
  echo '  .globl vx_online_names'
  echo '  .hidden vx_online_names'
  echo 'vx_online_names:'
  for i in "${!names[@]}"; do echo "  .quad vx_online_name_$i"; done
  echo '  .section .rodata'
  echo '  .globl vx_online_count'
  echo '  .hidden vx_online_count'
  echo '  .balign 4'
  echo 'vx_online_count:'
  echo "  .long ${#names[@]}"
  for i in "${!names[@]}"; do
    echo "vx_online_name_$i:"
    echo "  .asciz \"${names[$i]}\""
  done
} >"$out.tmp"
mv "$out.tmp" "$out"
