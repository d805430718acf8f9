// The DELFILES.DAT the package installs: every list the setup procedures and the clean-up read,
// each within the 1024 bytes read at once, no list that names itself, the old setup's list naming
// no current file, and every installed file and driver in a list.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "maintenance_fixture.h"

using namespace maintenance_testing;
using namespace testing_machine;

namespace {

const char* const kSections[] = {"DELETE Old Setup", "MOVE OLD VrkMpr", "DELETE VrkMpr",      "DELETE VrkRas",
                                 "DELETE VrkLV",     "DELETE MFC Files", "DELETE Trace Files", "DELETE VrkSetup",
                                 "DELETE TempFiles"};
// The lists the clean-up runs for a product line or for what the lines share.
const char* const kCurrentSections[] = {"DELETE VrkMpr",      "DELETE VrkRas",   "DELETE VrkLV",    "DELETE MFC Files",
                                        "DELETE Trace Files", "DELETE VrkSetup", "DELETE TempFiles"};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// * and ? of a file name mask, letters without regard to case.
bool Matches(const char* mask, const char* name) {
    if (*mask == '\0') return *name == '\0';
    if (*mask == '*') return Matches(mask + 1, name) || (*name && Matches(mask, name + 1));
    if (*name == '\0') return false;
    if (*mask != '?' && toupper(static_cast<unsigned char>(*mask)) != toupper(static_cast<unsigned char>(*name)))
        return false;
    return Matches(mask + 1, name + 1);
}

struct Entry {
    std::string path;  // expanded, relative names in the maker's directory, upper case
    bool reboot = false;
};

class DelFilesTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        file_ = Maker("DELFILES.DAT");
        ASSERT_TRUE(PathExists(file_)) << "DELFILES.DAT is installed into the maker's directory";
    }

    // The section's lines as the reader gives them; bytes receives what a read of any size returns.
    std::vector<std::string> Lines(const std::string& section, size_t* bytes = nullptr) const {
        std::vector<char> buffer(65536);
        const DWORD n = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  file_.c_str());
        if (bytes) *bytes = n;
        std::vector<std::string> lines;
        for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += strlen(p) + 1) lines.push_back(p);
        return lines;
    }

    // Every delete entry reachable from the section, nested sections included.
    void Collect(const std::string& section, std::vector<Entry>* entries, std::set<std::string>* seen) const {
        if (!seen->insert(Upper(section)).second) return;
        for (const std::string& line : Lines(section)) {
            const size_t equals = line.find('=');
            if (equals == std::string::npos) continue;
            const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
            if (Upper(key) == "SECTION") {
                Collect(value, entries, seen);
                continue;
            }
            Entry e;
            std::string file = value;
            const size_t comma = value.rfind(',');
            if (comma != std::string::npos) {
                file = value.substr(0, comma);
                e.reboot = Upper(value.substr(comma + 1)) == "REBOOT";
            }
            file = Expand(file);
            e.path = Upper(file.find(':') == std::string::npos ? MakerDirectory() + "\\" + file : file);
            entries->push_back(e);
        }
    }

    std::vector<Entry> EntriesOf(const char* const* sections, size_t count) const {
        std::vector<Entry> entries;
        std::set<std::string> seen;
        for (size_t i = 0; i < count; ++i) Collect(sections[i], &entries, &seen);
        return entries;
    }

    static bool Covers(const Entry& entry, const std::string& path) {
        const size_t slash = entry.path.rfind('\\');
        const size_t pathSlash = path.rfind('\\');
        if (slash == std::string::npos || pathSlash == std::string::npos) return false;
        return entry.path.substr(0, slash) == path.substr(0, pathSlash) &&
               Matches(entry.path.c_str() + slash + 1, path.c_str() + pathSlash + 1);
    }

    std::string file_;
};

TEST_F(DelFilesTest, EveryListIsThereAndFitsIntoOneRead) {
    for (const char* section : kSections) {
        size_t bytes = 0;
        const std::vector<std::string> lines = Lines(section, &bytes);
        EXPECT_FALSE(lines.empty()) << section;
        // Below the 1022 bytes with which the reader reports a section that did not fit.
        EXPECT_LT(bytes, 1022u) << section;
        for (const std::string& line : lines) EXPECT_NE(std::string::npos, line.find('=')) << section << ": " << line;
    }
}

