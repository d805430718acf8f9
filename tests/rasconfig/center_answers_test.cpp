// CallRasConfigCenter UNATTENDED through the setup engine's stand-in: the five pages take the
// answer file's sections without a window, on an English or a German machine, and every answer
// they cannot take is in the setup log with its section and key while its page stores nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "center_robot.h"
#include "trace_service.h"
#include "vrkras_driver.h"

using namespace center_test;
using namespace dialog_robot;
using namespace testing_machine;

namespace {

const char* const kDriverKey = testing_vrkras::kDriverParameters;
const char* const kServiceKey = testing_trace_service::kParameters;
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kLog[] = "c:\\temp\\setup.log";
const char kAnswers[] = "C:\\temp\\answers.ini";
const char kHostOk[] = "CallRasConfigCenter returned TRUE; result OK\r\n";

// Every value of the keys the pages write, and caller.dat: what a refused page must leave alone.
std::map<std::string, std::string> Stored() {
    std::map<std::string, std::string> values;
    for (const char* key : {kDriverKey, kServiceKey}) {
        HKEY opened;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) continue;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumValueA(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            std::string bytes;
            GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes);
            values[std::string(key) + "\\" + name] = bytes;
        }
        RegCloseKey(opened);
    }
    values["caller.dat"] = ReadFileBytes(testing_machine::MakerDirectory() + "\\caller.dat");
    return values;
}

std::string RegBytes(const char* key, const char* name) {
    std::string bytes;
    return GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes) ? bytes : "(none)";
}

DWORD RegNumber(const char* key, const char* name) {
    const std::string bytes = RegBytes(key, name);
    return bytes.size() == 4 ? *reinterpret_cast<const DWORD*>(bytes.data()) : 0xDEADBEEF;
}

// The log's lines without their time stamps: "SS LL message".
std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(ReadFileBytes(kLog)))
        if (line.size() > 30 && line[2] == ' ' && line[5] == ' ') lines.push_back(line.substr(0, 6) + line.substr(31));
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string Shown(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

class RasconfigCenterAnswersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(testing_vrkras::InstallDriver(1));
        ASSERT_TRUE(testing_vrkras::StartDriver());
    }
    void SetUp() override {
        ASSERT_NE(nullptr, MachineModule());
        testing_journal::ClearJournal();
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", kLog));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile", kAnswers));
        WaitUntilNoCenterHoldsTheDriver(driver_);
        ASSERT_TRUE(driver_.Reset());
    }
    void TearDown() override { driver_.Faults(vrkras_faults{}); }

    // Runs the center with the parameter and the answers; the log lines it wrote.
    std::vector<std::string> Run(const std::string& answers, const std::string& parameter = "UNATTENDED") {
        EXPECT_TRUE(WriteFileBytes(kAnswers, answers));
        DeleteFileA(kLog);
        const ProgramResult result = RunProgram("C:\\testbed\\host.exe \"" + Dll() + "\" CallRasConfigCenter 0 \"" +
                                                    parameter + "\"",
                                                60000);
        // A window of the center or a box would have kept the call from returning.
        EXPECT_FALSE(result.timedOut) << "the unattended center waited for someone";
        EXPECT_EQ(kHostOk, result.out);
        WaitUntilNoCenterHoldsTheDriver(driver_);
        return LogLines();
    }
    vrkras_state State() {
        vrkras_state state = {};
        EXPECT_TRUE(driver_.State(&state));
        return state;
    }

    testing_vrkras::DriverControl driver_;
};

