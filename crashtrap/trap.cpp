// The process-wide crash trap.
//
// Faults reach it two ways: the unhandled-exception filter (every thread,
// every module) and a vectored handler that takes faults of the program's own
// code. The vectored handler is needed because Wine, and 64-bit Windows for
// 32-bit programs, swallow a fault inside a window procedure that the system
// called back (WM_CREATE, WM_SIZE from MoveWindow, timer procedures, messages
// sent from other threads): the filter never sees those.
//
// Until a target is set (mode 1) a fault is stepped over by decoding the
// faulting instruction's length. With a target (mode 2) the faulting thread
// continues at the target, on a stack reserved for it: after a stack overflow
// the thread's own stack has about 2 KB left and anything called there dies
// silently.
#include "crashtrap/trap.h"

#include <windows.h>

#include "crashtrap/core/decoder.h"
#include "crashtrap/core/fault_text.h"
#include "crashtrap/core/marker.h"

namespace {

constexpr int kStepOver = 1;
constexpr int kContinueAtTarget = 2;
constexpr DWORD kTrapFlag = 0x100, kDirectionFlag = 0x400;

struct CrashTrap {
    volatile LONG mode = 0;
    TrapTarget target = nullptr;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    volatile LONG calibration = -1;
    volatile DWORD exceptionCode = 0;
    volatile uint32_t faultMarker = 0;

    PVOID vectoredHandler = nullptr;
    uintptr_t imageBegin = 0, imageEnd = 0;  // the module holding this code
    // Set when a thread has been sent to the report (or to the end). Going
    // there again would loop: a later fault ends the process at once.
    volatile LONG diverted = 0;
    volatile DWORD reportThread = 0;  // the thread that was sent
    void (*volatile continuation)() = nullptr;
    // The handler of the record that ended the sent thread's exception chain
    // (32-bit x86): the system's final handler. Null when the chain was
    // broken.
    PEXCEPTION_ROUTINE finalHandler = nullptr;
};
CrashTrap gTrap;

// The report runs here. Message boxes under Wine need far more than the few
// KB a stack overflow leaves; 512 KB of .bss costs nothing until touched.
// (With -fdata-sections MinGW's GCC would put the array in .data$..., into
// the file: the section is named explicitly.)
constexpr size_t kReserveStackSize = 512 * 1024;
__attribute__((section(".bss"))) alignas(16) unsigned char gReserveStack[kReserveStackSize];

// This thread's information block. (NtCurrentTeb's header version trips
// GCC 12's array-bounds check.)
NT_TIB* ThreadBlock() {
    NT_TIB* tib;
#if defined(_WIN64)
    __asm__ volatile("movq %%gs:0x30, %0" : "=r"(tib));
#else
    __asm__ volatile("movl %%fs:0x18, %0" : "=r"(tib));
#endif
    return tib;
}

#if defined(_WIN64)
constexpr CodeMode kCodeMode = CodeMode::k64;
uintptr_t InstructionPointer(const CONTEXT* c) { return c->Rip; }
void SetInstructionPointer(CONTEXT* c, uintptr_t ip) { c->Rip = ip; }
void SetStack(CONTEXT* c, uintptr_t sp) {
    c->Rsp = sp;
    c->Rbp = 0;
}
#else
constexpr CodeMode kCodeMode = CodeMode::k32;
uintptr_t InstructionPointer(const CONTEXT* c) { return c->Eip; }
void SetInstructionPointer(CONTEXT* c, uintptr_t ip) { c->Eip = DWORD(ip); }
void SetStack(CONTEXT* c, uintptr_t sp) {
    c->Esp = DWORD(sp);
    c->Ebp = 0;
}
#endif

bool InOwnImage(uintptr_t address) { return address >= gTrap.imageBegin && address < gTrap.imageEnd; }

[[noreturn]] void EndAtOnce() {
    TerminateProcess(GetCurrentProcess(), 0);
    for (;;) Sleep(INFINITE);
}

// Mode 1's way out when an instruction cannot be stepped over: nothing of
// the program has run yet, so ending is all there is to do in order.
[[noreturn]] void EndInOrder() {
    TrapUninstall();
    ExitProcess(0);
}

// The outermost exception handler of a thread running on the reserve stack:
// an exception nothing inside the report handled. Going to the report again
// would loop, so the process ends here.
EXCEPTION_DISPOSITION NTAPI LastHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    gTrap.faultMarker = StatementMarker;
    gTrap.exceptionCode = record->ExceptionCode;
    EndAtOnce();
}

#if !defined(_WIN64)
EXCEPTION_REGISTRATION_RECORD* const kChainEnd = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(~uintptr_t(0));

