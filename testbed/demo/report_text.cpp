#include "report_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace demo_report {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Contains(const std::string& text, const char* part) { return Lower(text).find(part) != std::string::npos; }

bool StartsWith(const std::string& text, const char* prefix) { return Lower(text).rfind(prefix, 0) == 0; }

// Names the package: its maker, or one of its product keys (VrkMpr, VrkRas, VrkLV, VrkSetup, ...).
bool NamesPackage(const std::string& text) { return Contains(text, "varnek") || Contains(text, "vrk"); }

std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", u);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    const size_t shown = std::min<size_t>(bytes.size(), 48);
    for (size_t i = 0; i < shown; ++i) {
        char pair[4];
        snprintf(pair, sizeof pair, "%s%02X", i ? " " : "", static_cast<unsigned char>(bytes[i]));
        text += pair;
    }
    if (bytes.size() > shown) text += " ... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

// The text of a string value without the terminating NULs.
std::string StringOf(const std::string& bytes) {
    const size_t end = bytes.find('\0');
    return end == std::string::npos ? bytes : bytes.substr(0, end);
}

// Where a path of a snapshot ends its key: values are "key|name".
std::string KeyOf(const std::string& path) { return path.substr(0, path.find('|')); }

struct KeptRule {
    const char* keyPrefix;  // lower case, the root included
    const char* reason;
};

// What the removal leaves on purpose, or what goes without it: each rule names the part of the
// registry it covers. A product key's value inside these parts still counts as left behind.
const KeptRule kKeptRegistry[] = {
    {"hklm\\software\\capi20", "the ISDN card's own CAPI 2.0 registry: only the product's values in it go"},
    {"hklm\\hardware\\", "volatile: gone at the next start of the system"},
    {"hklm\\system\\currentcontrolset\\services\\eventlog\\system",
     "the event log's sources: the clean-up leaves the remote-access driver's source registered"},
    {"hklm\\system\\currentcontrolset\\control\\servicegrouporder",
     "the load order of the system's groups: the clean-up leaves the trace driver's group in it"},
    {"hklm\\system\\currentcontrolset\\services\\nwlnkipx\\linkage",
     "NWLink IPX's own binding lists: the network control panel, which the clean-up calls, removes a removed "
     "adapter's bindings"},
};

// Value names of the product's own settings inside kept parts: these must be gone.
bool IsProductValueName(const std::string& path) {
    const size_t bar = path.find('|');
    if (bar == std::string::npos) return false;
    const std::string name = path.substr(bar + 1);
    return StartsWith(name, "vrk");
}

}  // namespace

std::string ValueText(unsigned long type, const std::string& bytes) {
    switch (type) {
    case kRegSz:
    case kRegExpandSz:
        return std::string(type == kRegExpandSz ? "(expand) " : "") + "\"" + Printable(StringOf(bytes)) + "\"";
    case kRegDword:
        if (bytes.size() == 4) {
            const unsigned long value = static_cast<unsigned char>(bytes[0]) |
                                        static_cast<unsigned long>(static_cast<unsigned char>(bytes[1])) << 8 |
                                        static_cast<unsigned long>(static_cast<unsigned char>(bytes[2])) << 16 |
                                        static_cast<unsigned long>(static_cast<unsigned char>(bytes[3])) << 24;
            char text[40];
            snprintf(text, sizeof text, "0x%08lX (%lu)", value, value);
            return text;
        }
        break;
    case kRegMultiSz: {
        // Every string up to the end of the data: some lists (the deferred renames) hold empty
        // strings between others. The empty string that ends the list is not shown.
        std::vector<std::string> strings;
        size_t at = 0;
        while (at < bytes.size()) {
            size_t end = bytes.find('\0', at);
            if (end == std::string::npos) end = bytes.size();
            strings.push_back(bytes.substr(at, end - at));
            at = end + 1;
        }
        if (!strings.empty() && strings.back().empty()) strings.pop_back();
        std::string text = "[";
        for (size_t i = 0; i < strings.size(); ++i) text += (i ? ", \"" : "\"") + Printable(strings[i]) + "\"";
        return text + "]";
    }
    default:
        break;
    }
    return "hex(" + std::to_string(type) + "):" + Hex(bytes);
}

