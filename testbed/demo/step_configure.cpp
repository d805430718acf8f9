#include "main_job.h"

#include <algorithm>
#include <cstdio>

#include "dialog_robot.h"
#include "journal.h"
#include "lang/resource.h"
#include "machine.h"
#include "robot_windows.h"
#include "vrkras_driver.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;

// Step 2: the configuration center and its pages.
MainJob::Done MainJob::Configure() {
    report_.Heading(2, "2. Configure");
    report_.Line("The configuration center opened from its program-group icon (`cfgcenter.exe`), with the "
                 "remote-access driver running.");
    const demo_report::RegistrySnapshot before = demo::TakeSnapshot();
    const size_t journal = JournalSize();
    Program program;
    int pages = 0, missingPages = 0;
    bool missing = false, tracing = false, logging = false, msnEaz = false, protocols = false, callers = false;
    const testing_vrkras::DriverControl driver;
    if (unattended_) {
        report_.Line("Unattended: `cfgcenter UNATTENDED`, the pages' answers from the answer file.");
        NameAnswerFile();
        if (!program.Start("\"" + Maker("cfgcenter.exe") + "\" UNATTENDED", std::string(kWorkDir) + "\\cfgcenter.txt")) {
            ForgetAnswerFile();
            complaints_.Add("cfgcenter.exe did not start");
            return {Outcome::kFailed, "cfgcenter.exe did not start"};
        }
        Answers none;
        int shown = 0;
        if (!AnswerUntilEnded(report_, program, none, 60000, &shown)) complaints_.Add("cfgcenter UNATTENDED did not end");
        if (shown) complaints_.Add(std::to_string(shown) + " windows came up in the unattended center");
        ForgetAnswerFile();
        // setup.exe, started for the new log file name's icons, writes its journal line on its own time.
        for (int n = 0; n < 100 && testing_journal::JournalOf("setup.exe").empty(); ++n) Pump(100);
        SetupLogExcerpts({"CallRasConfigCenter"});
        pages = 5;
        tracing = logging = msnEaz = protocols = callers = true;
    } else {
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
    }

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

}  // namespace demo