// The handler of the record that ends this thread's exception chain: the
// system's final handler, which SEHOP looks for there. Null when the chain
// leaves the thread's stack or does not climb it before its end.
PEXCEPTION_ROUTINE FinalHandler(const NT_TIB* tib) {
    const auto low = reinterpret_cast<uintptr_t>(tib->StackLimit), high = reinterpret_cast<uintptr_t>(tib->StackBase);
    uintptr_t below = 0;
    for (auto* r = tib->ExceptionList; r != kChainEnd; r = r->Next) {
        const auto at = reinterpret_cast<uintptr_t>(r);
        if (at <= below || (at & 3) || at < low || at + sizeof *r > high) return nullptr;
        if (r->Next == kChainEnd) return r->Handler;
        below = at;
    }
    return nullptr;
}
#endif

// The first code that runs on the reserve stack. The thread's stack bounds
// move with it: the exception dispatcher (Windows' and Wine's) ignores
// handler frames outside them, and newer Windows checks the stack pointer
// against them in some calls. The frames of the abandoned stack are out of
// reach from here, so the handlers start anew with LastHandler: a frame
// record on 32-bit x86; on x64 the entry below, whose unwind data names it.
// On 32-bit x86 the chain still ends in a copy of the system's final record,
// above LastHandler's: with SEHOP, Windows calls no handler of a chain that
// ends elsewhere and ends the process without the report.
extern "C" [[noreturn]] __attribute__((noinline, used)) void RunOnReserveStack() {
    NT_TIB* tib = ThreadBlock();
    tib->StackBase = gReserveStack + kReserveStackSize;
    tib->StackLimit = gReserveStack;
#if !defined(_WIN64)
    struct {
        EXCEPTION_REGISTRATION_RECORD ours, system;  // in this order: the chain climbs the stack
    } chain{};
    chain.ours.Handler = LastHandler;
    chain.ours.Next = gTrap.finalHandler ? &chain.system : kChainEnd;
    chain.system.Handler = gTrap.finalHandler;
    chain.system.Next = kChainEnd;
    tib->ExceptionList = &chain.ours;
    __asm__ volatile("fninit");  // whatever the faulting code left on the x87 stack
#endif
    gTrap.continuation();
    EndInOrder();
}

#if defined(_WIN64)
// x64 finds a frame's handler in the unwind data of its code: this entry
// declares LastHandler for everything below it. Its return address is 0,
// where the dispatcher's walk ends.
extern "C" void ReserveStackEntry();
__asm__(
    ".text\n"
    ".globl ReserveStackEntry\n"
    ".def ReserveStackEntry; .scl 2; .type 32; .endef\n"
    ".seh_proc ReserveStackEntry\n"
    "ReserveStackEntry:\n"
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_endprologue\n"
    "    .seh_handler LastHandlerEntry, @except\n"
    "    call RunOnReserveStack\n"
    "    nop\n"
    ".seh_endproc\n");
extern "C" EXCEPTION_DISPOSITION LastHandlerEntry(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                                  void* dispatch) {
    return LastHandler(record, frame, context, dispatch);
}
#endif

// Sends the faulting thread to `continuation` on the reserve stack when the
// handler returns. Only one thread ever goes there.
void Divert(CONTEXT* context, void (*continuation)()) {
    if (InterlockedExchange(&gTrap.diverted, 1) != 0) EndAtOnce();
    gTrap.continuation = continuation ? continuation : EndInOrder;
    gTrap.reportThread = GetCurrentThreadId();
#if !defined(_WIN64)
    gTrap.finalHandler = FinalHandler(ThreadBlock());
#endif
    // As just after a call from a 16-byte aligned frame, with no return address.
    uintptr_t top = (reinterpret_cast<uintptr_t>(gReserveStack) + kReserveStackSize) & ~uintptr_t(15);
    uintptr_t sp = top - 16 - sizeof(uintptr_t);
    *reinterpret_cast<uintptr_t*>(sp) = 0;
    SetStack(context, sp);
#if defined(_WIN64)
    SetInstructionPointer(context, reinterpret_cast<uintptr_t>(&ReserveStackEntry));
#else
    SetInstructionPointer(context, reinterpret_cast<uintptr_t>(&RunOnReserveStack));
#endif
    context->EFlags &= ~(kTrapFlag | kDirectionFlag);
}

