#include "common/answer_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/answer_values.h"
#include "common/ascii_case.h"
#include "common/handles.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/registry.h"
#include "common/setup_log.h"

const char kAnswerFileValue[] = "SOFTWARE\\VARNEK\\VrkSetup\\AnswerFile";

namespace {

// A list of NUL-terminated names as the profile functions return it, grown until it fits: they
// answer size - 2 when the list was cut.
template <typename Fetch>
std::vector<std::string> ProfileNames(Fetch fetch) {
    std::vector<std::string> names;
    for (DWORD size = 4096; size <= 16u << 20; size *= 4) {
        std::vector<char> buffer(size);
        const DWORD length = fetch(buffer.data(), size);
        if (length + 2 >= size) continue;
        for (const char* p = buffer.data(); p < buffer.data() + length && *p; p += strlen(p) + 1) names.emplace_back(p);
        break;
    }
    return names;
}

std::string Expanded(const std::string& text) {
    DWORD size = static_cast<DWORD>(text.size()) + 1;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> out(size);
        const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), out.data(), size);
        if (needed == 0) return text;
        if (needed <= size) return out.data();
        size = needed;
    }
    return text;
}

// The profile functions look for a name without a folder in the Windows directory; a relative name
// means the current directory here, as everywhere else a path is given.
std::string FullPath(const std::string& path) {
    char buffer[kPathSize];
    char* file = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, &file);
    return length > 0 && length < sizeof buffer ? std::string(buffer) : path;
}

// A message of the language module as one log line: its line breaks become blanks.
std::string MessageLine(unsigned int textId) {
    char text[kMessageTextSize];
    LoadLanguageString(textId, text, sizeof text);
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\r' || *p == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += *p;
        }
    }
    return line;
}

}  // namespace

AnswerFile AnswerFile::FromRegistry() {
    DWORD type = REG_NONE, size = 0;
    if (!QueryRegValue(kAnswerFileValue, &type, &size) || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return AnswerFile(std::string());
    std::vector<char> buffer(size + 1, '\0');
    if (ReadRegValue(kAnswerFileValue, buffer.data(), size, nullptr) == 0) return AnswerFile(std::string());
    const std::string text(buffer.data());
    return AtPath(text.empty() ? text : Expanded(text));
}

AnswerFile AnswerFile::AtPath(const std::string& path) { return AnswerFile(path.empty() ? path : FullPath(path)); }

bool AnswerFile::Exists() const {
    if (!IsNamed() || path_.size() >= kPathSize) return false;
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    vrk::FileHandle file(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool AnswerFile::HasSection(const char* section) const {
    if (!Exists()) return false;
    for (const std::string& name : ProfileNames([this](char* buffer, DWORD size) {
             return GetPrivateProfileSectionNamesA(buffer, size, path_.c_str());
         }))
        if (EqualsIgnoringCase(name.c_str(), section)) return true;
    return false;
}

std::vector<std::string> AnswerFile::Keys(const char* section) const {
    if (!Exists()) return {};
    return ProfileNames([this, section](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section, nullptr, "", buffer, size, path_.c_str());
    });
}

AnswerRead AnswerFile::Read(const char* section, const char* key, std::string* text) const {
    text->clear();
    bool present = false;
    for (const std::string& k : Keys(section))
        if (EqualsIgnoringCase(k.c_str(), key)) present = true;
    if (!present) return AnswerRead::Absent;
    // One byte more than the longest value: a value that fills it was cut, so it is too long.
    char buffer[kAnswerTextMax + 2];
    const DWORD length = GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path_.c_str());
    if (length > kAnswerTextMax) return AnswerRead::TooLong;
    text->assign(buffer, length);
    return AnswerRead::Read;
}

bool AnswerFile::Text(const char* section, const char* key, std::string* text) const {
    return Read(section, key, text) == AnswerRead::Read;
}

AnswerMode AnswerModeFor(const AnswerFile& file, const char* section) {
    if (!file.IsNamed()) return AnswerMode::Interactive;
    if (!file.Exists()) {
        if (LogLevel >= kLogFailure)
            WriteSetupLog(kLogSourceSetup, kLogFailure, "Answer file %s cannot be read; [%s] ends as if cancelled",
                          file.Path().c_str(), section);
        return AnswerMode::Unreadable;
    }
    if (!file.HasSection(section)) return AnswerMode::Interactive;
    if (LogLevel >= kLogTrace)
        WriteSetupLog(kLogSourceSetup, kLogTrace, "[%s] answers taken from %s", section, file.Path().c_str());
    return AnswerMode::Answered;
}

void LogAnswerNotice(const char* section, unsigned int textId) {
    if (LogLevel >= kLogFailure)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "[%s] %s", section, MessageLine(textId).c_str());
}

SectionAnswers::SectionAnswers(const AnswerFile& file, const char* section, std::initializer_list<const char*> known)
    : file_(file), section_(section) {
    for (const std::string& key : UnknownAnswerKeys(file.Keys(section), known)) IgnoreUnknown(key);
}

void SectionAnswers::IgnoreUnknown(const std::string& key) {
    if (LogLevel >= kLogFailure)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "[%s] %s: unknown key, ignored", section_, key.c_str());
}

bool SectionAnswers::Has(const char* key) const {
    for (const std::string& k : Keys())
        if (EqualsIgnoringCase(k.c_str(), key)) return true;
    return false;
}

bool SectionAnswers::Question(const char* key, unsigned int textId, bool* yes) {
    if (YesNo(key, yes)) return true;
    if (refused_) return false;
    if (LogLevel >= kLogFailure)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "[%s] %s: %s; not answered", section_, key,
                      MessageLine(textId).c_str());
    return false;
}

void SectionAnswers::Refuse(const char* key, const char* reason) {
    if (LogLevel >= kLogFailure)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "[%s] %s: %s; ends as if cancelled", section_, key, reason);
    refused_ = true;
}

void SectionAnswers::RefuseWithMessage(const char* key, unsigned int textId) { Refuse(key, MessageLine(textId).c_str()); }

bool SectionAnswers::Text(const char* key, size_t maxLength, std::string* text) {
    std::string value;
    switch (file_.Read(section_, key, &value)) {
        case AnswerRead::Absent:
            return false;
        case AnswerRead::TooLong:
            Refuse(key, "value too long");
            return false;
        case AnswerRead::Read:
            break;
    }
    if (value.size() > maxLength) {
        char reason[64];
        snprintf(reason, sizeof reason, "value longer than %u characters", static_cast<unsigned>(maxLength));
        Refuse(key, reason);
        return false;
    }
    *text = value;
    return true;
}

bool SectionAnswers::Number(const char* key, long minimum, long maximum, long* value) {
    std::string text;
    if (!Text(key, kAnswerTextMax, &text)) return false;
    if (ParseAnswerNumber(text, minimum, maximum, value)) return true;
    char reason[96];
    snprintf(reason, sizeof reason, "not a number from %ld to %ld", minimum, maximum);
    Refuse(key, reason);
    return false;
}

bool SectionAnswers::YesNo(const char* key, bool* yes) {
    std::string text;
    if (!Text(key, kAnswerTextMax, &text)) return false;
    if (ParseAnswerYesNo(text, yes)) return true;
    Refuse(key, "not yes or no");
    return false;
}
