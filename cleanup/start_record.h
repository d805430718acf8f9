// What VrkClean changes on its start, before the user has chosen anything: the LogName setting
// and the setup log with its older generations. A run the user declines puts them back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class StartRecord {
public:
    StartRecord() = default;
    StartRecord(const StartRecord&) = delete;
    StartRecord& operator=(const StartRecord&) = delete;
    ~StartRecord() { Drop(); }

    // Takes note of the setting (value path) and keeps copies of the log's files, before either
    // is touched.
    void Take(const char* logNameValue, const char* logFile);
    // The log closed: the setting, the keys above it and the log's files as they were taken.
    void GiveBack();
    // The run goes on: the copies go.
    void Drop();

private:
    struct Generation {
        std::string name;
        std::string copy;  // empty: the file was not there
    };
    std::string valuePath_;
    bool hadValue_ = false;
    DWORD type_ = REG_NONE;
    std::string value_;
    std::vector<std::string> createdKeys_;  // the keys above the value that were missing, deepest first
    std::vector<Generation> generations_;
};
