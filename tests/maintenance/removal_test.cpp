// What a removal may touch: only the package's own keys and files, whatever names the machine's
// keys and files carry; only the package's own file list; a move that fails keeps the file it
// would have replaced; the administrator's "keep the files"; what the lines added to the system's
// shared lists, and the files the configuration center named.
#include <algorithm>
#include <string>
#include <vector>

#include "cleanup_fixture.h"
#include "common/language.h"
#include "common/setup_log.h"
#include "dialog_robot.h"
#include "maintenance/cleanup_engine.h"

using namespace cleanup_testing;
using namespace maintenance_testing;
using namespace testing_machine;

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";
const char kTraceParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters";
const char kSystemLog[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System";
const char kGroupOrder[] = "SYSTEM\\CurrentControlSet\\Control\\ServiceGroupOrder";

// One clean-up in the test's own process, with the log and the language module a setup
// procedure would have.
void CleanUpHere(void (*cleanUp)(HWND, BOOL, BOOL), BOOL deleteFiles) {
    ASSERT_TRUE(OpenSetupLog("SOFTWARE\\VARNEK\\VrkSetup", "LogName", "LogLevel"));
    ASSERT_TRUE(AttachLanguageModule());
    cleanUp(nullptr, deleteFiles, TRUE);
    DetachLanguageModule();
    CloseSetupLog();
}

bool Logged(const std::string& message) {
    const std::vector<std::string> messages = LogMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

class RemovalTest : public CleanUpTest {};

TEST_F(RemovalTest, KeyAndFileNamesThatSpellOtherPathsNameOnlyThemselves) {
    InstallLines(kRemoteAccess | kGateway);
    // A service key whose name holds a root-like prefix, and one with an environment reference
    // that expands to a path: each would name a victim if its name were read as a path.
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "VrkVictim\\Below", "v", "victim"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VrkVictim2", "v", "victim"));
    ASSERT_TRUE(SetEnvironmentVariableA("VRKVICTIMPATH", "X:SOFTWARE\\VrkVictim2"));
    for (const char* name : {"VrkRasX:VrkVictim", "VrkRas%VRKVICTIMPATH%"})
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + name, "Type", 1)) << name;
    ASSERT_TRUE(CleanUp(kRemoteAccess));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "VrkVictim\\Below"));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VrkVictim2"));
    for (const char* name : {"VrkRasX:VrkVictim", "VrkRas%VRKVICTIMPATH%"})
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + name)) << name;
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "VrkVictim");
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VrkVictim2");

    // Files found by a mask: "%SystemRoot%.tmp" is a name, not C:\windows.tmp.
    const std::string windowsTmp = Expand("%SystemRoot%.tmp"), windowsOld = Expand("%SystemRoot%.old");
    ASSERT_TRUE(WriteFileBytes(windowsTmp, "victim"));
    ASSERT_TRUE(WriteFileBytes(windowsOld, "victim"));
    ASSERT_TRUE(WriteFileBytes(Maker("%SystemRoot%.tmp"), "the package's"));
    ASSERT_TRUE(WriteFileBytes(Maker("%SystemRoot%.old"), "the package's"));
    // A mask's match moved under its own name in the same folder is moved onto itself.
    ASSERT_TRUE(WriteFileBytes(Maker("plain.old"), "plain"));
    {
        DelFilesOverride list("[DELETE VrkLV]\r\n1=*.tmp\r\n[MOVE OLD VrkMpr]\r\n1=*.old,unused\r\n");
        ASSERT_TRUE(CleanUp(kGateway));
        const ProgramResult update = CallExport("VrkMprUpdateOldVersion");
        EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), update.out);
    }
    EXPECT_EQ("victim", ReadFileBytes(windowsTmp));
    EXPECT_EQ("victim", ReadFileBytes(windowsOld));
    EXPECT_FALSE(PathExists(Maker("%SystemRoot%.tmp")));
    EXPECT_EQ("the package's", ReadFileBytes(Maker("%SystemRoot%.old"))) << "moved onto itself";
    EXPECT_EQ("plain", ReadFileBytes(Maker("plain.old"))) << "moved onto itself";
    DeleteFileA(Maker("plain.old").c_str());
    DeleteFileA(windowsTmp.c_str());
    DeleteFileA(windowsOld.c_str());
}

