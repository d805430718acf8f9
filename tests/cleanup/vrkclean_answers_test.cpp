// VrkClean with [VrkClean] in the answer file: no question, no box, exit code 0, and a log that
// says what it removed; bad answers and an unreadable file remove nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_robot.h"
#include "journal.h"
#include "lang/resource.h"
#include "machine.h"

using namespace testing_machine;

namespace {

const char kLog[] = "c:\\temp\\setup.log";
const char kAnswers[] = "C:\\temp\\answers.ini";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";
const char kRestartVariable[] = "VRK_TESTBED_RESTART_JOURNAL";

std::string Maker(const std::string& name) { return MakerDirectory() + "\\" + name; }

bool Service(const std::string& name) { return RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + name); }

size_t Count(const std::string& who, const std::string& what) {
    size_t n = 0;
    for (const auto& entry : testing_journal::JournalOf(who)) n += entry.what == what;
    return n;
}

HMODULE MachineModule() {
    static HMODULE module = LoadLibraryExA(Maker("LANGENG.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

std::string LanguageText(UINT id) {
    char text[1024] = "";
    const int n = LoadStringA(MachineModule(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

class CleanupVrkCleanAnswers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetEnvironmentVariableA(kRestartVariable, "C:\\testbed\\journal.txt"));
        testing_journal::ClearJournal();
    }

    // VrkClean with these answers, ended on its own: nobody answers anything. The log's lines
    // without their time stamps ("SS LL message").
    std::vector<std::string> Run(const std::string& answers, const std::string& answerFile = kAnswers) {
        EXPECT_TRUE(WriteFileBytes(kAnswers, answers));
        EXPECT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile", answerFile));
        DeleteFileA(kLog);
        const ProgramResult result = RunProgram("\"" + Maker("VrkClean.exe") + "\"", 120000);
        EXPECT_TRUE(result.started);
        EXPECT_FALSE(result.timedOut) << "VrkClean waited for someone to answer";
        EXPECT_EQ(0u, result.exitCode);
        std::vector<std::string> lines;
        for (const std::string& line : SplitLines(ReadFileBytes(kLog)))
            if (line.size() > 30 && line[2] == ' ' && line[5] == ' ') lines.push_back(line.substr(0, 6) + line.substr(31));
        return lines;
    }

    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        for (const std::string& l : lines)
            if (l == line) return true;
        return false;
    }
    static bool HasPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
        for (const std::string& l : lines)
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    }
    static std::string Shown(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) text += l + "\n";
        return text;
    }
};