std::vector<std::string> SnapshotDifference(const RegistrySnapshot& before, const RegistrySnapshot& after) {
    std::vector<std::string> lines;
    auto b = before.begin();
    auto a = after.begin();
    auto describe = [](const char* mark, const RegistrySnapshot::value_type& entry) {
        const bool isKey = entry.first.find('|') == std::string::npos;
        return std::string(mark) + " " + entry.first + (isKey ? std::string() : " = " + entry.second);
    };
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && b->first < a->first)) {
            lines.push_back("- " + b->first);
            ++b;
        } else if (b == before.end() || a->first < b->first) {
            lines.push_back(describe("+", *a));
            ++a;
        } else {
            if (a->second != b->second) lines.push_back(describe("~", *a) + " (was " + b->second + ")");
            ++a;
            ++b;
        }
    }
    return lines;
}

std::vector<Leftover> RegistryLeftovers(const RegistrySnapshot& after) {
    std::vector<Leftover> found;
    for (const auto& entry : after) {
        if (!NamesPackage(entry.first) && !NamesPackage(entry.second)) continue;
        // A key is listed only for its own name; its values speak for themselves.
        const bool isKey = entry.first.find('|') == std::string::npos;
        if (isKey) {
            const size_t slash = entry.first.rfind('\\');
            if (!NamesPackage(entry.first.substr(slash == std::string::npos ? 0 : slash + 1))) continue;
        }
        Leftover leftover{entry.first, ""};
        const std::string key = Lower(KeyOf(entry.first));
        for (const KeptRule& rule : kKeptRegistry)
            if (key.rfind(rule.keyPrefix, 0) == 0 && !IsProductValueName(entry.first)) leftover.reason = rule.reason;
        if (!isKey) leftover.path += " = " + entry.second;
        found.push_back(leftover);
    }
    return found;
}

std::vector<Leftover> FileLeftovers(const std::vector<std::string>& paths) {
    std::vector<Leftover> found;
    for (const std::string& path : paths) {
        Leftover leftover{path, ""};
        const std::string lower = Lower(path);
        const size_t slash = lower.rfind('\\');
        const std::string name = slash == std::string::npos ? lower : lower.substr(slash + 1);
        const std::string folder = slash == std::string::npos ? std::string() : lower.substr(0, slash);
        if (folder == "c:\\temp" && name.rfind("setup", 0) == 0 && name.size() > 4 &&
            name.compare(name.size() - 4, 4, ".log") == 0)
            leftover.reason = "the clean-up program's own setup log: it writes its last lines after its delete lists ran";
        else if (folder == "c:\\temp" && name == "tracelogsvc.log")
            leftover.reason = "the trace service's diagnostic log (TraceServiceTrace), switched on by this run, not "
                              "by the package";
        found.push_back(leftover);
    }
    return found;
}

std::string LogMessage(const std::string& line) {
    // "33 02 08.12.2026 12:00:00.000: " is 31 characters.
    if (line.size() >= 31 && line[2] == ' ' && line[5] == ' ' && line.compare(29, 2, ": ") == 0) return line.substr(31);
    return line;
}

std::vector<std::string> LogExcerpt(const std::string& logText, const std::string& procedure) {
    std::vector<std::string> excerpt;
    bool inside = false;
    const std::string enter = procedure + " ENTER", leave = procedure + " LEAVE";
    for (const std::string& line : Lines(logText)) {
        const std::string message = LogMessage(line);
        if (!inside && message.rfind(enter, 0) == 0) inside = true;
        if (!inside) continue;
        excerpt.push_back(message);
        if (message.rfind(leave, 0) == 0) break;
    }
    return excerpt;
}

std::string TableCell(const std::string& text) {
    std::string cell;
    for (char c : text) {
        if (c == '|')
            cell += "\\|";
        else if (c == '\r' || c == '\n')
            cell += ' ';
        else
            cell += c;
    }
    return cell;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

}  // namespace demo_report