TEST_F(RemovalTest, OnlyThePackagesOwnFileListIsObeyed) {
    InstallLines(kRemoteAccess | kGateway);
    const std::string victim = "C:\\temp\\victim.dll";
    ASSERT_TRUE(WriteFileBytes(victim, "victim"));
    const std::string planted = FreshDirectory("planted") + "\\DELFILES.DAT";
    ASSERT_TRUE(WriteFileBytes(planted, "[DELETE VrkLV]\r\n1=" + victim + "\r\n"));
    // The package's list is gone (the fixture's copy of the package too): the user is told, and
    // the list found elsewhere is not run.
    const std::string copies[] = {Maker("DELFILES.DAT"), "C:\\temp\\maker-backup\\DELFILES.DAT"};
    for (const std::string& copy : copies) ASSERT_TRUE(MoveFileA(copy.c_str(), (copy + ".away").c_str())) << copy;
    dialog_robot::BackgroundCall call([] { return static_cast<INT_PTR>(CallExport("VrkLVCleanUp 0").exitCode); });
    const dialog_robot::MessageBoxSeen seen = dialog_robot::AnswerMessageBox(IDOK, 180000);
    ASSERT_TRUE(call.Wait(180000));
    for (const std::string& copy : copies) ASSERT_TRUE(MoveFileA((copy + ".away").c_str(), copy.c_str())) << copy;
    EXPECT_EQ(0, call.result());
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);
    EXPECT_EQ("victim", ReadFileBytes(victim));
    EXPECT_TRUE(Logged("FindDelFilesDat : " + planted + " is not the package's file list; ignored"))
        << ::testing::PrintToString(LogMessages());
    DeleteFileA(victim.c_str());
    DeleteFileA(planted.c_str());
}

TEST_F(RemovalTest, AMoveThatFailsKeepsTheFileItWouldHaveReplaced) {
    ASSERT_TRUE(WriteFileBytes(Maker("FIREWALL.DAT"), "old rules"));
    ASSERT_TRUE(WriteFileBytes(Maker("VrkMprFw.dat"), "current rules"));
    {
        HeldOpen held(Maker("FIREWALL.DAT"));
        ASSERT_TRUE(held.holding());
        const ProgramResult r = CallExport("VrkMprUpdateOldVersion");
        EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), r.out);
    }
    EXPECT_EQ("current rules", ReadFileBytes(Maker("VrkMprFw.dat")));
    EXPECT_EQ("old rules", ReadFileBytes(Maker("FIREWALL.DAT")));
    const std::vector<std::string> messages = LogMessages();
    const std::string failed = "Move file did not successful (" + Maker("FIREWALL.DAT") + " --> " +
                               Maker("VrkMprFw.dat") + "); error ";
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(),
                            [&](const std::string& m) { return m.rfind(failed, 0) == 0; }))
        << ::testing::PrintToString(messages);
    // Free again, it moves over the current one.
    const ProgramResult r = CallExport("VrkMprUpdateOldVersion");
    EXPECT_EQ("old rules", ReadFileBytes(Maker("VrkMprFw.dat")));
    EXPECT_FALSE(PathExists(Maker("FIREWALL.DAT")));
}

TEST_F(RemovalTest, SectionsThatFillTheReadExactlyAreTakenWhole) {
    InstallLines(kRemoteAccess | kGateway);
    // Sections of 1022 and 1023 bytes with their NULs: each fits the 1024 bytes of one read, the
    // last line naming a file that must go.
    for (const size_t size : {1022u, 1023u}) {
        SCOPED_TRACE(size);
        std::string section = "[DELETE VrkLV]\r\n";
        size_t bytes = 0;
        for (int i = 0; bytes + 100 <= size - 20; ++i) {
            std::string line = std::to_string(10 + i) + "=missing";
            line += std::string(99 - line.size() - 3, 'x') + ".lv";
            section += line + "\r\n";
            bytes += line.size() + 1;
        }
        std::string last = "99=last";
        last += std::string(size - bytes - last.size() - 1 - 3, 'y') + ".lv";
        ASSERT_EQ(size, bytes + last.size() + 1);
        ASSERT_TRUE(WriteFileBytes(Maker(last.substr(3)), "last"));
        DelFilesOverride list(section + last + "\r\n");
        ASSERT_TRUE(CleanUp(kGateway));
        EXPECT_FALSE(PathExists(Maker(last.substr(3))));
        const std::vector<std::string> messages = LogMessages();
        EXPECT_FALSE(std::any_of(messages.begin(), messages.end(), [](const std::string& m) {
            return m.find("longer than 1024 bytes") != std::string::npos;
        }));
        InstallLines(kGateway);
    }
}

