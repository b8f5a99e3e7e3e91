/* Runs a command as on a host whose kernel runs 64-bit user code only:
 * a seccomp filter ends every process that makes a 32-bit system call, so
 * no i386 program (32-bit Wine included) gets past its first instruction
 * that enters the kernel. For trying the test bed's 64-bit road on a host
 * that could run 32-bit code:
 *   gcc -O2 -o build/no32 scripts/dev/no32.c && build/no32 bash scripts/test.sh
 */
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <stdio.h>
#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: no32 command [argument...]\n");
        return 2;
    }
    struct sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    struct sock_fprog program = {sizeof filter / sizeof filter[0], filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        perror("no32: seccomp");
        return 1;
    }
    execvp(argv[1], argv + 1);
    perror("no32: exec");
    return 127;
}