TEST_F(CleanupVrkCleanAnswers, TheAnsweredLinesGoWithoutAQuestion) {
    for (const char* shape : {"products\\router.reg", "products\\dialcore.reg"}) {
        const ProgramResult r = RunProgram(std::string("regedit.exe /S C:\\testbed\\") + shape, 60000);
        ASSERT_TRUE(r.started && !r.timedOut && r.exitCode == 0) << shape;
    }

    // A line that is not there is named and left out; the files stay, the control panel is not
    // called and the computer not restarted.
    std::vector<std::string> log =
        Run("[VrkClean]\r\nLines=remoteaccess, Gateway\r\nNetworkSettings=no\r\nColour=red\r\n");
    EXPECT_FALSE(Service("VrkRas"));
    EXPECT_FALSE(Service("VrkRasTraceSV"));
    EXPECT_TRUE(Service("VrkMpr"));
    EXPECT_TRUE(Has(log, "33 02 [VrkClean] answers taken from C:\\temp\\answers.ini")) << Shown(log);
    EXPECT_TRUE(Has(log, "33 01 [VrkClean] Colour: unknown key, ignored")) << Shown(log);
    EXPECT_TRUE(Has(log, "33 01 [VrkClean] Lines: not detected, left out: \"Linvora for Windows\" ")) << Shown(log);
    EXPECT_TRUE(Has(log, "35 02 VrkClean: removing \"Varnek ISDN DialCore\" (files kept)")) << Shown(log);
    EXPECT_TRUE(Has(log, "35 02 VrkClean: network settings not opened")) << Shown(log);
    EXPECT_TRUE(Has(log, "35 02 VrkClean: no restart")) << Shown(log);
    EXPECT_EQ("35 02 VRKCLEAN.EXE LEAVE", log.empty() ? "" : log.back());
    EXPECT_FALSE(HasPrefix(log, "33 02 _DeleteFileList"));
    EXPECT_EQ(0u, Count("NCPA.CPL", "CPlSetup"));
    EXPECT_EQ(0u, Count("VrkClean.exe", "ExitWindowsEx"));

    // Answers that cannot be taken, and a file that cannot be read: nothing is removed.
    const struct {
        std::string answers;
        std::string file;
        std::string line;
    } refused[] = {
        {"[VrkClean]\r\nLines=Router, Modem\r\n", kAnswers,
         "33 01 [VrkClean] Lines: \"Modem\" is none of Router, RemoteAccess, Gateway, All; ends as if cancelled"},
        {"[VrkClean]\r\nLines=All\r\nDeleteFiles=perhaps\r\n", kAnswers,
         "33 01 [VrkClean] DeleteFiles: not yes or no; ends as if cancelled"},
        {"[VrkClean]\r\nLines=All\r\n", "C:\\temp\\missing.ini",
         "33 01 Answer file C:\\temp\\missing.ini cannot be read; [VrkClean] ends as if cancelled"},
    };
    for (const auto& c : refused) {
        log = Run(c.answers, c.file);
        EXPECT_TRUE(Has(log, c.line)) << Shown(log);
        EXPECT_TRUE(Has(log, "35 01 VrkClean: nothing removed")) << Shown(log);
        EXPECT_TRUE(Service("VrkMpr")) << c.line;
        EXPECT_EQ(0u, Count("NCPA.CPL", "CPlSetup")) << c.line;
    }

    // The last line with its files and the restart; the file lists are not to be found, and the
    // box that would say so is a line of the log.
    ASSERT_TRUE(MoveFileA(Maker("DELFILES.DAT").c_str(), Maker("DELFILES.AWAY").c_str()));
    log = Run("[VrkClean]\r\nLines=All\r\nDeleteFiles=yes\r\nRestart=yes\r\n");
    ASSERT_TRUE(MoveFileA(Maker("DELFILES.AWAY").c_str(), Maker("DELFILES.DAT").c_str()));
    EXPECT_FALSE(Service("VrkMpr"));
    EXPECT_TRUE(Has(log, "35 02 VrkClean: removing \"Varnek ISDN Multiprotocol Router\" (files deleted)")) << Shown(log);
    EXPECT_TRUE(Has(log, "33 01 " + LanguageText(IDS_DELFILES_NOT_FOUND))) << Shown(log);
    EXPECT_TRUE(Has(log, "35 02 VrkClean: restart started")) << Shown(log);
    EXPECT_EQ(1u, Count("NCPA.CPL", "CPlSetup"));
    EXPECT_EQ(1u, Count("VrkClean.exe", "ExitWindowsEx"));
}

TEST_F(CleanupVrkCleanAnswers, WithoutItsSectionVrkCleanAsksAsAlways) {
    const ProgramResult r = RunProgram("regedit.exe /S C:\\testbed\\products\\linvora.reg", 60000);
    ASSERT_TRUE(r.started && !r.timedOut && r.exitCode == 0);
    ASSERT_TRUE(WriteFileBytes(kAnswers, "[VrkMprLanConfig]\r\nGateway=no\r\n"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile", kAnswers));
    ASSERT_NE(nullptr, MachineModule());
    ProgramResult result;
    dialog_robot::BackgroundCall call([&result] {
        result = RunProgram("\"" + Maker("VrkClean.exe") + "\"", 120000);
        return INT_PTR(0);
    });
    HWND dialog = dialog_robot::WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
    ASSERT_NE(nullptr, dialog) << "VrkClean did not ask";
    dialog_robot::Click(dialog, IDCANCEL);
    ASSERT_TRUE(call.Wait(60000));
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_TRUE(Service("VrkLV"));
}

}  // namespace