TEST_F(RasconfigCenterAnswersTest, EveryPageTakesItsSectionAndGoesItsOkPath) {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kServiceKey);
    DeleteFileA((testing_machine::MakerDirectory() + "\\caller.dat").c_str());
    // Bit 7 of the trace level is shown in special mode only.
    ASSERT_TRUE(driver_.PresetLevels(0x81, 0x00));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kDriverKey, "MSNEAZ", REG_MULTI_SZ, std::string("4711\0" "99\0\0", 9)));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultOutbound", "B_ISDN"));
    const std::string logName = Expand("%SystemRoot%\\SYSTEM32\\VARNEK\\RasLogDemo.TXT");
    const std::vector<std::string> log = Run(
        "[Tracing]\r\nLevel=0x2A\r\nStoreLevel=yes\r\nBackups=5\r\nSize=64\r\n"
        "[Logging]\r\nlevel=0x10\r\nFileName=%SystemRoot%\\SYSTEM32\\VARNEK\\RasLogDemo.TXT\r\nBackups=2\r\nSize=1024\r\n"
        "[MsnEaz]\r\nDelete=99, 100\r\nAdd=4711 x75, 4712 HDLC, 4713\r\n"
        "[Protocols]\r\nInbound=x75\r\n"
        "[Callers]\r\nAdd=0301234567 Zentrale Berlin, 0401111, 0301234567 Again\r\nUnmark=0401111\r\nFlags=1\r\n");

    const vrkras_state state = State();
    EXPECT_EQ(0xAAu, state.trace_level) << "bits 1, 3, 5 answered, bit 7 kept";
    EXPECT_EQ(0x10u, state.log_level);
    EXPECT_EQ(0xAAu, RegNumber(kDriverKey, "TraceLevel"));
    EXPECT_EQ("(none)", RegBytes(kDriverKey, "LogLevel")) << "StoreLevel was not answered for the log";
    EXPECT_EQ(5u, RegNumber(kServiceKey, "TraceFileCount"));
    EXPECT_EQ(64u, RegNumber(kServiceKey, "TraceFileSize"));
    EXPECT_EQ("(none)", RegBytes(kServiceKey, "TraceFileName")) << "the name in force was not changed";
    EXPECT_EQ(logName, RegBytes(kServiceKey, "LogFileName").c_str());
    EXPECT_EQ(2u, RegNumber(kServiceKey, "LogFileCount"));
    EXPECT_EQ(1024u, RegNumber(kServiceKey, "LogFileSize"));
    const std::vector<std::string> icons = StartedLines("setup.exe", 1);
    ASSERT_EQ(1u, icons.size());
    EXPECT_NE(std::string::npos, icons[0].find("/t TraceFilename = \"\" /t LogFilename = " + logName + " "));

    const std::string table("4711^B_X75\0" "4712^B_HDLC\0" "4713\0", 28);
    EXPECT_EQ(table + '\0', RegBytes(kDriverKey, "MSNEAZ"));
    EXPECT_EQ(table, driver_.Block(VRKRAS_BLOCK_MSN_EAZ));
    // The outbound group matched no button and was not answered: OK makes it V110.
    EXPECT_EQ(std::string("B_X75"), RegBytes(kDriverKey, "DefaultInbound").c_str());
    EXPECT_EQ(std::string("B_V110"), RegBytes(kDriverKey, "DefaultOutbound").c_str());
    EXPECT_EQ(2u, state.inbound);
    EXPECT_EQ(3u, state.outbound);

    const std::string callers = "-->\t0301234567\tZentrale Berlin\r\n   \t0401111\t\r\n";
    EXPECT_EQ(callers, ReadFileBytes(testing_machine::MakerDirectory() + "\\caller.dat"));
    EXPECT_EQ(callers, driver_.Block(VRKRAS_BLOCK_CALLERS).substr(0, callers.size()));
    EXPECT_EQ(1u, RegNumber(kDriverKey, "IncallFlag"));
    EXPECT_EQ(1u, state.incall_flags);

    const std::string from = std::string(" answers taken from ") + kAnswers;
    for (const char* section : {"Tracing", "Logging", "MsnEaz", "Protocols", "Callers"}) {
        EXPECT_TRUE(HasLine(log, std::string("33 02 [") + section + "]" + from)) << section << "\n" << Shown(log);
        EXPECT_TRUE(HasLine(log, std::string("33 02 [") + section + "] applied")) << section << "\n" << Shown(log);
    }
    EXPECT_TRUE(HasLine(log, "33 01 [Tracing] Level: the bits 0x80 are set in special mode only; they stay as they were"))
        << Shown(log);
    EXPECT_TRUE(HasLine(log, "33 01 [MsnEaz] Delete: 100 is not listed")) << Shown(log);
    EXPECT_TRUE(HasLine(log, "33 01 [Callers] Add: 0301234567 is listed already and stays as it is (Replace=no)"))
        << Shown(log);

    // Replace=yes replaces the listed caller; SPECIAL as well lets Level reach bit 7.
    Run("[Callers]\r\nReplace=yes\r\nAdd=0301234567 Zentrale\r\n[Tracing]\r\nLevel=0x01\r\n", "unattended special");
    EXPECT_EQ("   \t0401111\t\r\n-->\t0301234567\tZentrale\r\n",
              ReadFileBytes(testing_machine::MakerDirectory() + "\\caller.dat"));
    EXPECT_EQ(0x01u, State().trace_level);
}

