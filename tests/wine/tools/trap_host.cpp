// Makes one fault of the kind named on its command line, under the program's
// own start-up, crash trap and error report (app/startup.cpp).
//   trap_host <fault> [module line]
// Faults before the target is set ("calibrate", "step", "refuse-*") end with
// an exit code that tells what happened; the others end in the error report.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/startup.h"
#include "crashtrap/core/decoder.h"
#include "crashtrap/core/marker.h"
#include "crashtrap/trap.h"

namespace {

volatile int gZero = 0;
volatile int gSeven = 7;  // GCC turns 1 / x into a comparison
volatile int gNever = -1;
volatile uintptr_t gUnmapped = 0x10;
volatile size_t gHuge = ~size_t(15);  // more than any address space holds
char* volatile gKept = nullptr;

void Access() { (void)*reinterpret_cast<volatile int*>(gUnmapped); }

int Recurse(int depth) {
    volatile char frame[2048];
    frame[0] = char(depth);
    if (depth == gNever) return 0;
    return Recurse(depth + 1) + frame[0];
}

LRESULT CALLBACK FaultOnCreate(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) Access();
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FaultOnAppMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) Access();
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void CALLBACK FaultOnTimer(HWND, UINT, UINT_PTR, DWORD) { Access(); }

HWND MakeWindow(const char* className, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "trap host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

DWORD WINAPI SendFromElsewhere(void* hwnd) {
    SendMessageA(static_cast<HWND>(hwnd), WM_APP, 0, 0);
    return 0;
}

// Mode 1: each faulting instruction is skipped and the count goes on; eax
// keeps the value it had before the loads, which never completed.
int StepOverFaults() {
    int reached = 0;
    uint32_t kept = 0;
    // The same faults in both modes; 64-bit code adds REX forms and an
    // 8-byte offset. (A plain "movl 0x10" is A1 with a 4-byte offset in
    // 32-bit code, 8B 04 25 with a 4-byte address in 64-bit code.)
#if defined(_WIN64)
#define CX "%%rcx"
#define DX "%%rdx"
#else
#define CX "%%ecx"
#define DX "%%edx"
#endif
    __asm__ volatile(
        "movl $0x1234, %%eax\n\t"
        "movl (" CX "), %%eax\n\t"             // 8B 01
        "incl %0\n\t"
        "movl 0x10, %%eax\n\t"
        "incl %0\n\t"
        "movl 0x10(" CX "," DX ",4), %%eax\n\t"  // SIB and a 1-byte displacement
        "incl %0\n\t"
        "movl $0x5678, 0x100(" CX ")\n\t"      // store: displacement and immediate
        "incl %0\n\t"
        "lock incl (" CX ")\n\t"               // F0 FF 01
        "incl %0\n\t"
        "movw $0x12, 0x10(" CX ")\n\t"         // 66 C7 41 10 12 00
        "incl %0\n\t"
#if defined(_WIN64)
        "movq 0x10(%%rcx), %%r8\n\t"           // REX.WR: 4C 8B 41 10
        "incl %0\n\t"
        "movabsl 0x10, %%eax\n\t"              // A1 with an 8-byte offset
        "incl %0\n\t"
#endif
        "ud2\n\t"                              // invalid instruction, 0F 0B
        "incl %0\n\t"
        "hlt\n\t"                              // privileged instruction
        "incl %0\n\t"
        ".byte 0xCD, 0x03\n\t"                 // breakpoint, two-byte form
        "incl %0\n\t"
        "int3\n\t"                             // breakpoint, CC
        "incl %0\n\t"
        "movl %%eax, %1\n\t"
        : "+m"(reached), "=m"(kept)
        : "c"(0x10), "d"(0)
        : "eax",
#if defined(_WIN64)
          "r8",
#endif
          "memory", "cc");
#undef CX
#undef DX
    __asm__ volatile(
        "movl $7, %%eax\n\t"
        "xorl %%edx, %%edx\n\t"
        "divl %%ecx\n\t"                       // F7 F1, divisor 0
        "incl %0\n\t"
        : "+m"(reached)
        : "c"(0)
        : "eax", "edx", "memory", "cc");
    if (kept != 0x1234) return 200;
    if (TrapErrorDescription() != "Attempted division by zero") return 201;
    return reached;
}

#if defined(_WIN64)
// x64 frames name their handler in their unwind data: a function in
// assembly whose handler skips the two-byte load inside it.
extern "C" EXCEPTION_DISPOSITION SkipTwoBytes(EXCEPTION_RECORD* record, void*, CONTEXT* context, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    context->Rip += 2;
    return ExceptionContinueExecution;
}
extern "C" void LoadUnderOwnHandler(uintptr_t address);
__asm__(
    ".text\n"
    ".globl LoadUnderOwnHandler\n"
    ".def LoadUnderOwnHandler; .scl 2; .type 32; .endef\n"
    ".seh_proc LoadUnderOwnHandler\n"
    "LoadUnderOwnHandler:\n"
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_endprologue\n"
    "    .seh_handler SkipTwoBytes, @except\n"
    "    movl (%rcx), %eax\n"  // 8B 01
    "    addq $40, %rsp\n"
    "    ret\n"
    ".seh_endproc\n");

// A handler frame of the program's own takes its fault before the trap does.
int OwnHandlerFirst() {
    LoadUnderOwnHandler(0x10);
    return 42;
}
#else
EXCEPTION_DISPOSITION NTAPI SkipTwoBytes(EXCEPTION_RECORD* record, void*, CONTEXT* context, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    context->Eip += 2;
    return ExceptionContinueExecution;
}

// A handler frame of the program's own takes its fault before the trap does.
int OwnHandlerFirst() {
    NT_TIB* tib;
    __asm__ volatile("movl %%fs:0x18, %0" : "=r"(tib));
    EXCEPTION_REGISTRATION_RECORD frame{};
    frame.Next = tib->ExceptionList;
    frame.Handler = SkipTwoBytes;
    tib->ExceptionList = &frame;
    __asm__ volatile("movl (%%ecx), %%eax" : : "c"(0x10) : "eax", "memory");  // 8B 01
    tib->ExceptionList = frame.Next;
    return 42;
}
#endif

// Memory runs out for real: the address space goes in large reservations
// (they cost nothing), then what is left of the heap in small allocations,
// until none succeeds. A window is shown first, as on the program's window
// road: Wine loads its display driver and what drawing needs with the first
// window, and cannot once memory is gone. (32-bit only: Wine keeps a byte
// per page of every reservation, and a 64-bit address space has too many.)
void ExhaustMemory() {
    ShowWindow(MakeWindow("TrapHostExhausted", DefWindowProcA), SW_SHOW);
    PumpFor(200);
    for (size_t size = size_t(1) << 30; size >= 64 * 1024; size /= 2)
        while (VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) {}
    while (std::malloc(64)) {}
}

#if !defined(_WIN64)
uintptr_t gOwnFinal = 0;

// The handler ending this thread's exception chain as SEHOP reads it: 0 unless
// every record lies within the stack's bounds, 4-byte aligned, above the last.
uintptr_t FinalHandler() {
    NT_TIB* tib;
    __asm__ volatile("movl %%fs:0x18, %0" : "=r"(tib));
    uintptr_t below = 0;
    for (auto* r = tib->ExceptionList;; below = uintptr_t(r), r = r->Next) {
        if (uintptr_t(r) <= below || uintptr_t(r) & 3 || r < tib->StackLimit || r + 1 > tib->StackBase) return 0;
        if (uintptr_t(r->Next) == ~uintptr_t(0)) return uintptr_t(r->Handler);
    }
}
void CheckChain() { ExitProcess(gOwnFinal && FinalHandler() == gOwnFinal ? 60 : 61); }
#endif

void FaultInSystemCode() {
    using StrLen = size_t(__cdecl*)(const char*);
    auto strLen = reinterpret_cast<StrLen>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("msvcrt.dll"), "strlen")));
    strLen(reinterpret_cast<const char*>(gUnmapped));
}

}  // namespace