TEST_F(RemovalTest, WithoutDeleteFilesTheTracesLogsAndSetupLogsStay) {
    InstallLines(kRemoteAccess);
    ASSERT_TRUE(WriteFileBytes("c:\\temp\\setup_1.log", "an older log"));
    CleanUpHere(CleanUpRemoteAccess, FALSE);
    for (const char* kept : {"RasTrc.TXT", "RasLog1.TXT", "caller.dat"}) EXPECT_TRUE(PathExists(Maker(kept))) << kept;
    EXPECT_EQ("an older log", ReadFileBytes("c:\\temp\\setup_1.log"));
    const State state = MachineState();
    EXPECT_EQ(0u, state.count(PendingEntry(kLogFile))) << "the setup log stays";
    // The programs go all the same, and the log says which lists ran and which did not.
    for (const char* gone : {"VrkLogSV.exe", "MFC42.DLL", "old.tmp"}) EXPECT_FALSE(PathExists(Maker(gone))) << gone;
    EXPECT_EQ(1u, state.count(PendingEntry(Drivers() + "\\VrkMprTrc.sys")));
    const std::string ini = ";ini=" + Maker("DELFILES.DAT");
    EXPECT_TRUE(Logged("_DeleteFileList DELETE VrkSetup" + ini));
    EXPECT_TRUE(Logged("File list DELETE Trace Files not run: the files are kept"));
    EXPECT_TRUE(Logged("File list DELETE VrkRas not run: the files are kept"));
    EXPECT_FALSE(Logged("_DeleteFileList DELETE Trace Files" + ini));
    DeleteFileA("c:\\temp\\setup_1.log");
}

TEST_F(RemovalTest, FilesTheCenterNamedGoWithTheLinesFilesOnly) {
    const std::string folder = FreshDirectory("named");
    const char* const named[] = {"isdn.trc", "isdn1.trc", "isdn3.trc", "isdn.log", "isdn1.log", "callers.txt",
                                 "service.log", "service_1.log"};
    for (const bool deleteFiles : {false, true}) {
        SCOPED_TRACE(deleteFiles ? "files deleted" : "files kept");
        InstallLines(kRemoteAccess | kGateway);
        for (const char* name : named) ASSERT_TRUE(WriteFileBytes(folder + "\\" + name, name));
        ASSERT_TRUE(WriteFileBytes(folder + "\\keep.txt", "not named"));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceParameters, "TraceFileName", folder + "\\isdn.trc"));
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kTraceParameters, "TraceFileCount", 3));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceParameters, "LogFileName", folder + "\\isdn.log"));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceParameters, "TraceServiceTrace", folder + "\\service.log"));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters",
                                 "IncomingCallerFile", folder + "\\callers.txt"));
        if (deleteFiles) {
            ASSERT_TRUE(CleanUp(kRemoteAccess));
        } else {
            CleanUpHere(CleanUpRemoteAccess, FALSE);
        }
        for (const char* name : named) EXPECT_EQ(!deleteFiles, PathExists(folder + "\\" + name)) << name;
        EXPECT_TRUE(PathExists(folder + "\\keep.txt"));
        // The default names stay for the shared list, which runs with the last line.
        EXPECT_TRUE(PathExists(Maker("RasTrc.TXT")));
    }
}

