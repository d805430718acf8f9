#include "main_job.h"

#include <algorithm>
#include <cstdio>

#include "dialog_robot.h"
#include "journal.h"
#include "lang/resource.h"
#include "machine.h"
#include "robot_windows.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;
using demo_report::Lines;

const WindowsVersion kWindowsVersions[] = {
    {"nt351", "Windows NT 3.51", true, true}, {"nt40", "Windows NT 4.0", false, true},
    {"win2k", "Windows 2000", false, false},  {"winxp", "Windows XP", false, false},
    {"win7", "Windows 7", false, false},      {"win10", "Windows 10", false, false},
};
const char kDefaultWindows[] = "nt40";

const WindowsVersion* FindWindowsVersion(const std::string& name) {
    for (const WindowsVersion& v : kWindowsVersions)
        if (name == v.name) return &v;
    return nullptr;
}

const char kDemoDir[] = "C:\\testbed\\demo";
// Outputs of the programs the robot starts, and its copy of the language module.
const char kWorkDir[] = "C:\\testbed\\demo-run";
const char kSetupLog[] = "c:\\temp\\setup.log";
const char kDriverKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";
const char kTraceKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters";
const char kAnswerFile[] = "C:\\testbed\\demo\\answers.ini";

std::string Maker(const std::string& name) {
    return MakerDirectory() + (name.empty() ? "" : "\\" + name);
}

std::string RegText(HKEY root, const std::string& key, const std::string& name) {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(root, key, name, &bytes, &type)) return "(none)";
    return demo_report::ValueText(type, bytes);
}

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

int MainJob::Run() {
    const DWORD start = GetTickCount();
    if (unattended_) {
        report_.Heading(2, "Unattended");
        report_.Line("Install, configure and remove take their answers from `" + std::string(kAnswerFile) +
                     "` (`testbed/demo/answers.ini`): the installation script names it in `SOFTWARE\\VARNEK\\VrkSetup` "
                     "`AnswerFile` before its calls and removes the name after them; the center is opened as "
                     "`cfgcenter UNATTENDED`. A dialog that still comes up is a complaint.");
        report_.Code(Lines(ReadFileBytes(kAnswerFile)), 200);
    }
    Step("0 machine", [this] { return Machine(); });
    Step("1 install", [this] { return Install(); });
    Step("2 configure", [this] { return Configure(); });
    SaveState("configured");
    Step("3 run", [this] { return RunService(); });
    Step("4 monitor", [this] { return Monitor(); });
    Step("5 remove", [this] { return Remove(); });
    SaveState("removed");
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

void MainJob::Step(const std::string& name, const std::function<Done()>& body) {
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
        // The first one in the summary, on one line, so that a list of runs names what went wrong.
        std::string first = complaints.front();
        std::replace_if(first.begin(), first.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
        done.summary += (done.summary.empty() ? "" : "; ") + std::to_string(complaints.size()) +
                        " complaints, the first: " + first;
    }
    steps_.push_back({name, done.outcome, done.summary, GetTickCount() - start});
    report_.Save(steps_, 0);
}

void MainJob::SaveState(const std::string& name) {
    std::vector<std::string> lines;
    for (const auto& entry : WithoutServiceBookkeeping(demo::TakeSnapshot())) lines.push_back(entry.first + " = " + entry.second);
    for (const std::string& line : demo::PackageFileStates()) lines.push_back(line);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (!WriteFileBytes(report_.folder() + "\\state-" + name + ".txt", text))
        complaints_.Add("state-" + name + ".txt could not be written");
}

void MainJob::NameAnswerFile() {
    if (!SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "AnswerFile", kAnswerFile))
        complaints_.Add("AnswerFile could not be written");
}

void MainJob::ForgetAnswerFile() { DeleteRegValueOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "AnswerFile"); }

void MainJob::ShownUnattended(HWND dialog, const std::string& what) {
    if (!unattended_) return;
    complaints_.Add(what + " came up although " + kAnswerFile + " answers it");
    report_.Picture(dialog, what + ": shown although answered");
}

std::string MainJob::Answer(const char* section, const char* key, const char* fallback) const {
    char text[256] = "";
    GetPrivateProfileStringA(section, key, fallback, text, sizeof text, kAnswerFile);
    return text;
}

void MainJob::Expect(const std::string& what, const std::string& actual, const std::string& expected) {
    if (actual != expected) complaints_.Add(what + " is " + actual + ", expected " + expected);
}

void MainJob::ExpectValue(HKEY root, const std::string& key, const std::string& name, const std::string& expected) {
    Expect(name, RegText(root, key, name), expected);
}

void MainJob::SetupLogExcerpts(const std::vector<std::string>& procedures) {
    const std::string log = ReadFileBytes(kSetupLog);
    for (const std::string& p : procedures) {
        const std::vector<std::string> excerpt = demo_report::LogExcerpt(log, p);
        if (excerpt.empty()) continue;
        report_.Line("`" + p + "`:");
        report_.Code(excerpt, 40);
    }
}

void MainJob::RegistrySection(const demo_report::RegistrySnapshot& before, const std::string& title) {
    const std::vector<std::string> changes = RegistryChanges(before);
    report_.Heading(3, title + " (" + std::to_string(changes.size()) + " changes)");
    report_.Code(changes, 400);
}

// Clicks a page button of the center and gives the page, or null when the build has no such
// page (the center then says it cannot create it; that message is answered and pictured).
HWND MainJob::OpenPage(HWND center, DWORD pid, int button, WORD templateId, const std::string& name, bool* missing) {
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

Program* MainJob::StartCenter(Program& program) {
    if (!program.Start("\"" + Maker("cfgcenter.exe") + "\"", std::string(kWorkDir) + "\\cfgcenter.txt")) {
        complaints_.Add("cfgcenter.exe did not start");
        return nullptr;
    }
    return &program;
}

HWND MainJob::WaitForCenter(Program& program) {
    HWND center = WaitForWindowOf(program.pid(), [](HWND w) { return TemplateOf(w) == IDD_CONFIG_CENTER || IsMessageBox(w); },
                                  15000);
    if (center && IsMessageBox(center)) {
        AnswerBox(report_, center);
        center = WaitForDialogOf(program.pid(), IDD_CONFIG_CENTER);
    }
    if (!center) ADD_FAILURE() << "the configuration center did not open";
    return center;
}

void MainJob::CloseCenter(HWND center, Program& program) {
    Click(center, IDOK);
    WaitUntilGone(center);
    if (!program.Wait(15000)) complaints_.Add("cfgcenter.exe did not end after the center closed");
}

}  // namespace demo
