// What the tests of the configuration center share: the center started the way setup and
// cfgcenter start it, the language module of the machine, and the testbed's journal.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialog_robot.h"
#include "journal.h"
#include "lang/resource.h"
#include "machine.h"
#include "vrkras_driver.h"

namespace center_test {

#ifdef VRK_GERMAN_MACHINE
constexpr bool kGermanMachine = true;
#else
constexpr bool kGermanMachine = false;
#endif

// A text of the system in both languages; the machine's language picks one.
struct Text {
    const char* english;
    const char* german;
    std::string get() const { return kGermanMachine ? german : english; }
};

const Text kCenterTitle = {"Varnek ISDN DIALCORE configuration", "Varnek ISDN DIALCORE Konfiguration"};

inline std::string Dll() { return testing_machine::MakerDirectory() + "\\VRKSUDLL.DLL"; }

// The language module the package loads on this machine, for finding its dialogs.
inline HMODULE MachineModule() {
    static HMODULE module = LoadLibraryA(
        (testing_machine::MakerDirectory() + (kGermanMachine ? "\\LANGGER.DLL" : "\\LANGENG.DLL")).c_str());
    return module;
}

inline std::string LoadText(UINT id) {
    char text[1024] = "";
    const int n = LoadStringA(MachineModule(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

// A program started in the background, whose output is there once it has ended.
struct Started {
    testing_machine::ProgramResult result;
    std::unique_ptr<dialog_robot::BackgroundCall> call;
    bool Ended() { return call->Wait(20000); }
};

inline std::unique_ptr<Started> Start(const std::string& commandLine) {
    auto started = std::make_unique<Started>();
    Started* s = started.get();
    s->call = std::make_unique<dialog_robot::BackgroundCall>([s, commandLine] {
        s->result = testing_machine::RunProgram(commandLine, 120000);
        return INT_PTR(0);
    });
    return started;
}

// CallRasConfigCenter through the setup engine's stand-in, with the parameter as argv[1].
inline std::unique_ptr<Started> StartCenterByHost(const std::string& parameter) {
    return Start("C:\\testbed\\host.exe \"" + Dll() + "\" CallRasConfigCenter 0 \"" + parameter + "\"");
}

inline HWND WaitForCenter() { return dialog_robot::WaitForDialog(MachineModule(), IDD_CONFIG_CENTER); }

inline HWND OpenPage(HWND center, int button, WORD templateId) {
    dialog_robot::Click(center, button);
    return dialog_robot::WaitForDialog(MachineModule(), templateId);
}

// Closes the center and waits until its program has ended.
inline void CloseCenter(HWND center, Started* program) {
    dialog_robot::Click(center, IDCANCEL);
    dialog_robot::WaitUntilGone(center);
    EXPECT_TRUE(program->Ended());
}

// The center opens the device for itself alone, and Wine hands the driver the close of the
// previous center's last handle only some time after that program ended: wait for it.
inline void WaitUntilNoCenterHoldsTheDriver(const testing_vrkras::DriverControl& driver) {
    vrkras_state state = {};
    for (int n = 0; n < 250 && driver.State(&state) && state.open_now != 0; ++n) dialog_robot::Pump(20);
    EXPECT_EQ(0u, state.open_now) << "a handle of the previous center is still open";
}

// The command lines the substitute recorded, in order; waits up to timeoutMs for count of them.
inline std::vector<std::string> StartedLines(const std::string& program, size_t count = 0, DWORD timeoutMs = 10000) {
    std::vector<std::string> lines;
    const DWORD start = GetTickCount();
    do {
        lines.clear();
        for (const auto& entry : testing_journal::JournalOf(program)) lines.push_back(entry.detail);
        if (lines.size() >= count) break;
        dialog_robot::Pump(50);
    } while (GetTickCount() - start < timeoutMs);
    return lines;
}

// True once no handle of the process is left anywhere: a starter that kept its handles keeps
// the ended process findable by its id.
inline bool ProcessLeftNoHandle(DWORD pid, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    do {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (!process) return true;
        CloseHandle(process);
        dialog_robot::Pump(50);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

}  // namespace center_test