// One answer file per case, each with one answer its page cannot take: the page stores and sends
// nothing, the log says why with section and key, and the center ends as usual.
TEST_F(RasconfigCenterAnswersTest, ARefusedAnswerLeavesItsPageAsItWas) {
    ASSERT_TRUE(driver_.PresetLevels(0x11, 0x22));
    SetRegDword(HKEY_LOCAL_MACHINE, kServiceKey, "TraceFileCount", 3);
    const std::string longName(300, 'n');
    const std::string tooLong(1100, 'x');
    const std::string badLogName =
        Text{"The 'logfile name' cannot be used. A name must not be empty, must not contain a double quote, must not end "
             "with a backslash, and must have at most 255 characters once its environment variables are expanded.",
             "Der Eingabewert im Feld 'LogFile Name' kann nicht verwendet werden. Der Name darf nicht leer sein, kein "
             "Anführungszeichen enthalten, nicht mit einem Backslash enden und nach dem Einsetzen der "
             "Umgebungsvariablen höchstens 255 Zeichen lang sein."}
            .get();
    const struct {
        std::string answers;
        std::string line;  // without "33 01 "
    } cases[] = {
        {"[Tracing]\r\nLevel=0x03\r\nBackups=12\r\n",
         "[Tracing] Backups: " + Text{"You have enter a to large 'Tracefile backups'. Will reset the value to maximal value.",
                                      "Im Eingabefeld 'TraceFile Backups' wurde ein zu großer Wert eingegeben. Er wird "
                                      "auf den maximalen Wert zurückgesetzt."}.get()},
        {"[Tracing]\r\nSize=0\r\n",
         "[Tracing] Size: " + Text{"You have enter a to small 'Tracefilesize'. Will set the value to minimal value.",
                                   "Im Eingabefeld 'TraceFilesize' wurde ein zu kleiner Wert eingegeben. Er wird auf den "
                                   "minimalen Wert kgesetzt."}.get()},
        {"[Tracing]\r\nLevel=256\r\n", "[Tracing] Level: not a number from 0 to 255"},
        {"[Tracing]\r\nFileName=" + tooLong + "\r\n", "[Tracing] FileName: value too long"},
        {"[Logging]\r\nLevel=0x03\r\nBackups=3a\r\n",
         "[Logging] Backups: " + Text{"You have enter a bad 'logfile backups'.",
                                      "Im Eingabefeld 'LogFile Backups' steht ein unzulässiger Eingabewert."}.get()},
        {"[Logging]\r\nFileName=C:\\temp\\\r\n", "[Logging] FileName: " + badLogName},
        {"[Logging]\r\nFileName=C:\\" + longName + "\r\n", "[Logging] FileName: " + badLogName},
        {"[MsnEaz]\r\nAdd=4711 X75, 12*3 HDLC\r\n",
         "[MsnEaz] Add: 12*3 HDLC: " + Text{"Error MSN number or B-Channel protocol (empty or bad characters)",
                                            "Fehler bei Eingabe der MSN nummer oder des Protokoll (leer oder falsche "
                                            "Zeichen)"}.get()},
        {"[MsnEaz]\r\nAdd=4711 X25\r\n", "[MsnEaz] Add: 4711 X25: the protocol is none of <default>, HDLC, X75, V110, RAW, V120"},
        {"[MsnEaz]\r\nClear=perhaps\r\n", "[MsnEaz] Clear: not yes or no"},
        {"[Protocols]\r\nInbound=HDLC\r\nOutbound=V120\r\n", "[Protocols] Outbound: \"V120\" is none of HDLC, X75, V110"},
        {"[Callers]\r\nAdd=0301234567 Zentrale, 03a0 Name\r\n", "[Callers] Add: 03a0 Name: " + LoadText(IDS_CALLER_BAD_NUMBER)},
        {"[Callers]\r\nFlags=4\r\n", "[Callers] Flags: not a number from 0 to 3"},
        {"[Callers]\r\nFlags=1\r\nCollectFromLog=yes\r\n",
         "[Callers] CollectFromLog: " + Text{"Have not found a logging file. Can't search anyone number for incaller check.",
                                             "Varnek ISDN DIALCORE Logging Datei wurde nicht gefunden. Es können keine "
                                             "Nummern übernommen werden."}.get()},
    };
    for (const auto& c : cases) {
        const std::map<std::string, std::string> before = Stored();
        const std::vector<std::string> log = Run(c.answers);
        const std::string section = c.line.substr(0, c.line.find(']') + 1);
        EXPECT_TRUE(HasLine(log, "33 01 " + c.line + "; ends as if cancelled")) << c.line << "\n" << Shown(log);
        EXPECT_TRUE(HasLine(log, "33 01 " + section + " nothing of this page is stored")) << Shown(log);
        EXPECT_TRUE(Stored() == before) << c.line;
        const vrkras_state state = State();
        EXPECT_EQ(0x11u, state.trace_level) << c.line;
        EXPECT_EQ(0x22u, state.log_level) << c.line;
        EXPECT_EQ(0u, state.incall_flags) << c.line;
        EXPECT_EQ("", driver_.Block(VRKRAS_BLOCK_MSN_EAZ)) << c.line;
    }
    EXPECT_TRUE(StartedLines("setup.exe").empty());
}

