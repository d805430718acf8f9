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

// Names the package: its maker, one of its product keys (VrkMpr, VrkRas, VrkLV, VrkSetup, ...) or the
// event source of the router's SNMP agent.
bool NamesPackage(const std::string& text) {
    return Contains(text, "varnek") || Contains(text, "vrk") || Contains(text, "mpr snmp-agent");
}

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
    const char* pathPrefix;  // lower case, the root included, "key|value" for a value
    const char* reason;
};

// What the removal leaves different from the machine before the installation on purpose: each
// rule names what the system still needs and why.
const KeptRule kKeptRules[] = {
    {"hklm\\system\\currentcontrolset\\services\\nwlnkipx\\linkage|export",
     "NWLink IPX's export list, one entry per binding, as the router's LAN configuration writes it: the "
     "transport's own device \\Device\\NWlnkIPX (NT compares object names without regard to case), and one "
     "entry fewer with the router adapter's binding"},
};

// The old and the removed part of a value that is the package's entries taken out of a list: true
// when after holds the entries of before in their order, less some that name the package.
bool OnlyPackageEntriesWent(const std::string& before, const std::string& after) {
    const auto entries = [](const std::string& text, std::vector<std::string>* out) {
        if (text.size() < 2 || text.front() != '[' || text.back() != ']') return false;
        const std::string inner = text.substr(1, text.size() - 2);
        if (inner.empty()) return true;
        if (inner.size() < 2 || inner.front() != '"' || inner.back() != '"') return false;
        const std::string body = inner.substr(1, inner.size() - 2);
        for (size_t at = 0;;) {
            const size_t end = body.find("\", \"", at);
            out->push_back(body.substr(at, end == std::string::npos ? std::string::npos : end - at));
            if (end == std::string::npos) return true;
            at = end + 4;
        }
    };
    std::vector<std::string> was, now;
    if (!entries(before, &was) || !entries(after, &now)) return false;
    size_t kept = 0;
    for (const std::string& entry : was) {
        if (kept < now.size() && now[kept] == entry)
            ++kept;
        else if (!NamesPackage(entry))
            return false;
    }
    return kept == now.size();
}

// A key that went is the package's when its name, or a value of it that went with it, names it.
bool PackagesKeyWent(const RegistrySnapshot& before, const std::string& key) {
    if (NamesPackage(key)) return true;
    for (auto it = before.lower_bound(key); it != before.end() && it->first.compare(0, key.size(), key) == 0; ++it) {
        const char next = it->first.size() > key.size() ? it->first[key.size()] : '\0';
        if ((next == '|' || next == '\\') && (NamesPackage(it->first) || NamesPackage(it->second))) return true;
    }
    return false;
}

std::string ReasonFor(const std::string& path) {
    const std::string lower = Lower(path);
    for (const KeptRule& rule : kKeptRules)
        if (lower.rfind(rule.pathPrefix, 0) == 0) return rule.reason;
    return std::string();
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

std::vector<Leftover> RegistryLeftovers(const RegistrySnapshot& before, const RegistrySnapshot& after) {
    std::vector<Leftover> found;
    const auto show = [](const char* mark, const RegistrySnapshot::value_type& entry) {
        const bool isKey = entry.first.find('|') == std::string::npos;
        return std::string(mark) + " " + entry.first + (isKey ? std::string() : " = " + entry.second);
    };
    for (const auto& entry : after) {
        const auto was = before.find(entry.first);
        if (was == before.end()) {
            found.push_back({show("+", entry), ReasonFor(entry.first)});
        } else if (was->second != entry.second && !OnlyPackageEntriesWent(was->second, entry.second)) {
            found.push_back({show("~", entry) + " (was " + was->second + ")", ReasonFor(entry.first)});
        }
    }
    for (const auto& entry : before) {
        if (after.count(entry.first)) continue;
        const bool isKey = entry.first.find('|') == std::string::npos;
        const std::string key = KeyOf(entry.first);
        const bool packages = isKey ? PackagesKeyWent(before, entry.first)
                                    : NamesPackage(entry.first) || NamesPackage(entry.second) ||
                                          (!after.count(key) && PackagesKeyWent(before, key));
        if (!packages) found.push_back({"- " + entry.first, std::string()});
    }
    return found;
}

std::vector<Leftover> FileLeftovers(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    std::vector<Leftover> found;
    for (const std::string& path : after) {
        const bool another = std::find(before.begin(), before.end(), path) != before.end() && !NamesPackage(path);
        if (!another) found.push_back({"+ " + path, std::string()});
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

std::vector<std::string> PendingDeletes(const std::string& bytes) {
    std::vector<std::string> strings;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find('\0', at);
        if (end == std::string::npos) break;
        strings.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    std::vector<std::string> deletes;
    // An empty source ends the list; a source without its target is no order.
    for (size_t i = 0; i + 1 < strings.size() && !strings[i].empty(); i += 2) {
        if (!strings[i + 1].empty()) continue;
        const std::string& source = strings[i];
        deletes.push_back(source.rfind("\\??\\", 0) == 0 ? source.substr(4) : source);
    }
    return deletes;
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
