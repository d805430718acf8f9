// Test support: the testbed's holder program.
#include "file_holder.h"

#include "journal.h"

namespace testing_holder {

FileHolder::FileHolder(const std::vector<std::string>& paths, Sharing sharing) {
    static const char* const kSharings[] = {"none", "read", "readwrite"};
    std::string command = std::string("C:\\testbed\\holder.exe ") + kSharings[static_cast<int>(sharing)];
    for (const std::string& path : paths) command += " \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) return;
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    // It says "held" in the journal once every file is open, or ends when one cannot be opened.
    for (int n = 0; n < 1000; ++n) {
        for (const auto& entry : testing_journal::JournalOf("holder"))
            if (entry.pid == started.dwProcessId && entry.what == "held") holding_ = true;
        if (holding_ || WaitForSingleObject(process_, 10) == WAIT_OBJECT_0) break;
    }
}

void FileHolder::Release() {
    if (!process_) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
    process_ = nullptr;
    holding_ = false;
}

}  // namespace testing_holder