TEST_F(DelFilesTest, NoListNamesItselfAndEveryNamedListExists) {
    std::vector<char> names(65536);
    const DWORD n = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file_.c_str());
    std::vector<std::string> all;
    for (const char* p = names.data(); p < names.data() + n && *p; p += strlen(p) + 1) all.push_back(p);
    ASSERT_GE(all.size(), 9u);
    std::map<std::string, std::vector<std::string>> nested;
    for (const std::string& section : all)
        for (const std::string& line : Lines(section))
            if (Upper(line.substr(0, line.find('='))) == "SECTION") {
                const std::string target = line.substr(line.find('=') + 1);
                nested[Upper(section)].push_back(Upper(target));
                EXPECT_FALSE(Lines(target).empty()) << section << " names the missing " << target;
            }
    // Depth-first with the chain of open sections: a section met again on its own chain is a cycle.
    std::vector<std::string> chain;
    std::function<void(const std::string&)> walk = [&](const std::string& section) {
        ASSERT_EQ(chain.end(), std::find(chain.begin(), chain.end(), section)) << "cycle through " << section;
        chain.push_back(section);
        ASSERT_LT(chain.size(), 8u) << "nested deeper than the clean-up follows";
        for (const std::string& next : nested[section]) walk(next);
        chain.pop_back();
    };
    for (const std::string& section : all) walk(Upper(section));
}

TEST_F(DelFilesTest, TheOldSetupListNamesNoCurrentFile) {
    const char* const old[] = {"DELETE Old Setup"};
    const std::vector<Entry> oldEntries = EntriesOf(old, 1);
    const std::vector<Entry> current = EntriesOf(kCurrentSections, sizeof kCurrentSections / sizeof *kCurrentSections);
    ASSERT_FALSE(oldEntries.empty());
    // Neither a file installed now nor one that a current list names.
    std::vector<std::string> installed;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((MakerDirectory() + "\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            installed.push_back(Upper(MakerDirectory() + "\\" + found.cFileName));
    } while (FindNextFileA(find, &found));
    FindClose(find);
    for (const Entry& o : oldEntries) {
        EXPECT_FALSE(o.reboot) << o.path;
        for (const std::string& file : installed) EXPECT_FALSE(Covers(o, file)) << o.path << " deletes " << file;
        for (const Entry& c : current) {
            EXPECT_FALSE(Covers(o, c.path)) << o.path << " deletes " << c.path;
            EXPECT_FALSE(Covers(c, o.path)) << c.path << " takes " << o.path << " for a current file";
        }
    }
    // The move list's new names are current files, its old names are not.
    for (const std::string& line : Lines("MOVE OLD VrkMpr")) {
        const std::string value = line.substr(line.find('=') + 1);
        ASSERT_NE(std::string::npos, value.find(',')) << line;
        const std::string target = Upper(MakerDirectory() + "\\" + value.substr(value.find(',') + 1));
        EXPECT_TRUE(std::any_of(current.begin(), current.end(), [&](const Entry& c) { return Covers(c, target); }))
            << target << " is removed by no list";
    }
}

TEST_F(DelFilesTest, EveryInstalledFileAndTheFilesThePackageLeavesAreInAList) {
    const std::vector<Entry> current = EntriesOf(kCurrentSections, sizeof kCurrentSections / sizeof *kCurrentSections);
    auto listed = [&](const std::string& path) {
        const std::string upper = Upper(Expand(path));
        return std::any_of(current.begin(), current.end(), [&](const Entry& c) { return Covers(c, upper); });
    };
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((MakerDirectory() + "\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int files = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        ++files;
        EXPECT_TRUE(listed(MakerDirectory() + "\\" + found.cFileName)) << found.cFileName << " is in no list";
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_GE(files, 5);
    const char* const left[] = {
        "caller.dat",  "RasTrc.TXT",  "RasTrc1.TXT", "RasTrc3.TXT",  "RasLog.TXT",   "RasLog2.TXT",
        "setupENG.hlp", "setupGER.hlp", "perf.ini",  "VrkMprFw.dat", "VRKICONS.INF", "c:\\temp\\setup.log",
        "c:\\temp\\setup_1.log", "c:\\temp\\setup_3.log", "%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkRas.SYS",
        "%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkMpr.sys", "%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkMprTrc.sys",
        "%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkLV.sys",
    };
    for (const char* name : left)
        EXPECT_TRUE(listed(std::string(name).find(':') == std::string::npos && name[0] != '%'
                               ? MakerDirectory() + "\\" + name
                               : name))
            << name;
    // Drivers are in use while the system runs: they go at the next start.
    for (const Entry& c : current) {
        const bool driver = c.path.find("\\DRIVERS\\") != std::string::npos;
        EXPECT_TRUE(!driver || c.reboot) << c.path;
    }
    // The list itself goes last, after every list has been read, and the maker's directory after it.
    const std::vector<std::string> temp = Lines("DELETE TempFiles");
    ASSERT_GE(temp.size(), 2u);
    EXPECT_EQ("DELFILES.DAT", Upper(temp[temp.size() - 2].substr(temp[temp.size() - 2].find('=') + 1)));
    EXPECT_EQ(Upper("%SystemRoot%\\SYSTEM32\\VARNEK"), Upper(temp.back().substr(temp.back().find('=') + 1)));
    for (const char* section : kCurrentSections) {
        if (std::string(section) == "DELETE TempFiles") continue;
        for (const std::string& line : Lines(section))
            EXPECT_EQ(std::string::npos, Upper(line).find("DELFILES.DAT")) << section;
    }
}

}  // namespace