TEST_F(RasconfigCenterAnswersTest, UnknownKeysMissingFilesAndOtherSectionsAreLoggedAndLeftAlone) {
    // An unknown key is ignored, the page goes on; a section of a setup procedure is no page's.
    std::vector<std::string> log =
        Run("[VrkMprLanConfig]\r\nGateway=yes\r\n[Protocols]\r\nColour=blue\r\nInbound=HDLC\r\nOutbound=hdlc\r\n");
    EXPECT_TRUE(HasLine(log, "33 01 [Protocols] Colour: unknown key, ignored")) << Shown(log);
    EXPECT_TRUE(HasLine(log, "33 02 [Protocols] applied")) << Shown(log);
    EXPECT_EQ(std::string("B_HDLC"), RegBytes(kDriverKey, "DefaultOutbound").c_str());
    EXPECT_EQ(std::string("B_HDLC"), RegBytes(kDriverKey, "DefaultInbound").c_str());
    for (const std::string& line : log) EXPECT_EQ(std::string::npos, line.find("VrkMprLanConfig")) << line;

    // Without UNATTENDED the answer file plays no part: the center opens as always.
    auto open = StartCenterByHost("SPECIAL");
    HWND center = WaitForCenter();
    ASSERT_NE(nullptr, center) << "the center did not open";
    CloseCenter(center, open.get());
    WaitUntilNoCenterHoldsTheDriver(driver_);

    const std::map<std::string, std::string> before = Stored();
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile", "C:\\temp\\no-such-answers.ini"));
    log = Run("[Protocols]\r\nInbound=X75\r\n");
    EXPECT_TRUE(HasLine(log, "33 01 Configuration center UNATTENDED: the answer file C:\\temp\\no-such-answers.ini "
                             "cannot be read; nothing is configured"))
        << Shown(log);
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile");
    log = Run("[Protocols]\r\nInbound=X75\r\n");
    EXPECT_TRUE(HasLine(log, "33 01 Configuration center UNATTENDED: no answer file is named; nothing is configured"))
        << Shown(log);
    EXPECT_TRUE(Stored() == before);
}

}  // namespace
