#include "main_job.h"

#include "capi_driver.h"
#include "dialog_robot.h"
#include "machine.h"
#include "services.h"
#include "trace_service.h"
#include "vrkras_driver.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;
using demo_report::Lines;

// Step 0: the machine as the package finds it.
MainJob::Done MainJob::Machine() {
    report_.Heading(2, "0. The machine");
    report_.Line("Provisioned before the package arrives: two ISDN cards in the CAPI registry with their CAPI 2.0 "
                 "driver, one Ethernet card with NWLink IPX and TCP/IP, the router's ISDN adapter, an older router "
                 "installation (settings under the old maker key, its SNMP agent, its files and services running), "
                 "the SNMP service running, "
                 "the network setup's INF files of both product lines, the remote-access driver and the trace "
                 "service as the package's INF installs them, and " + std::string(windows_.title) +
                 " as the version every program of the package sees.");
    // Wine reads the version of a program from its file name when the program starts: the
    // package's programs, the setup engine's stand-in that loads the setup DLL, and the system's
    // programs that the package starts.
    for (const char* program : {"host.exe", "cfgcenter.exe", "TraceLogSvc.exe", "VrkClean.exe", "monstart.exe",
                                "verprint.exe", "rasmon.exe", "setup.exe", "textview.exe"})
        SetProgramWindowsVersion(program, windows_.name);
    const std::string controlPanel = Expand("%SystemRoot%\\SYSTEM32\\NCPA.CPL");
    if (!windows_.networkControlPanel) {
        if (!DeleteFileA(controlPanel.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            complaints_.Add("the network control panel " + controlPanel + " could not be taken off the machine");
        report_.Line();
        report_.Line(std::string(windows_.title) + " has no network control panel NCPA.CPL with its `CPlSetup`: the "
                     "machine has none.");
    }
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
    return {ok ? Outcome::kDone : Outcome::kFailed,
            std::string(windows_.title) + (windows_.networkControlPanel ? "" : " without NCPA.CPL") + ", " +
                std::to_string(versions.size()) + " files in the maker's directory"};
}

}  // namespace demo