// Sends this thread to `continuation` on the reserve stack at once, from
// inside a handler: for an exception the system refuses to continue from
// (it raises a new, again non-continuable one for every attempt) and for
// failures that are no exception at all.
[[noreturn]] void DivertNow(void (*continuation)()) {
    CONTEXT context{};
    Divert(&context, continuation);
#if defined(_WIN64)
    __asm__ volatile("movq %0, %%rsp\n\tjmp *%1" : : "r"(context.Rsp), "r"(context.Rip) : "memory");
#else
    __asm__ volatile("movl %0, %%esp\n\tjmp *%1" : : "r"(context.Esp), "r"(context.Eip) : "memory");
#endif
    __builtin_unreachable();
}

// Copies up to `size` bytes from `address` as far as they are readable.
size_t CopyReadable(uintptr_t address, uint8_t* out, size_t size) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    size_t got = 0;
    while (got < size) {
        MEMORY_BASIC_INFORMATION info;
        if (VirtualQuery(reinterpret_cast<void*>(address + got), &info, sizeof info) == 0) break;
        if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) || !(info.Protect & kReadable))
            break;
        uintptr_t end = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        for (; got < size && address + got < end; ++got)
            out[got] = *reinterpret_cast<const volatile uint8_t*>(address + got);
    }
    return got;
}

// The address of the instruction after the one at `address`; 0 when it
// cannot be told: the bytes are not readable, or they are the decoder's own.
uintptr_t NextInstructionAddress(uintptr_t address) {
    if (DecoderOwns(address)) return 0;
    // A processor refuses instructions longer than 15 bytes; twice that
    // leaves room for any it accepts.
    uint8_t bytes[32];
    size_t length = InstructionLength(bytes, CopyReadable(address, bytes, sizeof bytes), kCodeMode);
    return length ? address + length : 0;
}

LONG HandleFault(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    CONTEXT* context = info->ContextRecord;
    gTrap.faultMarker = StatementMarker;
    gTrap.exceptionCode = record->ExceptionCode;
    if (gTrap.diverted) EndAtOnce();  // a fault while the report runs
    if (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE)
        DivertNow(gTrap.mode == kContinueAtTarget ? gTrap.target : EndInOrder);

    const bool breakpoint = record->ExceptionCode == EXCEPTION_BREAKPOINT;
    if (breakpoint && gTrap.calibration == -1) {
        // The two-byte breakpoint of TrapInstall: a platform that reports
        // the instruction pointer on its operand byte needs it advanced by one.
        const uintptr_t before = InstructionPointer(context) - 1;
        gTrap.calibration = InOwnImage(before) && *reinterpret_cast<const uint8_t*>(before) == 0xCD ? 1 : 0;
        SetInstructionPointer(context, InstructionPointer(context) + gTrap.calibration);
    } else if (breakpoint) {
        SetInstructionPointer(context, InstructionPointer(context) + gTrap.calibration);
    }

    if (gTrap.mode == kContinueAtTarget) {
        Divert(context, gTrap.target);
    } else if (!breakpoint) {
        // Stepping over an instruction of an overflowing stack would only
        // fault again; otherwise never continue where no instruction was
        // decoded.
        uintptr_t next =
            record->ExceptionCode == EXCEPTION_STACK_OVERFLOW ? 0 : NextInstructionAddress(InstructionPointer(context));
        if (next)
            SetInstructionPointer(context, next);
        else
            Divert(context, EndInOrder);
    }
    return EXCEPTION_CONTINUE_EXECUTION;
}

LONG WINAPI TrapFilter(EXCEPTION_POINTERS* info) { return HandleFault(info); }

