#include "maintenance/file_lists.h"

#include <windows.h>

#include <vector>

#include "common/ascii_case.h"
#include "common/files.h"
#include "common/product.h"
#include "common/setup_log.h"
#include "maintenance/file_list_lines.h"

const char kOldSetupSection[] = "DELETE Old Setup";
const char kMoveOldRouterSection[] = "MOVE OLD VrkMpr";

namespace {

// The sections being processed, outermost first: a section that names one of them, itself
// included, would never end.
struct SectionChain {
    const char* names[kListNestingLimit];
    int depth = 0;

    bool holds(const char* name) const {
        for (int i = 0; i < depth; ++i)
            if (EqualsIgnoringCase(names[i], name)) return true;
        return false;
    }
};

struct ListKind {
    const char* notFound;  // level 1, with the section's name
    const char* what;      // "Delete" or "Moving", for the lines of this file's own checks
};

const ListKind kDeleteList = {"Delete section not found(%s)", "Delete"};
const ListKind kMoveList = {"Moving section not found(%s)", "Moving"};

// Reads the section; false (logged) when it is missing or empty. *whole is the number of bytes of
// the lines that arrived whole.
bool ReadListSection(const ListKind& kind, const char* section, const char* file, char* buffer, size_t* whole) {
    const DWORD read = ReadIniSection(section, buffer, kListSectionSize, file);
    if (read == 0 || buffer[0] == '\0') {
        WriteSetupLog(kLogSourceSetup, kLogFailure, kind.notFound, section);
        return false;
    }
    // The reader answers alike for a section that filled the buffer exactly and for one it cut; a
    // read with room to spare measures which it was.
    size_t measured = 0;
    if (read == kListSectionSize - 2) {
        std::vector<char> larger(2 * kListSectionSize);
        measured = ReadIniSection(section, larger.data(), static_cast<DWORD>(larger.size()), file);
    }
    const char* cut = nullptr;
    *whole = WholeSectionBytes(buffer, read, kListSectionSize, &cut, measured);
    // A cut name could delete or replace other files than the one the list means (a mask
    // "...\*.DLL" cut to "...\*"): that line is left out, and everything behind it is unseen.
    if (cut)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s section %s longer than %u bytes; line not processed: %s",
                      kind.what, section, kListSectionSize, cut);
    return true;
}

// True when the nested section may be entered from the chain; logs why not otherwise.
bool MayEnter(const ListKind& kind, const SectionChain& chain, const char* section) {
    const char* current = chain.names[chain.depth - 1];
    if (chain.holds(section)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s section %s names section %s, which is being processed; skipped",
                      kind.what, current, section);
        return false;
    }
    if (chain.depth >= kListNestingLimit) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s section %s nests sections deeper than %d; %s skipped",
                      kind.what, current, kListNestingLimit, section);
        return false;
    }
    return true;
}

void DeleteSectionOf(const char* file, const char* section, SectionChain* chain) {
    char buffer[kListSectionSize];
    size_t whole = 0;
    if (!ReadListSection(kDeleteList, section, file, buffer, &whole)) return;
    chain->names[chain->depth++] = section;
    size_t offset = 0;
    for (const char* line; (line = NextListLine(buffer, whole, &offset)) != nullptr;) {
        const ListLine parsed = ParseListLine(line);
        if (parsed.kind == ListLineKind::kIgnored) continue;
        if (parsed.kind == ListLineKind::kSection) {
            if (MayEnter(kDeleteList, *chain, parsed.value)) DeleteSectionOf(file, parsed.value, chain);
            continue;
        }
        char target[kListSectionSize];
        bool deferred = false;
        if (ParseDeleteValue(parsed.value, target, sizeof target, &deferred)) DeleteFiles(target, deferred ? TRUE : FALSE);
    }
    --chain->depth;
}

void MoveSectionOf(const char* section, SectionChain* chain) {
    char file[kPathSize];
    if (!FindDelFilesDat(file)) return;
    char buffer[kListSectionSize];
    size_t whole = 0;
    if (!ReadListSection(kMoveList, section, file, buffer, &whole)) return;
    chain->names[chain->depth++] = section;
    size_t offset = 0;
    for (const char* line; (line = NextListLine(buffer, whole, &offset)) != nullptr;) {
        const ListLine parsed = ParseListLine(line);
        if (parsed.kind == ListLineKind::kIgnored) continue;
        if (parsed.kind == ListLineKind::kSection) {
            if (MayEnter(kMoveList, *chain, parsed.value)) MoveSectionOf(parsed.value, chain);
            continue;
        }
        char source[kListSectionSize], target[kListSectionSize];
        if (ParseMoveValue(parsed.value, source, sizeof source, target, sizeof target))
            MoveFileInMakerDir(source, target);
    }
    --chain->depth;
}

}  // namespace

void ProcessDeleteSection(const char* section) {
    char file[kPathSize];
    if (!FindDelFilesDat(file)) return;
    WriteSetupLog(kLogSourceSetup, kLogTrace, "_DeleteFileList %s;ini=%s", section, file);
    SectionChain chain;
    DeleteSectionOf(file, section, &chain);
}

void ProcessMoveSection(const char* section) {
    SectionChain chain;
    MoveSectionOf(section, &chain);
}
