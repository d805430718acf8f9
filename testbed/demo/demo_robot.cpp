// The main job: an installation's whole life on one fresh machine, driven like an administrator
// would, with a report of pictures, setup log excerpts, registry changes and what is left.
//
//   demo_robot [--report <folder>] [--interactive]
//
// Steps: the machine, install, configure, run, monitor, remove. A step whose program is not in
// the package says so in the report. --interactive leaves the configuration center to a person
// on the display and goes on when it is closed. Exit code 0 when every step that ran went well.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "capi_driver.h"
#include "demo_machine.h"
#include "dialog_robot.h"
#include "journal.h"
#include "lang/resource.h"
#include "machine.h"
#include "report_text.h"
#include "report_writer.h"
#include "robot_windows.h"
#include "services.h"
#include "trace_service.h"
#include "vrkras_driver.h"

namespace {

using namespace dialog_robot;
using namespace testing_machine;
using namespace demo;
using demo_report::Lines;
using demo_report::TableCell;

const char kDemoDir[] = "C:\\testbed\\demo";
// Outputs of the programs the robot starts, and its copy of the language module.
const char kWorkDir[] = "C:\\testbed\\demo-run";
const char kSetupLog[] = "c:\\temp\\setup.log";
const char kDriverKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";
const char kTraceKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters";

std::string Maker(const std::string& name = "") {
    return MakerDirectory() + (name.empty() ? "" : "\\" + name);
}

std::string RegText(HKEY root, const std::string& key, const std::string& name) {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(root, key, name, &bytes, &type)) return "(none)";
    return demo_report::ValueText(type, bytes);
}

// The service manager's own bookkeeping of running services is no change of the package.
demo_report::RegistrySnapshot WithoutServiceBookkeeping(demo_report::RegistrySnapshot snapshot) {
    for (auto it = snapshot.begin(); it != snapshot.end();)
        it = it->first.find("\\Enum") != std::string::npos ? snapshot.erase(it) : std::next(it);
    return snapshot;
}

std::vector<std::string> RegistryChanges(const demo_report::RegistrySnapshot& before) {
    return demo_report::SnapshotDifference(WithoutServiceBookkeeping(before),
                                           WithoutServiceBookkeeping(demo::TakeSnapshot()));
}

std::vector<std::string> JournalLines(size_t from) {
    std::vector<std::string> lines;
    const auto entries = testing_journal::ReadJournal();
    for (size_t i = from; i < entries.size(); ++i)
        lines.push_back(entries[i].who + " " + entries[i].what + (entries[i].detail.empty() ? "" : " " + entries[i].detail));
    return lines;
}

size_t JournalSize() { return testing_journal::ReadJournal().size(); }

class MainJob {
public:
    MainJob(Report& report, Complaints& complaints, bool interactive)
        : report_(report), complaints_(complaints), interactive_(interactive) {}

    int Run() {
        const DWORD start = GetTickCount();
        Step("0 machine", [this] { return Machine(); });
        Step("1 install", [this] { return Install(); });
        Step("2 configure", [this] { return Configure(); });
        Step("3 run", [this] { return RunService(); });
        Step("4 monitor", [this] { return Monitor(); });
        Step("5 remove", [this] { return Remove(); });
        const DWORD total = GetTickCount() - start;
        report_.Save(steps_, total);
        bool failed = false;
        for (const StepResult& s : steps_) {
            printf("demo: %-12s %s (%s)\n", s.name.c_str(), Report::SummaryLine(s).c_str(), Report::Seconds(s.ms).c_str());
            failed = failed || s.outcome == Outcome::kFailed;
        }
        printf("demo: whole run %s; report in %s\\report.md\n", Report::Seconds(total).c_str(), report_.folder().c_str());
        return failed ? 1 : 0;
    }

private:
    struct Done {
        Outcome outcome;
        std::string summary;
    };

    void Step(const std::string& name, const std::function<Done()>& body) {
        const DWORD start = GetTickCount();
        const int before = complaints_.count();
        printf("demo: %s ...\n", name.c_str());
        fflush(stdout);
        Done done = body();
        const std::vector<std::string> complaints = complaints_.Since(before);
        if (!complaints.empty()) {
            report_.Line();
            report_.Line("**What did not go as an administrator would expect:**");
            report_.Code(complaints);
            if (done.outcome == Outcome::kDone) done.outcome = Outcome::kFailed;
            done.summary += (done.summary.empty() ? "" : "; ") + std::to_string(complaints.size()) + " complaints";
        }
        steps_.push_back({name, done.outcome, done.summary, GetTickCount() - start});
        report_.Save(steps_, 0);
    }

    // What the step should have left, as the report shows it; a complaint when it is not so.
    void Expect(const std::string& what, const std::string& actual, const std::string& expected) {
        if (actual != expected) complaints_.Add(what + " is " + actual + ", expected " + expected);
    }
    void ExpectValue(HKEY root, const std::string& key, const std::string& name, const std::string& expected) {
        Expect(name, RegText(root, key, name), expected);
    }

    void SetupLogExcerpts(const std::vector<std::string>& procedures) {
        const std::string log = ReadFileBytes(kSetupLog);
        for (const std::string& p : procedures) {
            const std::vector<std::string> excerpt = demo_report::LogExcerpt(log, p);
            if (excerpt.empty()) continue;
            report_.Line("`" + p + "`:");
            report_.Code(excerpt, 40);
        }
    }

