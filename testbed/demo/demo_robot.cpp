// The main job: an installation's whole life on one fresh machine, driven like an administrator
// would, with a report of pictures, setup log excerpts, registry changes and what is left.
//
//   demo_robot [--report <folder>] [--windows nt351|nt40|win2k|winxp|win7|win10]
//              [--interactive | --unattended]
//
// Steps: the machine, install, configure, run, monitor, remove (main_job.h, a source file each). A
// step whose program is not in the package says so in the report. --windows is the version every
// program of the package sees (NT 4.0 without it). --interactive leaves the configuration center to
// a person on the display and goes on when it is closed; --unattended lets install, configure and
// remove take their answers from C:\testbed\demo\answers.ini. The registry and the package's files
// after configure and after remove are written to state-configured.txt and state-removed.txt of
// the report folder. Exit code 0 when every step that ran went well, 2 for a usage error.
#include <windows.h>

#include <cstdio>
#include <string>

#include "journal.h"
#include "main_job.h"
#include "robot_windows.h"

using namespace demo;

int main(int argc, char** argv) {
    std::string folder = "C:\\demo-report";
    bool interactive = false, unattended = false;
    const WindowsVersion* windows = FindWindowsVersion(kDefaultWindows);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--report" && i + 1 < argc)
            folder = argv[++i];
        else if (a == "--windows" && i + 1 < argc && FindWindowsVersion(argv[i + 1]))
            windows = FindWindowsVersion(argv[++i]);
        else if (a == "--interactive")
            interactive = true;
        else if (a == "--unattended")
            unattended = true;
        else {
            fprintf(stderr, "usage: demo_robot [--report <folder>] [--windows nt351|nt40|win2k|winxp|win7|win10] "
                            "[--interactive | --unattended]\n");
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
    Report report(folder, windows->title);
    MainJob job(report, complaints, *windows, interactive, unattended);
    return job.Run();
}
