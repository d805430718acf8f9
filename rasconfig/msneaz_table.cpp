#include "rasconfig/msneaz_table.h"

#include <cstring>

#include "common/ascii_case.h"

const char kDefaultProtocol[] = "<default>";
const char* const kProtocolNames[kProtocolCount] = {kDefaultProtocol, "HDLC", "X75", "V110", "RAW", "V120"};

namespace {

const char kProtocolMark[] = "^B_";

}  // namespace

const char* FindProtocolName(const char* name) {
    if (!name || !*name) return kDefaultProtocol;
    for (const char* known : kProtocolNames)
        if (EqualsIgnoringCase(name, known)) return known;
    return nullptr;
}

bool ParseMsnEazString(const char* bytes, size_t length, MsnEazEntry* entry) {
    std::string upper;
    for (size_t i = 0; bytes && i < length; ++i) {
        if (bytes[i] == '\0') return false;
        upper += UpperAscii(bytes[i]);
    }
    const size_t caret = upper.rfind('^');
    std::string number = upper, protocol;
    if (caret != std::string::npos) {
        number = upper.substr(0, caret);
        const std::string after = upper.substr(caret + 1);
        // "B_" anywhere after the "^" means the name starts three characters after it; "B_" has
        // two characters, so that position lies at most at the end of the text.
        protocol = after.find("B_") != std::string::npos ? upper.substr(caret + 3) : after;
    }
    const char* name = FindProtocolName(protocol.c_str());
    if (number.empty() || !name) return false;
    entry->number = number;
    entry->protocol = name;
    return true;
}

std::string MsnEazString(const MsnEazEntry& entry) {
    if (EqualsIgnoringCase(entry.protocol, kDefaultProtocol)) return entry.number;
    return entry.number + kProtocolMark + entry.protocol;
}

std::string MsnEazListLine(const MsnEazEntry& entry) { return entry.number + "\t" + entry.protocol; }

bool MsnEazTable::add(const std::string& number, const char* protocol) {
    const char* name = FindProtocolName(protocol);
    if (!name || number.empty()) return false;
    const int listed = find(number);
    if (listed >= 0) remove(static_cast<size_t>(listed));
    entries_.push_back({number, name});
    return true;
}

void MsnEazTable::remove(size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

int MsnEazTable::find(const std::string& number) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].number == number) return static_cast<int>(i);
    return -1;
}

std::string MsnEazTable::driverTable() const {
    std::string table;
    for (const MsnEazEntry& entry : entries_) {
        table += MsnEazString(entry);
        table += '\0';
    }
    return table;
}

ProtocolButton StoredProtocolButton(const char* stored) {
    const char* value = stored ? stored : "";
    if (!*value || ContainsIgnoringCase(value, "V120")) return ProtocolButton::Hdlc;
    if (ContainsIgnoringCase(value, "HDLC") || ContainsIgnoringCase(value, "RAW")) return ProtocolButton::Hdlc;
    if (ContainsIgnoringCase(value, "X75")) return ProtocolButton::X75;
    if (ContainsIgnoringCase(value, "V110")) return ProtocolButton::V110;
    return ProtocolButton::None;
}

DefaultProtocol CheckedProtocol(bool hdlcChecked, bool x75Checked) {
    if (hdlcChecked) return DefaultProtocol::Hdlc;
    return x75Checked ? DefaultProtocol::X75 : DefaultProtocol::V110;
}

const char* StoredProtocolName(DefaultProtocol protocol) {
    switch (protocol) {
    case DefaultProtocol::Hdlc: return "B_HDLC";
    case DefaultProtocol::X75: return "B_X75";
    default: return "B_V110";
    }
}
