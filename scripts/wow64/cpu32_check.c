/* Whether this machine lets a 64-bit Linux process run 32-bit x86 code, as
 * Wine's wow64 mode does for 32-bit Windows programs: switches to the
 * kernel's 32-bit user code segment, runs two instructions there and
 * comes back. Exits with 0 when that worked; a kernel without 32-bit
 * support (or a hypervisor without it) kills the process with SIGSEGV.
 * Built and run by scripts/wow64/prepare.sh. */
#define _GNU_SOURCE
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>

enum { kUser32Cs = 0x23, kUser64Cs = 0x33 };

int main(void) {
  /* Code and stack of the 32-bit part must lie below 4 GiB. */
  unsigned char* low = mmap(NULL, 8192, PROT_READ | PROT_WRITE | PROT_EXEC,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (low == MAP_FAILED) {
    perror("mmap");
    return 2;
  }
  static const unsigned char code32[] = {
      0xb8, 32, 0, 0, 0, /* mov eax, 32 */
      0xcb,              /* retf: back to the 64-bit caller */
  };
  memcpy(low, code32, sizeof code32);
  unsigned long stack = (unsigned long)low + 8192 - 64;
  unsigned long target = (unsigned long)low;
  unsigned int result;
  __asm__ volatile(
      "mov %%rsp, %%r12\n\t"
      "mov %[stack], %%rsp\n\t"
      "lea 1f(%%rip), %%rax\n\t"
      "movl %%eax, 0(%%rsp)\n\t"          /* 32-bit return frame: EIP */
      "movl %[cs64], 4(%%rsp)\n\t"        /* and CS */
      "pushq %[cs32]\n\t"
      "pushq %[target]\n\t"
      "lretq\n"
      "1:\n\t"
      "mov %%r12, %%rsp\n\t"
      "mov %%eax, %[result]\n\t"
      : [result] "=r"(result)
      : [stack] "r"(stack), [target] "r"(target), [cs32] "i"(kUser32Cs),
        [cs64] "i"(kUser64Cs)
      : "rax", "r12", "memory");
  printf("32-bit code ran: %u\n", result);
  return result == 32 ? 0 : 1;
}
