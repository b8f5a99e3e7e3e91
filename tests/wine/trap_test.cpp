// The crash trap and the error report, on programs built from the program's
// own sources (tools/trap_host) and on the real program.
#include <gtest/gtest.h>

#include "app/core/catalogue.h"
#include "crashtrap/core/module_names.h"
#include "driver/program.h"

namespace {

const char kAccessViolation[] = "An attemped read or write to/from an address to which that process isn't allowed";

drv::Process StartHost(const std::string& args) {
    drv::Process p = drv::Start(drv::ToolPath("trap_host.exe"), args, drv::FreshFolder("trap-host"));
    EXPECT_TRUE(p.Started()) << args;
    return p;
}

// Waits for the process to end; a box shown meanwhile fails and ends it.
long EndsWithoutABox(drv::Process& p, const std::string& what) {
    bool box = false;
    drv::WaitFor([&] { return (box = !drv::TopWindows(p.Id(), "#32770").empty()) || !p.Running(); }, 15000, 10);
    if (box) {
        p.Kill();
        ADD_FAILURE() << what << " showed a box";
        return -2;
    }
    long code = p.Wait(1000);
    if (code == -1) p.Kill();
    return code;
}

// The error box: title, icon, OK only, and the three lines. After OK the
// process must end with 0 and show nothing more.
void ExpectOneReport(drv::Process& p, const std::string& text, const std::string& what) {
    if (!drv::AnswerBox(p.Id(), "Error", text, MB_ICONERROR | MB_OK)) {
        p.Kill();
        FAIL() << "no error report for " << what;
    }
    bool another = false;
    drv::WaitFor([&] {
        for (HWND hwnd : drv::TopWindows(p.Id(), "#32770"))
            if (drv::WindowText(hwnd) == "Error") another = true;
        return another || !p.Running();
    }, 10000, 10);
    EXPECT_FALSE(another) << "a second report for " << what;
    long code = p.Wait(1000);
    if (code == -1) p.Kill();
    EXPECT_EQ(code, 0) << what;
}

std::string Report(const std::string& description, const std::string& module, int line) {
    return description + "\r" + module + "\rLine: " + std::to_string(line);
}

TEST(CrashTrap, BeforeTheTargetFaultsAreSteppedOverOrEndTheProcess) {
    {
        drv::Process p = StartHost("calibrate");
        EXPECT_EQ(p.Wait(10000), 101) << "Wine reports CD 03 on its operand byte";
    }
    {
        // Each faulting instruction and breakpoint of the host is skipped:
        // eleven in 32-bit code, thirteen in 64-bit code (REX forms too).
        drv::Process p = StartHost("step");
        EXPECT_EQ(p.Wait(10000), sizeof(void*) == 8 ? 13 : 11);
    }
    // Where no instruction can be decoded the process ends rather than
    // continuing somewhere arbitrary.
    for (const char* fault : {"refuse-unreadable", "refuse-decoder", "refuse-noncontinuable"}) {
        drv::Process p = StartHost(fault);
        EXPECT_EQ(EndsWithoutABox(p, fault), 0) << fault;
    }
}

TEST(CrashTrap, EachFaultShowsOneReportAndEndsWithZero) {
    const std::string common = ModuleNameTable[1];
    const std::string store = ModuleNameTable[6];
    const struct {
        const char* args;
        std::string text;
    } cases[] = {
        {"divide 1 40", Report("Attempted division by zero", common, 40)},
        {"access 6 12", Report(kAccessViolation, store, 12)},
        {"access 0 77", Report(kAccessViolation, "Main Module", 77)},
        {"unknown 1 3", Report("UNKNOWN Error", common, 3)},
        // The system refuses to continue from these: the report must not
        // wait for that.
        {"noncontinuable 6 4", Report("UNKNOWN Error", store, 4)},
        // Without exception handling in the program, a runtime exception
        // ends like a fault, not in the C runtime's abort with exit code 3.
        {"out-of-memory 1 8", Report("UNKNOWN Error", common, 8)},
        {"overflow 6 16777215",
         Report("Stack overflow.Can occur during errant recursion, or when a function creates a particularly large "
                "array on the stack.",
                store, 16777215)},
        // Inside window procedures that the system calls back: Wine would
        // swallow these faults without the trap's own-code handler.
        {"create 1 5", Report(kAccessViolation, common, 5)},
        {"timer 1 6", Report(kAccessViolation, common, 6)},
        {"sent 1 7", Report(kAccessViolation, common, 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        drv::Process p = StartHost(c.args);
        ExpectOneReport(p, c.text, c.args);
    }
}

// Memory exhausted for real, by small allocations: the report must need none.
TEST(CrashTrap, MemoryRunOutShowsTheReport) {
    if (sizeof(void*) == 8) GTEST_SKIP() << "a 64-bit address space is too large to exhaust here";
    drv::Process p = StartHost("exhausted 1 9");
    ExpectOneReport(p, Report("UNKNOWN Error", ModuleNameTable[1], 9), "exhausted");
}

TEST(CrashTrap, AFaultInsideTheReportEndsTheProcessAtOnce) {
    for (const char* fault : {"report-faults", "report-faults-in-system"}) {
        drv::Process p = StartHost(fault);
        EXPECT_EQ(EndsWithoutABox(p, fault), 0) << fault;
    }
}

// Windows with SEHOP ends the process when the chain does not end in the
// system's final record (Wine checks nothing of it).
TEST(CrashTrap, OnTheReserveStackTheChainEndsInTheSystemsFinalRecord) {
    if (sizeof(void*) == 8) GTEST_SKIP() << "x64 has no chain of frame records";
    drv::Process p = StartHost("chain");
    EXPECT_EQ(EndsWithoutABox(p, "chain"), 60);
}

TEST(CrashTrap, AHandlerOfTheProgramGetsItsFaultFirst) {
    drv::Process p = StartHost("own-handler 1 9");
    EXPECT_EQ(EndsWithoutABox(p, "own-handler"), 42);
}

// The real program, with nothing compiled in for tests: a thread started in
// it from outside at an unmapped address faults while its main thread waits
// in a message box.
TEST(CrashTrap, TheProgramReportsAFaultMadeFromOutside) {
    drv::Program app("trap-program");
    drv::Process p = app.Run("SomeMissingProject");
    ASSERT_TRUE(p.Started());
    drv::MessageBoxInfo info = drv::WaitMessageBoxTitled(p.Id(), "Info");
    ASSERT_NE(info.hwnd, nullptr);
    EXPECT_EQ(info.text, CatalogueTextFor(Msg::kNoProjects, 0));

    HANDLE thread = CreateRemoteThread(p.Handle(), nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(0x10),
                                       nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr) << GetLastError();
    CloseHandle(thread);

    drv::MessageBoxInfo box = drv::WaitMessageBoxTitled(p.Id(), "Error");
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.icon, UINT(MB_ICONERROR));
    // The statement that was running is the main thread's: the one that
    // showed the "Info" box.
    size_t first = box.text.find('\r'), second = box.text.find('\r', first + 1);
    ASSERT_NE(second, std::string::npos) << box.text;
    EXPECT_EQ(box.text.substr(0, first), kAccessViolation);
    std::string module = box.text.substr(first + 1, second - first - 1);
    bool known = module == "Main Module";
    for (uint32_t i = 1; i < kModuleCount; ++i) known = known || module == ModuleNameTable[i];
    EXPECT_TRUE(known) << module;
    std::string line = box.text.substr(second + 1);
    EXPECT_EQ(line.rfind("Line: ", 0), 0u) << line;
    EXPECT_GT(std::atol(line.c_str() + 6), 0) << line;
    EXPECT_EQ(line.find_first_not_of("0123456789", 6), std::string::npos) << line;

    drv::PressButton(box.hwnd, IDOK);
    EXPECT_EQ(p.Wait(10000), 0);
}

}  // namespace
