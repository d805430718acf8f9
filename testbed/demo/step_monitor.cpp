#include "main_job.h"

#include <cstdio>

#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"
#include "robot_windows.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;

// Step 4: one remote-access monitor per port, tiled.
MainJob::Done MainJob::Monitor() {
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

}  // namespace demo
