// The main job: an installation's whole life on one fresh machine, driven as an administrator
// would, each step in a source file of its own (step_machine.cpp, step_install.cpp, ...), with a
// report of pictures, setup log excerpts, registry changes and what is left.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "demo_machine.h"
#include "report_text.h"
#include "report_writer.h"

namespace demo {

// A version of Windows as the machine presents it to the package's programs, through Wine's
// setting of the version per program name.
struct WindowsVersion {
    const char* name;   // Wine's name of the version, as scripts/demo.sh --windows takes it
    const char* title;
    // Below build 1381 files in use are deleted at the next start through %SystemRoot%\DELETE.LST.
    bool deleteList;
    // NCPA.CPL with its CPlSetup exists up to NT 4.0 only.
    bool networkControlPanel;
};
// The version of that name, or null.
const WindowsVersion* FindWindowsVersion(const std::string& name);
extern const char kDefaultWindows[];

extern const char kDemoDir[];
// Outputs of the programs the robot starts, and its copy of the language module.
extern const char kWorkDir[];
extern const char kSetupLog[];
extern const char kDriverKey[];
extern const char kTraceKey[];
// The answers of the unattended run, the same an administrator gives the dialogs in the robot's run.
extern const char kAnswerFile[];

// A file of the maker's directory, or the directory itself.
std::string Maker(const std::string& name = "");
// A value as the report shows it, "(none)" when there is none.
std::string RegText(HKEY root, const std::string& key, const std::string& name);
// The service manager's own bookkeeping of running services is no change of the package.
demo_report::RegistrySnapshot WithoutServiceBookkeeping(demo_report::RegistrySnapshot snapshot);
std::vector<std::string> RegistryChanges(const demo_report::RegistrySnapshot& before);
// The stand-ins' journal from line from on, and its length.
std::vector<std::string> JournalLines(size_t from);
size_t JournalSize();

class MainJob {
public:
    // interactive: the configuration center is left to a person; unattended: install, configure
    // and remove take their answers from kAnswerFile instead of the robot's hands.
    MainJob(Report& report, Complaints& complaints, const WindowsVersion& windows, bool interactive,
            bool unattended = false)
        : report_(report), complaints_(complaints), windows_(windows), interactive_(interactive),
          unattended_(unattended) {}

    // The steps in their order, the report saved after each; 0 when every step that ran went well.
    int Run();

private:
    struct Done {
        Outcome outcome;
        std::string summary;
    };

    void Step(const std::string& name, const std::function<Done()>& body);
    // What the step should have left, as the report shows it; a complaint when it is not so.
    void Expect(const std::string& what, const std::string& actual, const std::string& expected);
    void ExpectValue(HKEY root, const std::string& key, const std::string& name, const std::string& expected);
    void SetupLogExcerpts(const std::vector<std::string>& procedures);
    void RegistrySection(const demo_report::RegistrySnapshot& before, const std::string& title);
    // The registry and the package's files as they are now, in state-<name>.txt of the report
    // folder: what the robot's run and the unattended run are compared by.
    void SaveState(const std::string& name);
    // The answer file named in SOFTWARE\VARNEK\VrkSetup\AnswerFile, as an installation script names
    // it before its calls, and the name taken away again after them.
    void NameAnswerFile();
    void ForgetAnswerFile();
    // A dialog came up in the unattended run: its section did not answer it.
    void ShownUnattended(HWND dialog, const std::string& what);
    std::string Answer(const char* section, const char* key, const char* fallback) const;

    // The configuration center, which steps 2 and 3 open.
    HWND OpenPage(HWND center, DWORD pid, int button, WORD templateId, const std::string& name, bool* missing);
    Program* StartCenter(Program& program);
    HWND WaitForCenter(Program& program);
    void CloseCenter(HWND center, Program& program);

    Done Machine();     // step_machine.cpp
    Done Install();     // step_install.cpp
    Done Configure();   // step_configure.cpp
    Done RunService();  // step_run.cpp
    static std::string LogFileName();
    Done Monitor();     // step_monitor.cpp
    Done Remove();      // step_remove.cpp
    bool ArmRestartSeam(std::vector<std::string>* armed);
    bool RemoveByScript();
    // The restart: the deferred deletes carried out; what went which way.
    std::string Restart();

    Report& report_;
    Complaints& complaints_;
    const WindowsVersion& windows_;
    bool interactive_;
    bool unattended_;
    std::vector<StepResult> steps_;
    demo_report::RegistrySnapshot before_;
    std::vector<std::string> beforeFiles_;
    Program snmpClient_;
};

}  // namespace demo