// True when the innermost exception handler frame of this thread belongs to
// the program: that handler gets the fault first, as it would without the trap.
#if defined(_WIN64)
// On x64 a frame's handler comes from the unwind data of its code: walk the
// frames from the fault outwards to the first that has one. The C++
// runtime's own frames (the program throws nothing) do not count. Wine's
// own guarded blocks (the one around a timer procedure, for one) are frame
// records in the thread block, as on 32-bit x86; the dispatcher calls such
// a record's handler once the walk has passed its address.
extern "C" EXCEPTION_DISPOSITION __gxx_personality_seh0(EXCEPTION_RECORD*, void*, CONTEXT*, void*);
bool ProgramHandlerComesFirst(const CONTEXT* fault) {
    const NT_TIB* tib = ThreadBlock();
    const auto low = reinterpret_cast<DWORD64>(tib->StackLimit), high = reinterpret_cast<DWORD64>(tib->StackBase);
    const auto record = reinterpret_cast<DWORD64>(tib->ExceptionList);
    const bool hasRecord = record >= low && record < high;
    CONTEXT c = *fault;
    for (int depth = 0; depth < 64 && c.Rip != 0; ++depth) {
        DWORD64 base = 0;
        RUNTIME_FUNCTION* entry = RtlLookupFunctionEntry(c.Rip, &base, nullptr);
        if (!entry) {  // a leaf function: the return address is at the stack pointer
            if (c.Rsp < low || c.Rsp + 8 > high || (c.Rsp & 7)) return false;
            c.Rip = *reinterpret_cast<const DWORD64*>(c.Rsp);
            c.Rsp += 8;
            if (hasRecord && record < c.Rsp) return false;
            continue;
        }
        void* data = nullptr;
        DWORD64 frame = 0;
        PEXCEPTION_ROUTINE handler =
            RtlVirtualUnwind(UNW_FLAG_EHANDLER, base, c.Rip, entry, &c, &data, &frame, nullptr);
        if (hasRecord && record < c.Rsp) return false;
        const auto address = reinterpret_cast<uintptr_t>(handler);
        if (handler && address != reinterpret_cast<uintptr_t>(&__gxx_personality_seh0)) return InOwnImage(address);
        if (c.Rsp < low || c.Rsp >= high) return false;
    }
    return false;
}
#else
bool ProgramHandlerComesFirst(const CONTEXT*) {
    const NT_TIB* tib = ThreadBlock();
    const auto frame = reinterpret_cast<uintptr_t>(tib->ExceptionList);
    if (frame == ~uintptr_t(0) || (frame & 3) != 0 || frame < reinterpret_cast<uintptr_t>(tib->StackLimit) ||
        frame + sizeof(EXCEPTION_REGISTRATION_RECORD) > reinterpret_cast<uintptr_t>(tib->StackBase))
        return false;
    return InOwnImage(reinterpret_cast<uintptr_t>(tib->ExceptionList->Handler));
}
#endif

// Faults of the program's own code, before the system's handlers can swallow
// them. Faults in system code stay the system's (they reach the filter when
// nothing there handles them).
//
// On the thread running the report they are left to the system as well: the
// report's message box dispatches the thread's messages, so a faulting timer
// procedure or window procedure of the program runs again under it. The
// system swallows such faults where it calls back (as it would without the
// trap) and the report stays up; any other fault there reaches LastHandler.
LONG CALLBACK TrapVectored(EXCEPTION_POINTERS* info) {
    if (!InOwnImage(reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress)))
        return EXCEPTION_CONTINUE_SEARCH;
    if (gTrap.diverted ? gTrap.reportThread == GetCurrentThreadId()
                       : info->ExceptionRecord->ExceptionCode != EXCEPTION_STACK_OVERFLOW &&
                             ProgramHandlerComesFirst(info->ContextRecord))
        return EXCEPTION_CONTINUE_SEARCH;
    return HandleFault(info);
}

void FindOwnImage() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&TrapFilter), &module);
    const auto base = reinterpret_cast<uintptr_t>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    gTrap.imageBegin = base;
    gTrap.imageEnd = base + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

int TrapInstall() {
    FindOwnImage();
    gTrap.mode = kStepOver;
    gTrap.calibration = -1;
    gTrap.previousFilter = SetUnhandledExceptionFilter(TrapFilter);
    gTrap.vectoredHandler = AddVectoredExceptionHandler(0, TrapVectored);
    // The breakpoint in its two-byte form (int 3 assembles to the one-byte
    // CC), then a no-operation where execution goes on.
    __asm__ volatile(".byte 0xCD, 0x03\n\tnop" ::: "memory");
    return 0;
}

int TrapUninstall() {
    gTrap.previousFilter = SetUnhandledExceptionFilter(gTrap.previousFilter);
    if (gTrap.vectoredHandler) {
        RemoveVectoredExceptionHandler(gTrap.vectoredHandler);
        gTrap.vectoredHandler = nullptr;
    }
    return 0;
}

TrapTarget TrapSetTarget(TrapTarget target) {
    gTrap.target = target;
    gTrap.mode = kContinueAtTarget;
    return target;
}

std::string_view TrapErrorDescription() { return ExceptionDescription(gTrap.exceptionCode); }
std::string_view TrapErrorModule() { return ModuleDisplayName(MarkerModule(gTrap.faultMarker)); }
uint32_t TrapErrorLine() { return MarkerLine(gTrap.faultMarker); }
int32_t TrapCalibration() { return gTrap.calibration; }

void TrapFail(uint32_t code) {
    gTrap.faultMarker = StatementMarker;
    gTrap.exceptionCode = code;
    if (gTrap.diverted) EndAtOnce();
    DivertNow(gTrap.mode == kContinueAtTarget ? gTrap.target : EndInOrder);
}