TEST_F(RemovalTest, WhatTheLinesAddedToSharedListsGoesWithTheLastLineThatNeedsIt) {
    const std::vector<std::string> groups = ReadMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List");
    const std::vector<std::string> sources = ReadMultiString(HKEY_LOCAL_MACHINE, kSystemLog, "Sources");
    ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, kSystemLog, "Sources", {"System", "VrkRas", "Tcpip"}));
    for (const Line first : {kRouter, kRemoteAccess}) {
        SCOPED_TRACE(std::string("first the ") + LineName(first));
        InstallLines(kRouter | kRemoteAccess);
        for (const char* call : {"VrkMprSetRegistry 0", "VrkRasProvideRegistry 0"})
            EXPECT_EQ(0u, CallExport(call).exitCode) << call;
        ASSERT_NE(groups, ReadMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List"));
        ASSERT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kSystemLog) + "\\VrkRas"));

        ASSERT_TRUE(CleanUp(first));
        // The trace driver's group stays while the driver does; the event source goes with its line.
        EXPECT_NE(groups, ReadMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List"));
        EXPECT_EQ(first != kRemoteAccess, RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kSystemLog) + "\\VrkRas"));
        ASSERT_TRUE(CleanUp(first == kRouter ? kRemoteAccess : kRouter));
        EXPECT_EQ(groups, ReadMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List"));
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kSystemLog) + "\\VrkRas"));
        EXPECT_EQ((std::vector<std::string>{"System", "Tcpip"}), ReadMultiString(HKEY_LOCAL_MACHINE, kSystemLog, "Sources"));
        ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, kSystemLog, "Sources", {"System", "VrkRas", "Tcpip"}));
    }
    ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, kSystemLog, "Sources", sources));
}

TEST_F(RemovalTest, TheMonitorsPortGoesBackWithTheRemoteAccessLine) {
    const char kMonitor[] = "Software\\Microsoft\\RAS Monitor";
    // The substitute monitor shows its window: monstart then places it.
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\Varnek Testbed\\rasmon", "Title", "RAS-MONITOR"));
    for (const char* before : {"7", ""}) {
        SCOPED_TRACE(*before ? "a port of the user's own" : "no port before");
        InstallLines(kRemoteAccess | kGateway);
        // The line's removal deletes its programs, monstart among them.
        ASSERT_TRUE(CopyFileA("C:\\temp\\maker-backup\\monstart.exe", Maker("monstart.exe").c_str(), FALSE));
        DeleteRegKeyTree(HKEY_CURRENT_USER, kMonitor);
        if (*before) {
            ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, kMonitor, "Port", before));
        }
        const std::string monstart = "\"" + Maker("monstart.exe") + "\"";
        RunProgram(monstart + " -c 2", 60000);
        RunProgram(monstart + " -k -n", 60000);
        std::string port;
        ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, kMonitor, "Port", &port));
        ASSERT_EQ(std::string("1", 2), port) << "monstart leaves the last monitor's port";
        ASSERT_TRUE(CleanUp(kRemoteAccess));
        if (*before) {
            ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, kMonitor, "Port", &port));
            EXPECT_EQ(std::string(before) + '\0', port);
        } else {
            EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, kMonitor));
        }
        EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\VARNEK"));
    }
    DeleteRegKeyTree(HKEY_CURRENT_USER, "Software\\Varnek Testbed");
}

TEST_F(RemovalTest, TheDriversTapiLinesGoWithTheRemoteAccessLine) {
    const char kTapi[] = "HARDWARE\\DEVICEMAP\\TAPI DEVICES";
    // The device map is volatile, as on NT: its keys are made so.
    const auto volatileKey = [](const std::string& path) {
        HKEY key = nullptr;
        const bool made = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                          KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        return made;
    };
    for (const bool other : {true, false}) {
        SCOPED_TRACE(other ? "beside another device" : "alone");
        InstallLines(kRemoteAccess | kGateway);
        ASSERT_TRUE(volatileKey(kTapi) && volatileKey(std::string(kTapi) + "\\VrkRas"));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, std::string(kTapi) + "\\VrkRas", "Media Type", "ISDN"));
        if (other) {
            ASSERT_TRUE(volatileKey(std::string(kTapi) + "\\Other"));
        }
        ASSERT_TRUE(CleanUp(kRemoteAccess));
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kTapi) + "\\VrkRas"));
        EXPECT_EQ(other, RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kTapi) + "\\Other"));
        EXPECT_EQ(other, RegKeyPresent(HKEY_LOCAL_MACHINE, kTapi));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kTapi);
    }
}

}  // namespace
