// The files the remote-access line writes under names an administrator chose: the trace service's
// trace and log files with their backups and its diagnostic log, and the incoming-caller list.
#pragma once

#include <string>
#include <vector>

class NamedFiles {
public:
    // Reads the names while the line's keys are still there. Names equal to the defaults are left
    // out: the package's file lists remove those.
    void Read();
    // Deletes each file that exists (in use: at the next start).
    void Delete() const;
    const std::vector<std::string>& paths() const { return paths_; }

private:
    void AddStream(const char* nameValue, const char* countValue, const char* defaultName);
    void AddDiagnosticLog();
    void AddCallerFile();
    std::vector<std::string> paths_;
};
