#include "foreigncall.h"

namespace {

struct CallFrame {
  const void* address;
  const uint32_t* words;
  size_t count;
};

}  // namespace

// The thunk keeps the caller's ESP in ESI, which every Windows calling convention preserves
// across a call, and copies the words into a 16-byte aligned area below it. After the call
// it loads ESP from ESI again. So the stack is right whoever removed the parameters: the
// callee (stdcall), nobody (cdecl), or a callee that removed more or fewer words than were
// passed (a mismatched declaration or argument count). A callee that returns a float leaves
// it in ST(0); the x87 register stack is emptied so that such a value cannot pile up and
// spoil later floating-point work. The EDI register holds the frame and survives the call.
uint32_t CallWithWords(const void* address, const uint32_t* words, size_t count) {
  CallFrame frame{address, words, count};
  uint32_t result;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "movl 8(%%edi), %%ecx\n\t"
      "leal 0(,%%ecx,4), %%eax\n\t"
      "subl %%eax, %%esp\n\t"
      "andl $-16, %%esp\n\t"
      "movl 4(%%edi), %%edx\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "decl %%ecx\n\t"
      "movl (%%edx,%%ecx,4), %%eax\n\t"
      "movl %%eax, (%%esp,%%ecx,4)\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *(%%edi)\n\t"
      "movl %%esi, %%esp\n\t"
      "movl %%eax, %%edx\n\t"
      "3:\n\t"
      "fxam\n\t"
      "fnstsw %%ax\n\t"
      "andw $0x4500, %%ax\n\t"
      "cmpw $0x4100, %%ax\n\t"
      "je 4f\n\t"
      "fstp %%st(0)\n\t"
      "jmp 3b\n\t"
      "4:\n\t"
      "movl %%edx, %%eax\n\t"
      : "=&a"(result)
      : "D"(&frame)
      : "ecx", "edx", "esi", "memory", "cc");
  return result;
}
