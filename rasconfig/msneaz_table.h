// The B-channel protocols of the remote-access driver, the MSN/EAZ table as the registry and the
// driver hold it, and the choice of the default protocols. Plain text work, no Windows headers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The protocol table, in its order: "<default>", "HDLC", "X75", "V110", "RAW", "V120".
constexpr int kProtocolCount = 6;
extern const char* const kProtocolNames[kProtocolCount];
extern const char kDefaultProtocol[];  // "<default>"

// The name of the table that equals name without regard to letter case; the empty name is
// "<default>". Null for a name that is not in the table.
const char* FindProtocolName(const char* name);

// One entry of the table: its number and the name of its protocol, spelled as in the table.
struct MsnEazEntry {
    std::string number;
    const char* protocol;
};

// One string of MSNEAZ (length bytes) as the page reads it: upper case, split at its last "^" into
// number and protocol ("123^B_X75", "123^X75", or "123" alone for the default protocol). False for
// a string whose protocol is not in the table, and for one without a number or with a NUL in it:
// its empty string would end the table in the registry and in the driver.
bool ParseMsnEazString(const char* bytes, size_t length, MsnEazEntry* entry);

// The string of an entry in MSNEAZ and in the driver's table: the number alone for the default
// protocol, otherwise the number, "^B_" and the protocol.
std::string MsnEazString(const MsnEazEntry& entry);

// The line of the page's list: number, TAB, protocol.
std::string MsnEazListLine(const MsnEazEntry& entry);

// The table of the MSN/EAZ page, in list order; a number is in it once.
class MsnEazTable {
public:
    // Adds the entry at the end, after removing an entry of the same number; false, and the table
    // unchanged, for a protocol that is not in the table or an empty number.
    bool add(const std::string& number, const char* protocol);
    void remove(size_t index);
    // The index of the entry with exactly this number, or -1.
    int find(const std::string& number) const;
    size_t size() const { return entries_.size(); }
    const MsnEazEntry& at(size_t index) const { return entries_[index]; }

    // Every string of MSNEAZ in order, each followed by one NUL: the driver's table. The registry
    // value is these bytes and one more NUL.
    std::string driverTable() const;

private:
    std::vector<MsnEazEntry> entries_;
};

// The buttons of a group on the default protocols page.
enum class ProtocolButton { Hdlc, X75, V110, None };

// The button a stored DefaultInbound or DefaultOutbound checks: an empty value, and one that
// names V120 (whose buttons are disabled), mean HDLC; then the first of HDLC or RAW, X75, V110 that
// the value holds in any letter case; None when it holds none of them.
ProtocolButton StoredProtocolButton(const char* stored);

// The protocol a group stands for on OK: HDLC when its HDLC button is checked, X75 when its X75
// button is, V110 otherwise (also when nothing is checked).
enum class DefaultProtocol { Hdlc = 1, X75 = 2, V110 = 3 };
DefaultProtocol CheckedProtocol(bool hdlcChecked, bool x75Checked);
// "B_HDLC", "B_X75" or "B_V110": the stored value.
const char* StoredProtocolName(DefaultProtocol protocol);