    void RegistrySection(const demo_report::RegistrySnapshot& before, const std::string& title) {
        const std::vector<std::string> changes = RegistryChanges(before);
        report_.Heading(3, title + " (" + std::to_string(changes.size()) + " changes)");
        report_.Code(changes, 400);
    }

    // Step 0: the machine as the package finds it.
    Done Machine() {
        report_.Heading(2, "0. The machine");
        report_.Line("Provisioned before the package arrives: two ISDN cards in the CAPI registry with their CAPI 2.0 "
                     "driver, one Ethernet card with NWLink IPX and TCP/IP, the router's ISDN adapter, an older router "
                     "installation (settings under the old maker key, its SNMP agent, its files and services running), "
                     "the SNMP service running, "
                     "the network setup's INF files of both product lines, the remote-access driver and the trace "
                     "service as the package's INF installs them, and Windows NT 4.0 as the version every program of "
                     "the package sees.");
        bool ok = testing_capi::ProvisionShape("two-cards") && testing_capi::StartDriver();
        if (!ok) complaints_.Add("the CAPI 2.0 driver of the two cards did not start");
        for (const std::string& reg : {std::string("C:\\testbed\\network\\one-card.reg"),
                                       std::string("C:\\testbed\\oldinstall\\old-router.reg"),
                                       std::string("C:\\testbed\\oldinstall\\snmp-agents.reg"),
                                       std::string(kDemoDir) + "\\demo-machine.reg"})
            if (!demo::ImportRegistryFile(reg)) complaints_.Add("regedit /S " + reg + " failed");
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA("C:\\testbed\\oldinstall\\files\\*", &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    CopyFileA((std::string("C:\\testbed\\oldinstall\\files\\") + found.cFileName).c_str(),
                              Maker(found.cFileName).c_str(), FALSE);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        CopyFileA("C:\\testbed\\oldinstall\\perf.ini", Maker("perf.ini").c_str(), FALSE);
        for (const char* inf : {"OEMNSV1.INF", "OEMNAD1.INF"})
            CopyFileA((std::string(kDemoDir) + "\\" + inf).c_str(), Expand(std::string("%SystemRoot%\\SYSTEM32\\") + inf).c_str(),
                      FALSE);
        // The older router's services, and its SNMP client window, as they run before the update.
        // The system's SNMP service runs too: the router stops it while its agent is replaced.
        for (const auto& service : {std::make_pair("VrkMprSV", "late 1500"), std::make_pair("VrkLogSV", "prompt"),
                                    std::make_pair("SNMP", "prompt")}) {
            if (!testing_services::InstallService(service.first, SERVICE_WIN32_OWN_PROCESS,
                                                  std::string("C:\\testbed\\stopservice.exe ") + service.second) ||
                !testing_services::StartNamedService(service.first) ||
                !testing_services::WaitForServiceState(service.first, SERVICE_RUNNING))
                complaints_.Add(std::string("the service ") + service.first + " did not start");
        }
        snmpClient_.Start("C:\\testbed\\titledwindow.exe close \"SNMP Client Application\"", std::string(kWorkDir) + "\\snmp-client.txt");
        // The package's driver and service, installed by its INF before the setup procedures run.
        if (!testing_vrkras::InstallDriver(1) || !testing_vrkras::StartDriver())
            complaints_.Add("the remote-access driver did not start");
        SetRegString(HKEY_LOCAL_MACHINE, kTraceKey, "TraceServiceTrace", "C:\\temp\\TraceLogSvc.log");
        SetRegDword(HKEY_LOCAL_MACHINE, kTraceKey, "TraceServiceTraceLevel", 2);
        if (!testing_trace_service::InstallTraceService()) complaints_.Add("the trace service could not be installed");
        Pump(300);

        report_.Heading(3, "The package in the maker's directory");
        std::vector<std::string> versions;
        for (const std::string& path : demo::PackageFiles()) {
            if (path.back() == '\\' || path.find("\\VARNEK\\") == std::string::npos) continue;
            const ProgramResult r = RunProgram("\"" + Maker("verprint.exe") + "\" \"" + path + "\"", 20000);
            for (const std::string& l : Lines(r.out)) versions.push_back(l);
        }
        report_.Code(versions, 80);
        before_ = demo::TakeSnapshot();
        beforeFiles_ = demo::PackageFiles();
        return {ok ? Outcome::kDone : Outcome::kFailed, std::to_string(versions.size()) + " files in the maker's directory"};
    }

    // Step 1: the installation script's calls, the dialogs answered.
    Done Install() {
        report_.Heading(2, "1. Install");
        report_.Line("The setup engine's stand-in runs `testbed/demo/setup-steps.txt`: one load of VRKSUDLL.DLL and the "
                     "procedures in the order of the installation script. The robot answers each dialog as it comes.");
        const demo_report::RegistrySnapshot before = demo::TakeSnapshot();
        const size_t journal = JournalSize();
        Program host;
        if (!host.Start(std::string("C:\\testbed\\host.exe --script ") + kDemoDir + "\\setup-steps.txt",
                        std::string(kWorkDir) + "\\host-install.txt")) {
            complaints_.Add("host.exe did not start");
            return {Outcome::kFailed, "host.exe did not start"};
        }
        int wanCalls = 0, answered = 0;
        Answers answers;
        answers.dialogs[IDD_WAN_CONFIG] = [&](HWND wan) {
            ++wanCalls;
            if (wanCalls == 1) {
                report_.Picture(wan, "WAN configuration of the router as it opened: both cards' controllers");
                SelectListEntry(wan, IDC_WAN_LIST, 0);
                Click(wan, IDC_WAN_EDIT);
                if (HWND controller = WaitForDialogOf(host.pid(), IDD_CONTROLLER)) {
                    SetControlText(controller, IDC_CONTROLLER_NICKNAME, "Berlin");
                    SetControlText(controller, IDC_CONTROLLER_PHONE, "0307654321");
                    Confirm(report_, controller, "Controller settings: CAPI1 named Berlin with its own number");
                }
                Pump(300);
                Confirm(report_, wan, "WAN configuration of the router, answered OK");
            } else {
                Confirm(report_, wan, "WAN configuration of the remote-access line, answered OK");
            }
        };
        answers.dialogs[IDD_IPIPX_CONFIG] = [&](HWND dialog) {
            // The LAN has the default gateway; the ISDN interface takes it over, after the question.
            SetChecked(dialog, IDC_IPIPX_GATEWAY, true);
            report_.Picture(dialog, "IP/IPX configuration: the proposed IPX network and ISDN address, the ISDN "
                                    "interface as the default gateway");
            Click(dialog, IDOK);
            AnswerUntilGone(report_, dialog);
            ++answered;
        };
        answers.dialogs[IDD_FIRST_LINK] = [&](HWND dialog) {
            SetControlText(dialog, IDC_FIRSTLINK_PHONE, "0191011");
            Click(dialog, IDC_FIRSTLINK_X75);
            SetControlText(dialog, IDC_FIRSTLINK_USER, "demo");
            SetControlText(dialog, IDC_FIRSTLINK_PASSWORD, "secret");
            SetControlText(dialog, IDC_FIRSTLINK_CONFIRM, "secret");
            Confirm(report_, dialog, "First link to the Internet provider: number, X.75, user and password");
        };
        answers.dialogs[IDD_LAN_CONFIG] = [&](HWND dialog) {
            Confirm(report_, dialog, "LAN configuration in install mode: the Ethernet card given to the router");
        };
        AnswerUntilEnded(report_, host, answers, 180000, &answered);

        const std::vector<std::string> output = Lines(host.Output());
        int trueCalls = 0, calls = 0;
        std::vector<std::string> procedures;
        report_.Heading(3, "The procedures and their results");
        report_.Line("| Procedure | Returned | Result |");
        report_.Line("|---|---|---|");
        for (const std::string& line : output) {
            const size_t returned = line.find(" returned ");
            if (returned == std::string::npos) continue;
            const std::string name = line.substr(0, returned);
            const bool isTrue = line.compare(returned + 10, 4, "TRUE") == 0;
            const size_t result = line.find("; result ");
            ++calls;
            trueCalls += isTrue;
            procedures.push_back(name);
            report_.Line("| `" + name + "` | " + (isTrue ? "TRUE" : "FALSE") + " | " +
                         TableCell(result == std::string::npos ? "" : line.substr(result + 9)) + " |");
        }
        if (!host.Wait(0) || host.exitCode() != 0) {
            complaints_.Add("host.exe ended with " + std::to_string(host.exitCode()));
            report_.Code(output);
        }
        ExpectValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\CAPI20\\1\\1", "VrkMprNickname", "\"Berlin\"");
        ExpectValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\CAPI20\\1\\1", "VrkMprPhone", "\"0307654321\"");
        ExpectValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "DefaultGatewaySet", "0x00000001 (1)");
        report_.Heading(3, "The setup log, procedure by procedure");
        SetupLogExcerpts(procedures);
        report_.Heading(3, "What the stand-ins of the outside world saw");
        report_.Code(JournalLines(journal));
        RegistrySection(before, "Registry keys written by the installation");
        return {Outcome::kDone, std::to_string(trueCalls) + " of " + std::to_string(calls) + " procedures TRUE, " +
                                    std::to_string(answered) + " dialogs and messages answered"};
    }

    // Clicks a page button of the center and gives the page, or null when the build has no such
    // page (the center then says it cannot create it; that message is answered and pictured).
    HWND OpenPage(HWND center, DWORD pid, int button, WORD templateId, const std::string& name, bool* missing) {
        Click(center, button);
        HWND found = WaitForWindowOf(
            pid, [&](HWND w) { return w != center && (TemplateOf(w) == templateId || IsMessageBox(w)); }, 10000);
        *missing = false;
        if (!found) {
            ADD_FAILURE() << "neither page " << templateId << " nor a message came";
            return nullptr;
        }
        if (TemplateOf(found) == templateId) return found;
        *missing = true;
        AnswerBox(report_, found);
        report_.NotBuilt("page " + std::to_string(templateId) + " (" + name +
                         "): the center reports that it cannot create it" +
                         (HasTemplate(templateId) ? "" : "; the language module has no such dialog") + ".");
        return nullptr;
    }

    Program* StartCenter(Program& program) {
        if (!program.Start("\"" + Maker("cfgcenter.exe") + "\"", std::string(kWorkDir) + "\\cfgcenter.txt")) {
            complaints_.Add("cfgcenter.exe did not start");
            return nullptr;
        }
        return &program;
    }

    HWND WaitForCenter(Program& program) {
        HWND center = WaitForWindowOf(program.pid(), [](HWND w) { return TemplateOf(w) == IDD_CONFIG_CENTER || IsMessageBox(w); },
                                      15000);
        if (center && IsMessageBox(center)) {
            AnswerBox(report_, center);
            center = WaitForDialogOf(program.pid(), IDD_CONFIG_CENTER);
        }
        if (!center) ADD_FAILURE() << "the configuration center did not open";
        return center;
    }

    void CloseCenter(HWND center, Program& program) {
        Click(center, IDOK);
        WaitUntilGone(center);
        if (!program.Wait(15000)) complaints_.Add("cfgcenter.exe did not end after the center closed");
    }

    // Step 2: the configuration center and its pages.
    Done Configure() {
        report_.Heading(2, "2. Configure");
        report_.Line("The configuration center opened from its program-group icon (`cfgcenter.exe`), with the "
                     "remote-access driver running.");
        const demo_report::RegistrySnapshot before = demo::TakeSnapshot();
        const size_t journal = JournalSize();
        Program program;
        if (!StartCenter(program)) return {Outcome::kFailed, "cfgcenter.exe did not start"};
        HWND center = WaitForCenter(program);
        if (!center) return {Outcome::kFailed, "no center"};
        report_.Picture(center, "The configuration center");
        if (interactive_) {
            report_.Line("Interactive run: the center was left to the person at the display.");
            printf("demo: the configuration center is open on the display; close it to go on\n");
            fflush(stdout);
            while (IsWindow(center)) Pump(200);
            program.Wait(15000);
            RegistrySection(before, "Registry keys written in the center");
            return {Outcome::kDone, "left to the person at the display"};
        }
        int pages = 0, missingPages = 0;
        bool missing = false, tracing = false, logging = false, msnEaz = false, protocols = false, callers = false;
        const testing_vrkras::DriverControl driver;

        // Tracing: levels to the driver at once, stored, file values applied now.
        if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_TRACING, IDD_TRACING_PAGE, "tracing", &missing)) {
            ++pages;
            tracing = true;
            for (int bit : {1, 3, 5}) SetChecked(page, IDC_LEVEL_BIT0 + bit, !IsChecked(page, IDC_LEVEL_BIT0 + bit));
            Click(page, IDC_TRACE_STORE_LEVEL);
            SetControlText(page, IDC_TRACE_BACKUPS, "5");
            SetControlText(page, IDC_TRACE_SIZE, "64");
            report_.Picture(page, "Tracing page: three levels changed and stored, 5 backups of 64 KiB");
            Click(page, IDC_TRACE_APPLY_NOW);
            if (HWND box = WaitForWindowOf(program.pid(), IsMessageBox, 5000)) AnswerBox(report_, box);
            Pump(300);
            Confirm(report_, page, "Tracing page after Apply now, answered OK");
        }
        // Logging: a new file name (the icons are renewed through setup.exe), a size too large.
        if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_LOGGING, IDD_LOGGING_PAGE, "logging", &missing)) {
            ++pages;
            logging = true;
            SetChecked(page, IDC_LEVEL_BIT0 + 4, !IsChecked(page, IDC_LEVEL_BIT0 + 4));
            SetControlText(page, IDC_LOG_FILE_NAME, "%SystemRoot%\\SYSTEM32\\VARNEK\\RasLogDemo.TXT");
            SetControlText(page, IDC_LOG_BACKUPS, "2");
            SetControlText(page, IDC_LOG_SIZE, "5000");
            report_.Picture(page, "Logging page: a new log file name, 2 backups, a size above the largest allowed");
            Click(page, IDOK);
            AnswerUntilGone(report_, page);
        }
        // MSN/EAZ numbers with their protocols.
        if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE, "MSN/EAZ numbers", &missing)) {
            ++pages;
            msnEaz = true;
            for (const auto& entry : {std::make_pair("4711", "X75"), std::make_pair("4712", "HDLC")}) {
                SetControlText(page, IDC_MSNEAZ_NUMBER, entry.first);
                SelectComboEntry(page, IDC_MSNEAZ_PROTOCOL, entry.second);
                Click(page, IDC_MSNEAZ_ADD);
                Pump(200);
            }
            Confirm(report_, page, "MSN/EAZ page: 4711 with X.75 and 4712 with HDLC, answered OK");
        }
        missingPages += missing;
        // Default protocols of incoming and outgoing calls.
        if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_DEFAULT_PROTOCOLS, IDD_DEFAULT_PROTOCOLS_PAGE,
                                 "default protocols", &missing)) {
            ++pages;
            protocols = true;
            Click(page, IDC_IN_X75);
            Click(page, IDC_OUT_HDLC);
            Confirm(report_, page, "Default protocols: X.75 incoming, HDLC outgoing, answered OK");
        }
        missingPages += missing;
        // The incoming-caller list: one caller typed in, checked.
        if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_INCALLER, IDD_INCALLER_PAGE, "incoming callers", &missing)) {
            ++pages;
            callers = true;
            SetControlText(page, IDC_CALLER_NUMBER, "0301234567");
            SetControlText(page, IDC_CALLER_NAME, "Zentrale");
            Click(page, IDC_CALLER_ADD);
            Pump(200);
            SetChecked(page, IDC_CALLER_CHECK_FLAG0, true);
            Confirm(report_, page, "Incoming callers: 0301234567 (Zentrale) added, the check switched on");
        }
        missingPages += missing;
        CloseCenter(center, program);
        report_.Line("The setup log of `cfgcenter`:");
        SetupLogExcerpts({"CallRasConfigCenter"});

        report_.Heading(3, "What the driver and the registry hold now");
        vrkras_state state = {};
        driver.State(&state);
        char levels[160];
        snprintf(levels, sizeof levels, "driver: trace level 0x%02X, log level 0x%02X, inbound %u, outbound %u, incall flags %u",
                 state.trace_level, state.log_level, state.inbound, state.outbound, state.incall_flags);
        std::vector<std::string> facts = {levels};
        const std::string table = driver.Block(VRKRAS_BLOCK_MSN_EAZ), list = driver.Block(VRKRAS_BLOCK_CALLERS);
        facts.push_back("driver: MSN/EAZ table " + demo_report::ValueText(demo_report::kRegBinary, table));
        facts.push_back("driver: caller list " + demo_report::ValueText(demo_report::kRegBinary, list));
        for (const char* name : {"TraceLevel", "LogLevel", "MSNEAZ", "DefaultInbound", "DefaultOutbound",
                                 "IncomingCallerFile", "IncallFlag"})
            facts.push_back(std::string("VrkRas\\Parameters ") + name + " = " + RegText(HKEY_LOCAL_MACHINE, kDriverKey, name));
        for (const char* name : {"TraceFileCount", "TraceFileSize", "LogFileName", "LogFileCount", "LogFileSize"})
            facts.push_back(std::string("VrkRasTraceSV\\Parameters ") + name + " = " + RegText(HKEY_LOCAL_MACHINE, kTraceKey, name));
        report_.Code(facts);
        const std::vector<std::string> started = JournalLines(journal);
        report_.Line("The stand-ins' journal (setup.exe renews the program-group icons after the new log file name):");
        report_.Code(started);

        const auto dword = [](DWORD v) { return demo_report::ValueText(demo_report::kRegDword, std::string(reinterpret_cast<const char*>(&v), 4)); };
        if (tracing) {
            ExpectValue(HKEY_LOCAL_MACHINE, kTraceKey, "TraceFileCount", dword(5));
            ExpectValue(HKEY_LOCAL_MACHINE, kTraceKey, "TraceFileSize", dword(64));
            ExpectValue(HKEY_LOCAL_MACHINE, kDriverKey, "TraceLevel", dword(state.trace_level));
        }
        if (logging) {
            const std::string name = Expand("%SystemRoot%\\SYSTEM32\\VARNEK\\RasLogDemo.TXT");
            ExpectValue(HKEY_LOCAL_MACHINE, kTraceKey, "LogFileName", "\"" + name + "\"");
            ExpectValue(HKEY_LOCAL_MACHINE, kTraceKey, "LogFileCount", dword(2));
            ExpectValue(HKEY_LOCAL_MACHINE, kTraceKey, "LogFileSize", dword(1024));
            Expect("the icons' setup.exe", std::to_string(std::count_if(started.begin(), started.end(), [&](const std::string& l) {
                       return l.find("LogFilename = " + name) != std::string::npos;
                   })), "1");
        }
        if (msnEaz) {
            ExpectValue(HKEY_LOCAL_MACHINE, kDriverKey, "MSNEAZ", "[\"4711^B_X75\", \"4712^B_HDLC\"]");
            Expect("the driver's MSN/EAZ table", table, std::string("4711^B_X75\0" "4712^B_HDLC\0", 23));
        }
        if (protocols) {
            ExpectValue(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultInbound", "\"B_X75\"");
            ExpectValue(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultOutbound", "\"B_HDLC\"");
            Expect("the driver's protocols", std::to_string(state.inbound) + "/" + std::to_string(state.outbound), "2/1");
        }
        if (callers) {
            ExpectValue(HKEY_LOCAL_MACHINE, kDriverKey, "IncallFlag", dword(1));
            Expect("caller.dat", ReadFileBytes(Maker("caller.dat")), "-->\t0301234567\tZentrale\r\n");
            Expect("the driver's caller list", list.substr(0, list.find('\0')), "-->\t0301234567\tZentrale\r\n");
        }
        RegistrySection(before, "Registry keys written in the center");
        const std::string summary = std::to_string(pages) + " of 5 pages configured";
        return {missingPages ? Outcome::kNotBuilt : Outcome::kDone,
                missingPages ? summary + "; " + std::to_string(missingPages) + " pages not in this build" : summary};
    }

    // Step 3: the trace service records the driver; callers are collected from its log.
    Done RunService() {
        report_.Heading(2, "3. Run");
        report_.Line("The trace service `VrkRasTraceSV` records what the remote-access driver produces: trace text at "
                     "4000 bytes per second, and log text with RING: records of incoming calls.");
        const testing_vrkras::DriverControl driver;
        const std::string ringLog =
            "L 00:00:01 line 1 up\n"
            "L 00:00:05 RING: FROM=0301234567 TO=4711 accepted\n"
            "L 00:00:09 RING: FROM=0897654321 TO=4712 accepted\n"
            "L 00:00:12 line 1 down\n"
            "L 00:01:40 RING: FROM=0897654321 TO=4711 refused\n"
            "L 00:02:02 ring: from=0401112233 to=4712 accepted\n";
        bool ok = driver.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T', VRKRAS_CHUNK_CYCLE, 4000) &&
                  driver.Queue(VRKRAS_STREAM_LOG) && driver.Push(VRKRAS_STREAM_LOG, ringLog);
        if (!ok) complaints_.Add("the driver did not take its streams");
        if (!testing_trace_service::StartTraceService()) {
            complaints_.Add("VrkRasTraceSV did not start");
            return {Outcome::kFailed, "the service did not start"};
        }
        const std::string logFile = Expand(LogFileName());
        const std::string traceFile = Maker("RasTrc.TXT");
        const bool logged = testing_trace_service::WaitUntil(
            [&] { return ReadFileBytes(logFile).find("to=4712 accepted") != std::string::npos; }, 15000);
        if (!logged) complaints_.Add("the log file " + logFile + " did not receive the driver's log text");
        Sleep(3000);

        int collected = -1;
        bool notBuilt = false;
        Program program;
        if (StartCenter(program)) {
            if (HWND center = WaitForCenter(program)) {
                bool missing = false;
                if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_INCALLER, IDD_INCALLER_PAGE,
                                         "incoming callers", &missing)) {
                    const size_t listed = ListEntries(page, IDC_CALLER_LIST).size();
                    Click(page, IDC_CALLER_COLLECT);
                    if (HWND box = WaitForWindowOf(program.pid(), IsMessageBox, 10000)) AnswerBox(report_, box);
                    collected = static_cast<int>(ListEntries(page, IDC_CALLER_LIST).size() - listed);
                    Confirm(report_, page, "Incoming callers after collecting the callers from the log");
                }
                notBuilt = missing;
                CloseCenter(center, program);
            }
        }
        if (!testing_trace_service::StopTraceService()) complaints_.Add("VrkRasTraceSV did not stop");
        driver.SetLimit(VRKRAS_STREAM_TRACE, 0);

        const std::string trace = ReadFileBytes(traceFile), log = ReadFileBytes(logFile);
        report_.Heading(3, "The files the service wrote");
        std::vector<std::string> files;
        for (const std::string& path : demo::PackageFiles())
            if (path.find("\\Ras") != std::string::npos) files.push_back(path + " (" + std::to_string(ReadFileBytes(path).size()) + " bytes)");
        report_.Code(files);
        std::vector<std::string> traceLines = Lines(trace);
        if (traceLines.size() > 6) traceLines.erase(traceLines.begin() + 3, traceLines.end() - 3);
        report_.Line("`" + traceFile + "`, first and last lines:");
        report_.Code(traceLines);
        report_.Line("`" + logFile + "`:");
        report_.Code(Lines(log));
        report_.Line("The service's diagnostic log (`C:\\temp\\TraceLogSvc.log`), its last lines:");
        std::vector<std::string> diagnostics = Lines(ReadFileBytes("C:\\temp\\TraceLogSvc.log"));
        if (diagnostics.size() > 14) diagnostics.erase(diagnostics.begin(), diagnostics.end() - 14);
        report_.Code(diagnostics);
        report_.Heading(3, "The caller file");
        const std::string callerFile = RegText(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile");
        report_.Line("`IncomingCallerFile` = " + callerFile);
        report_.Code(Lines(ReadFileBytes(Maker("caller.dat"))));

        std::string summary = std::to_string(trace.size()) + " bytes of trace, " + std::to_string(log.size()) + " bytes of log";
        if (notBuilt) {
            report_.NotBuilt("collecting callers from the log (page 131).");
            return {Outcome::kNotBuilt, summary + "; collecting callers not in this build"};
        }
        if (collected >= 0) {
            summary += ", " + std::to_string(collected) + " callers collected";
            // 0301234567 is listed already, 0897654321 rang twice, 0401112233 in lower case.
            Expect("the callers collected", std::to_string(collected), "2");
        }
        return {logged && !trace.empty() ? Outcome::kDone : Outcome::kFailed, summary};
    }

    static std::string LogFileName() {
        std::string bytes;
        if (GetRegValue(HKEY_LOCAL_MACHINE, kTraceKey, "LogFileName", &bytes) && !bytes.empty()) return bytes.c_str();
        return "%SystemRoot%\\SYSTEM32\\VARNEK\\RasLog.TXT";
    }

    // Step 4: one remote-access monitor per port, tiled.
    Done Monitor() {
        report_.Heading(2, "4. Monitor");
        const std::string monstart = Maker("monstart.exe");
        if (!PathExists(monstart)) {
            report_.NotBuilt("`monstart.exe` is not in the package.");
            return {Outcome::kNotBuilt, "no monstart.exe in the package"};
        }
        if (!PathExists(Expand("%SystemRoot%\\SYSTEM32\\rasmon.exe"))) {
            report_.NotBuilt("the remote-access monitor's stand-in `rasmon.exe` is not in %SystemRoot%\\SYSTEM32.");
            return {Outcome::kNotBuilt, "no rasmon.exe stand-in"};
        }
        report_.Line("`monstart -f -c4 -s2 -x220 -y120 -l40 -u40`: four monitors, two columns, tiles of 220 x 120, kept "
                     "on top; then `monstart -k -n` closes them all.");
        const size_t journal = JournalSize();
        int shown = 0;
        Answers answers;
        answers.dialogs[IDD_MONSTART_MESSAGE] = [&](HWND dialog) {
            Confirm(report_, dialog, "monstart's message: " + ControlText(dialog, IDC_MONSTART_TEXT));
        };
        Program start;
        int answered = 0;
        if (!start.Start("\"" + monstart + "\" -f -c4 -s2 -x220 -y120 -l40 -u40", std::string(kWorkDir) + "\\monstart.txt")) {
            complaints_.Add("monstart.exe did not start");
            return {Outcome::kFailed, "monstart.exe did not start"};
        }
        AnswerUntilEnded(report_, start, answers, 60000, &answered);
        std::vector<HWND> monitors;
        std::vector<std::string> placed;
        for (int n = 1; n <= 4; ++n) {
            HWND monitor = nullptr;
            for (const char* title : {"RAS-Monitor %d", "Remote Access Monitor %d"}) {
                char text[64];
                snprintf(text, sizeof text, title, n);
                for (int i = 0; i < 50 && !monitor; ++i) {
                    monitor = FindWindowByCaption(text);
                    if (!monitor) Pump(50);
                }
                if (monitor) break;
            }
            if (!monitor) {
                complaints_.Add("monitor " + std::to_string(n) + " was not renamed or did not appear");
                continue;
            }
            ++shown;
            RECT r;
            GetWindowRect(monitor, &r);
            char line[160];
            snprintf(line, sizeof line, "%s at %ld,%ld size %ldx%ld%s", WindowText(monitor).c_str(), r.left, r.top,
                     r.right - r.left, r.bottom - r.top, (GetWindowLongA(monitor, GWL_EXSTYLE) & WS_EX_TOPMOST) ? ", on top" : "");
            placed.push_back(line);
            monitors.push_back(monitor);
        }
        report_.Composite(monitors, "The remote-access monitors as monstart placed them");
        report_.Code(placed);
        Program close;
        if (close.Start("\"" + monstart + "\" -k -n", std::string(kWorkDir) + "\\monstart-close.txt"))
            AnswerUntilEnded(report_, close, answers, 30000, &answered);
        Pump(1000);
        report_.Line("The stand-in monitors' journal (port read at start, commands, closes):");
        report_.Code(JournalLines(journal));
        report_.Line("`HKCU\\Software\\Microsoft\\RAS Monitor` `Port` = " +
                     RegText(HKEY_CURRENT_USER, "Software\\Microsoft\\RAS Monitor", "Port"));
        return {shown == 4 ? Outcome::kDone : Outcome::kFailed, std::to_string(shown) + " of 4 monitors placed"};
    }

    // The testbed's switch in front of the restart, from testbed/demo/restart-seam.txt: lines
    // NAME=VALUE set in the environment that VrkClean inherits. False when the file names none.
    bool ArmRestartSeam(std::vector<std::string>* armed) {
        for (const std::string& line : Lines(ReadFileBytes(std::string(kDemoDir) + "\\restart-seam.txt"))) {
            if (line.empty() || line[0] == '#') continue;
            const size_t equals = line.find('=');
            if (equals == std::string::npos || equals == 0) continue;
            const std::string value = line.substr(equals + 1);
            SetEnvironmentVariableA(line.substr(0, equals).c_str(), Expand(value).c_str());
            armed->push_back(line);
        }
        return !armed->empty();
    }

    // The removal script's way: VrkMprCleanUp and VrkRasCleanUp in one load of the setup DLL.
    bool RemoveByScript() {
        const size_t journal = JournalSize();
        Program host;
        if (!host.Start(std::string("C:\\testbed\\host.exe --script ") + kDemoDir + "\\remove-steps.txt",
                        std::string(kWorkDir) + "\\host-remove.txt")) {
            complaints_.Add("host.exe did not start");
            return false;
        }
        Answers answers;
        int answered = 0;
        AnswerUntilEnded(report_, host, answers, 120000, &answered);
        const std::vector<std::string> output = Lines(host.Output());
        report_.Code(output);
        if (host.exitCode() != 0) complaints_.Add("host.exe ended with " + std::to_string(host.exitCode()));
        report_.Heading(3, "The setup log of the removal");
        std::vector<std::string> procedures;
        for (const std::string& line : output)
            if (line.find(" returned ") != std::string::npos) procedures.push_back(line.substr(0, line.find(" returned ")));
        SetupLogExcerpts(procedures);
        report_.Line("The stand-ins' journal:");
        report_.Code(JournalLines(journal));
        return true;
    }

    // Step 5: VrkClean removes every line; the deferred deletes happen at the restart.
    Done Remove() {
        report_.Heading(2, "5. Remove");
        const std::string clean = Maker("VrkClean.exe");
        const demo_report::RegistrySnapshot before = demo::TakeSnapshot();
        bool ran = false, byScript = false;
        std::string restart = "";
        if (!PathExists(clean)) {
            report_.NotBuilt("`VrkClean.exe` is not in the package. The lines are removed the other way the package "
                             "knows, by the removal script's procedures through the setup engine's stand-in "
                             "(`testbed/demo/remove-steps.txt`).");
            byScript = RemoveByScript();
        } else {
            std::vector<std::string> seam;
            const bool armed = ArmRestartSeam(&seam);
            if (!armed)
                report_.NotBuilt("the testbed's restart seam (testbed/demo/restart-seam.txt names none): the restart "
                                 "question is answered No and `wineboot -r` stands in for the restart.");
            const size_t journal = JournalSize();
            Program program;
            if (program.Start("\"" + clean + "\"", std::string(kWorkDir) + "\\vrkclean.txt")) {
                ran = true;
                int answered = 0;
                Answers answers;
                answers.dialogs[IDD_PRODUCT_CHOICE] = [&](HWND dialog) {
                    const int found[] = {IDC_CHOICE_ROUTER_FOUND, IDC_CHOICE_REMOTE_ACCESS_FOUND, IDC_CHOICE_GATEWAY_FOUND};
                    for (int i = 0; i < 3; ++i)
                        if (IsControlVisible(dialog, found[i])) SetChecked(dialog, IDC_CHOICE_ROUTER + i, true);
                    SetChecked(dialog, IDC_CHOICE_DELETE_FILES, true);
                    Confirm(report_, dialog, "VrkClean: every detected line chosen, files deleted too");
                };
                // The restart question is text 15; any question after the confirmation is taken for
                // it, so that a restart is never asked for without the seam.
                const std::string question = TextBefore(IDS_CLEAN_RESTART_QUESTION, '%');
                int questions = 0;
                answers.boxes = [&](const MessageBoxSeen& box) {
                    if (box.buttons != MB_YESNO && box.buttons != MB_YESNOCANCEL) return GoOn(box);
                    ++questions;
                    if ((!question.empty() && box.text.rfind(question, 0) == 0) || questions > 1)
                        return armed ? IDYES : IDNO;
                    return IDYES;
                };
                AnswerUntilEnded(report_, program, answers, 120000, &answered);
                restart = armed ? "restart answered Yes through the seam" : "restart answered No";
                report_.Line("The stand-ins' journal (the network control panel, the restart seam):");
                report_.Code(JournalLines(journal));
                report_.Heading(3, "The setup log of the removal");
                std::vector<std::string> log;
                for (const std::string& l : Lines(ReadFileBytes(kSetupLog))) log.push_back(demo_report::LogMessage(l));
                if (std::any_of(log.begin(), log.end(), [](const std::string& m) { return m.rfind("VRKCLEAN.EXE ENTER", 0) == 0; }))
                    report_.Code(log, 200);
                else
                    report_.Line(std::string(kSetupLog) + " holds no run of VrkClean: its delete list \"DELETE TempFiles\" "
                                 "removes the setup log.");
            } else {
                complaints_.Add("VrkClean.exe did not start");
            }
        }
        RegistrySection(before, "Registry keys the removal changed");
        report_.Heading(3, "The restart");
        report_.Line("`PendingFileRenameOperations` before the restart: " +
                     RegText(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                             "PendingFileRenameOperations"));
        const ProgramResult boot = RunProgram("wineboot.exe -r", 120000);
        report_.Line();
        report_.Line("`wineboot -r` carried out the deferred deletes (exit code " + std::to_string(boot.exitCode) + ").");
        // The router stopped SNMP at its installation; its removal starts it again.
        SERVICE_STATUS snmp = {};
        const bool snmpRuns = testing_services::WaitForServiceState("SNMP", SERVICE_RUNNING, 10000, &snmp);
        report_.Line();
        report_.Line(std::string("The SNMP service, which the installation stopped: ") +
                     (snmpRuns ? "running again." : "not running (state " + std::to_string(snmp.dwCurrentState) + ")."));
        if (!snmpRuns) complaints_.Add("the SNMP service does not run again after the removal");

        report_.Heading(3, "What is left of the package");
        report_.Line("The registry and the files after the removal against the machine before the installation: "
                     "what came or changed and stays (+, ~), and what went that was not the package's (-), each "
                     "with the reason it may be so. The package's own keys, values, list entries and files that "
                     "went, those of the older installation among them, are not listed.");
        report_.Line();
        const std::vector<demo_report::Leftover> keys = demo_report::RegistryLeftovers(
            WithoutServiceBookkeeping(before_), WithoutServiceBookkeeping(demo::TakeSnapshot()));
        const std::vector<demo_report::Leftover> files = demo_report::FileLeftovers(beforeFiles_, demo::PackageFiles());
        int left = 0, taken = 0, kept = 0, rows = 0;
        const int mostRows = 80;
        report_.Line("| Difference | Why |");
        report_.Line("|---|---|");
        for (const auto* list : {&keys, &files})
            for (const demo_report::Leftover& l : *list) {
                const bool went = l.path.rfind("- ", 0) == 0;
                (l.reason.empty() ? (went ? taken : left) : kept) += 1;
                if (++rows <= mostRows)
                    report_.Line("| `" + TableCell(l.path) + "` | " +
                                 (!l.reason.empty() ? TableCell(l.reason)
                                                    : went ? "**should not have gone**" : "**should be gone**") +
                                 " |");
            }
        if (rows > mostRows) report_.Line("| ... | " + std::to_string(rows - mostRows) + " more |");
        RegistrySection(before_, "The machine after the removal against the machine before the installation");
        const int unexpected = left + taken;
        const std::string summary = std::to_string(left) + " pieces left that should be gone, " +
                                    std::to_string(taken) + " taken that were not the package's, " +
                                    std::to_string(kept) + " kept on purpose";
        if (!ran)
            return {Outcome::kNotBuilt, std::string("no VrkClean.exe in the package") +
                                            (byScript ? ", removed by the removal script's procedures; " : "; ") + summary};
        return {unexpected ? Outcome::kFailed : Outcome::kDone, restart + "; " + summary};
    }

    Report& report_;
    Complaints& complaints_;
    bool interactive_;
    std::vector<StepResult> steps_;
    demo_report::RegistrySnapshot before_;
    std::vector<std::string> beforeFiles_;
    Program snmpClient_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "C:\\demo-report";
    bool interactive = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--report" && i + 1 < argc)
            folder = argv[++i];
        else if (a == "--interactive")
            interactive = true;
        else {
            fprintf(stderr, "usage: demo_robot [--report <folder>] [--interactive]\n");
            return 2;
        }
    }
    // A copy of the module the package loads here, so that the robot holds no file of the package.
    const bool german = PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN;
    CreateDirectoryA(kWorkDir, nullptr);
    const std::string copy = std::string(kWorkDir) + "\\language.dll";
    CopyFileA(Maker(german ? "LANGGER.DLL" : "LANGENG.DLL").c_str(), copy.c_str(), FALSE);
    UseLanguageModule(LoadLibraryA(copy.c_str()));
    if (!LanguageModuleOfRobot()) {
        fprintf(stderr, "demo_robot: no language module in %s\n", Maker().c_str());
        return 2;
    }
    testing_journal::ClearJournal();
    Complaints complaints;
    Report report(folder);
    MainJob job(report, complaints, interactive);
    return job.Run();
}
