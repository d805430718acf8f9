#include "cleanup/start_record.h"

#include <cstring>

#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"

void StartRecord::Take(const char* logNameValue, const char* logFile) {
    valuePath_ = logNameValue;
    DWORD size = 0;
    hadValue_ = QueryRegValue(logNameValue, &type_, &size) != FALSE;
    if (hadValue_) {
        value_.assign(size, '\0');
        if (size && ReadRegValue(logNameValue, &value_[0], size, &type_) != size) hadValue_ = false;
    }
    char key[kPathSize];
    if (CopyText(key, sizeof key, logNameValue)) {
        CutLastComponent(key);
        for (; strchr(key, '\\') && !RegKeyExists(key); CutLastComponent(key)) createdKeys_.push_back(key);
    }
    char folder[kPathSize];
    if (!CopyText(folder, sizeof folder, logFile)) return;
    CutLastComponent(folder);
    for (int n = 0; n <= kLogGenerations; ++n) {
        char name[kPathSize], copy[kPathSize] = "";
        if (!LogGenerationName(logFile, n, name, sizeof name)) continue;
        const DWORD attributes = GetFileAttributesA(name);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (!GetTempFileNameA(folder, "vrk", 0, copy) || !CopyFileA(name, copy, FALSE))) {
            // A log that cannot be kept aside is never put back over the new one.
            if (copy[0]) DeleteFileA(copy);
            continue;
        }
        generations_.push_back({name, copy});
    }
}

void StartRecord::GiveBack() {
    for (Generation& g : generations_) {
        if (g.copy.empty())
            DeleteFileA(g.name.c_str());
        else if (MoveFileExA(g.copy.c_str(), g.name.c_str(), MOVEFILE_REPLACE_EXISTING))
            g.copy.clear();
    }
    if (hadValue_) {
        WriteRegValue(valuePath_.c_str(), value_.data(), type_, static_cast<DWORD>(value_.size()), kRegClose);
        return;
    }
    DeleteRegValue(valuePath_.c_str());
    for (const std::string& key : createdKeys_) DeleteRegTree(key.c_str());
}

void StartRecord::Drop() {
    for (Generation& g : generations_) {
        if (!g.copy.empty()) DeleteFileA(g.copy.c_str());
        g.copy.clear();
    }
}
