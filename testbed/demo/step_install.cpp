#include "main_job.h"

#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"
#include "robot_windows.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;
using demo_report::Lines;
using demo_report::TableCell;

// Step 1: the installation script's calls, the dialogs answered.
MainJob::Done MainJob::Install() {
    report_.Heading(2, "1. Install");
    report_.Line("The setup engine's stand-in runs `testbed/demo/setup-steps.txt`: one load of VRKSUDLL.DLL and the "
                 "procedures in the order of the installation script. The robot answers each dialog as it comes.");
    const demo_report::RegistrySnapshot before = demo::TakeSnapshot();
    const size_t journal = JournalSize();
    if (unattended_) NameAnswerFile();
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
        ShownUnattended(wan, "WAN configuration");
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
        ShownUnattended(dialog, "IP/IPX configuration");
        // The LAN has the default gateway; the ISDN interface takes it over, after the question.
        SetChecked(dialog, IDC_IPIPX_GATEWAY, true);
        // The dialog proposes a random IPX network number; the answer file's fixes it for both runs.
        const std::string network = Answer("VrkMprIPIPXConfig", "IPXNetworkNumber", "");
        if (!network.empty()) SetControlText(dialog, IDC_IPIPX_NET_NUMBER, network);
        report_.Picture(dialog, "IP/IPX configuration: the proposed IPX network and ISDN address, the ISDN "
                                "interface as the default gateway");
        Click(dialog, IDOK);
        AnswerUntilGone(report_, dialog);
        ++answered;
    };
    answers.dialogs[IDD_FIRST_LINK] = [&](HWND dialog) {
        ShownUnattended(dialog, "First link");
        SetControlText(dialog, IDC_FIRSTLINK_PHONE, "0191011");
        Click(dialog, IDC_FIRSTLINK_X75);
        SetControlText(dialog, IDC_FIRSTLINK_USER, "demo");
        SetControlText(dialog, IDC_FIRSTLINK_PASSWORD, "secret");
        SetControlText(dialog, IDC_FIRSTLINK_CONFIRM, "secret");
        Confirm(report_, dialog, "First link to the Internet provider: number, X.75, user and password");
    };
    answers.dialogs[IDD_LAN_CONFIG] = [&](HWND dialog) {
        ShownUnattended(dialog, "LAN configuration");
        Confirm(report_, dialog, "LAN configuration in install mode: the Ethernet card given to the router");
    };
    AnswerUntilEnded(report_, host, answers, 180000, &answered);
    if (unattended_) ForgetAnswerFile();

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

}  // namespace demo
