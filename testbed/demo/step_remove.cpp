#include "main_job.h"

#include <algorithm>

#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"
#include "robot_windows.h"
#include "services.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;
using demo_report::Lines;
using demo_report::TableCell;

// The testbed's switch in front of the restart, from testbed/demo/restart-seam.txt: lines
// NAME=VALUE set in the environment that VrkClean inherits. False when the file names none.
bool MainJob::ArmRestartSeam(std::vector<std::string>* armed) {
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
bool MainJob::RemoveByScript() {
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

// The restart after the removal: wineboot -r carries out PendingFileRenameOperations as the
// system's start does from NT 4.0 on; on older versions the start deletes what DELETE.LST names.
// Which of the two the package used must be the one the version reads.
std::string MainJob::Restart() {
    report_.Heading(3, "The restart");
    const std::string sessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    std::string pendingBytes;
    DWORD type = 0;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, sessionManager, "PendingFileRenameOperations", &pendingBytes, &type))
        pendingBytes.clear();
    const std::vector<std::string> pending = demo_report::PendingDeletes(pendingBytes);
    const std::string deleteList = Expand("%SystemRoot%\\DELETE.LST");
    std::vector<std::string> listed;
    for (const std::string& line : Lines(ReadFileBytes(deleteList)))
        if (!line.empty()) listed.push_back(line);
    report_.Line("`PendingFileRenameOperations` before the restart: " +
                 RegText(HKEY_LOCAL_MACHINE, sessionManager, "PendingFileRenameOperations"));
    report_.Line();
    if (PathExists(deleteList)) {
        report_.Line("`" + deleteList + "` before the restart:");
        report_.Code(listed);
    } else {
        report_.Line("`" + deleteList + "` before the restart: none.");
    }
    const std::string readList = windows_.deleteList ? "DELETE.LST" : "PendingFileRenameOperations";
    if (windows_.deleteList ? !pending.empty() : PathExists(deleteList))
        complaints_.Add(std::string("files in use were handed to ") +
                        (windows_.deleteList ? "PendingFileRenameOperations" : "DELETE.LST") + ", which " +
                        windows_.title + " does not read at its start; it reads " + readList);

    const ProgramResult boot = RunProgram("wineboot.exe -r", 120000);
    report_.Line();
    report_.Line("`wineboot -r` carried out `PendingFileRenameOperations` (exit code " +
                 std::to_string(boot.exitCode) + ").");
    if (windows_.deleteList && PathExists(deleteList)) {
        // The list in the order it was written: a folder comes after the files in it.
        std::vector<std::string> stayed;
        for (const std::string& path : listed) {
            const DWORD attributes = GetFileAttributesA(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) continue;
            const BOOL gone = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path.c_str())
                                                                      : DeleteFileA(path.c_str());
            if (!gone) stayed.push_back(path + " (error " + std::to_string(GetLastError()) + ")");
        }
        DeleteFileA(deleteList.c_str());
        report_.Line();
        report_.Line(std::string("The start of ") + windows_.title + " deleted what `DELETE.LST` names, and the list." +
                     (stayed.empty() ? "" : " These could not be deleted:"));
        if (!stayed.empty()) report_.Code(stayed);
    }
    const size_t count = windows_.deleteList ? listed.size() : pending.size();
    return std::to_string(count) + " deferred deletes through " + readList + ", carried out at the restart";
}

// Step 5: VrkClean removes every line; the deferred deletes happen at the restart.
MainJob::Done MainJob::Remove() {
    report_.Heading(2, "5. Remove");
    const std::string clean = Maker("VrkClean.exe");
    const demo_report::RegistrySnapshot before = demo::TakeSnapshot();
    bool ran = false, byScript = false;
    std::string restart, network;
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
        // The answers restart the computer: without the seam that would end the whole machine.
        if (unattended_ && !armed) complaints_.Add("no restart seam: the unattended removal is not run");
        if (unattended_ && armed) {
            report_.Line("Unattended: `VrkClean` with `[VrkClean]` of the answer file.");
            NameAnswerFile();
        }
        if ((!unattended_ || armed) && program.Start("\"" + clean + "\"", std::string(kWorkDir) + "\\vrkclean.txt")) {
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
            if (unattended_) {
                ForgetAnswerFile();
                if (answered) complaints_.Add(std::to_string(answered) + " windows of VrkClean came up although answered");
            }
            restart = unattended_ ? "restart asked for by the answer file, through the seam"
                      : armed     ? "restart answered Yes through the seam"
                                  : "restart answered No";
            const std::vector<std::string> seen = JournalLines(journal);
            report_.Line("The stand-ins' journal (the network control panel, the restart seam):");
            report_.Code(seen);
            report_.Heading(3, "The setup log of the removal");
            std::vector<std::string> log;
            for (const std::string& l : Lines(ReadFileBytes(kSetupLog))) log.push_back(demo_report::LogMessage(l));
            // Up to NT 4.0 VrkClean hands over to the network control panel; later versions have
            // none, which VrkClean logs and goes on.
            if (windows_.networkControlPanel) {
                network = "CPlSetup of NCPA.CPL called";
                const char call[] = "NCPA.CPL CPlSetup argc=2 argv[0]=0 argv[1]=NCPA";
                if (std::find(seen.begin(), seen.end(), call) == seen.end())
                    complaints_.Add("VrkClean did not call CPlSetup of NCPA.CPL with 0 and NCPA");
            } else {
                network = "no NCPA.CPL, logged \"Can't load NCPA.CPL\"";
                if (std::find(log.begin(), log.end(), "Can't load NCPA.CPL") == log.end())
                    complaints_.Add("the setup log does not say \"Can't load NCPA.CPL\" on a machine without it");
            }
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
    const std::string deferred = Restart();
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
                                        (byScript ? ", removed by the removal script's procedures; " : "; ") +
                                        deferred + "; " + summary};
    return {unexpected ? Outcome::kFailed : Outcome::kDone,
            network + "; " + restart + "; " + deferred + "; " + summary};
}

}  // namespace demo