int main(int argc, char** argv) {
    const char* fault = argc > 1 ? argv[1] : "";
    auto is = [&](const char* name) { return std::strcmp(fault, name) == 0; };

    // Before the target is set.
    if (is("calibrate")) {
        TrapInstall();
        return 100 + TrapCalibration();
    }
    if (is("step")) {
        TrapInstall();
        return StepOverFaults();
    }
    if (is("refuse-unreadable")) {
        TrapInstall();
        reinterpret_cast<void (*)()>(gUnmapped)();
        return 77;
    }
    if (is("refuse-noncontinuable")) {
        TrapInstall();
        RaiseException(0xC0000017, EXCEPTION_NONCONTINUABLE, 0, nullptr);
        return 77;
    }
    if (is("refuse-decoder")) {
        TrapInstall();
        InstructionLength(reinterpret_cast<const uint8_t*>(gUnmapped), 8);
        return 77;
    }

    // After the program's start-up, with the error report as the target.
    StartUp(GetModuleHandleA(nullptr));
    if (argc > 3) StatementMarker = (uint32_t(std::atoi(argv[2])) << 24) | uint32_t(std::atoi(argv[3]));

    if (is("divide")) return gSeven / gZero;
    if (is("access")) Access();
    if (is("unknown")) RaiseException(0xC0000017, 0, 0, nullptr);
    if (is("noncontinuable")) RaiseException(0xC0000017, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    if (is("out-of-memory")) gKept = new char[gHuge];  // the runtime throws; nothing catches
    if (is("exhausted")) {
        if (sizeof(void*) == 8) return 77;  // see ExhaustMemory
        ExhaustMemory();
        gKept = new char[64];
    }
    if (is("overflow")) return Recurse(0);
    if (is("create")) MakeWindow("TrapHostCreate", FaultOnCreate);
    if (is("timer")) {
        SetTimer(nullptr, 0, 10, FaultOnTimer);
        PumpFor(5000);
    }
    if (is("sent")) {
        HWND hwnd = MakeWindow("TrapHostSent", FaultOnAppMessage);
        CloseHandle(CreateThread(nullptr, 0, SendFromElsewhere, hwnd, 0, nullptr));
        PumpFor(5000);
    }
    if (is("own-handler")) return OwnHandlerFirst();
    if (is("report-faults")) {
        TrapSetTarget(Access);
        Access();
    }
#if !defined(_WIN64)
    if (is("chain")) {  // ends in CheckChain, on the reserve stack
        gOwnFinal = FinalHandler();
        TrapSetTarget(CheckChain);
        Access();
    }
#endif
    if (is("report-faults-in-system")) {
        TrapSetTarget(FaultInSystemCode);
        Access();
    }
    return 77;  // the fault did not end the program
}
