// Texts of the WAN configuration: the controller strings and TAPI addresses handed to the drivers,
// the X.31 active line, and the lines of the WAN dialog's list. No platform headers.
#pragma once

#include <cstdint>
#include <string>

#include "router/controller_entry.h"

// Dialog units of the WAN list's tab stops; the columns lie between them.
constexpr int kWanTabStopCount = 7;
extern const int kWanTabStops[kWanTabStopCount];

extern const char kNoNickname[];        // "NO_NICKNAME"
extern const char kCapiPlusProtocol[];  // "CapiPlus"

// "leased line", or "Festverbindung" on a German system.
const char* LeasedLineText(bool german);

// "device;nickname;interface;protocol;card;controller;enabled;phone".
std::string ControllerString(const ControllerEntry& entry);
// "device;nickname;interface;protocol;card;controller;Ch_HTC;TEI;X25Address".
std::string ActiveLineString(const ControllerEntry& entry, const X31Settings& x31);
// "adapter-line-0".
std::string TapiAddress(uint32_t adapter, uint32_t line);

// The strings as one REG_MULTI_SZ block: each with its NUL, then one more NUL; an empty list is
// one NUL. The block grows with the list and is never cut.
class MultiStringBlock {
public:
    void add(const std::string& text);
    bool empty() const { return strings_ == 0; }
    // The block with its final NUL.
    std::string bytes() const;

private:
    std::string data_;
    unsigned strings_ = 0;
};

// The most B channels a controller is given TAPI addresses for: the largest count a CAPI profile
// can report. A damaged Channels value (4294967295) would otherwise ask for billions of addresses.
constexpr uint32_t kMaxControllerChannels = 0xFFFF;

// The controller strings of the entries in use (Enabled not 0), in table order, and one TAPI
// address per B channel (Channels, at most kMaxControllerChannels) of each of them, lines counted
// from 0 across them.
struct ControllerLists {
    MultiStringBlock controllers;
    MultiStringBlock addresses;
};
ControllerLists BuildControllerLists(const ControllerEntry* entries, int count, uint32_t adapter);

// The width in pixels of the first length bytes of text as the list shows them.
using TextMeasure = int (*)(void* context, const char* text, int length);

// The longest beginning of text whose width is below limit pixels.
std::string CutToWidth(const char* text, int limit, TextMeasure measure, void* context);

// The list line of an entry: mark, device, index, in use/channels, manufacturer, nickname, phone
// (or the leased-line text) and "x" for X.31 in use, TAB-separated; the manufacturer, nickname
// and phone columns cut to ColumnCutLimit, for a list font of that average character width.
std::string ControllerListLine(const ControllerEntry& entry, bool german, int averageCharWidth, TextMeasure measure,
                               void* context);
// The cut limit in pixels of list column column (0-based): its width less kWanColumnGap, in pixels
// of a list font whose average character is averageCharWidth pixels wide (a list box converts its
// tab stops with its font's average width: a quarter of it per dialog unit). For 7 pixels, the
// 9-point dialog font on a 96-dpi screen, 150, 105 and 101 for the text columns.
int ColumnCutLimit(int column, int averageCharWidth);
// Dialog units kept free at the end of a cut column, one average character: text cut to the full
// width would run straight into the next column's.
constexpr int kWanColumnGap = 4;

// True when text holds the ";" that separates the fields of a controller or active-line string.
bool HasFieldSeparator(const char* text);

// The TEI a subkey name "TEI<n>" (any letter case, n one or two decimal digits) names when n is
// 1 to 63; 0 for every other name.
uint32_t TeiOfSubkeyName(const char* name);

// What the controller dialog's OK takes from its controls: the leased-line mark, the nickname, the
// phone (not read while the mark is set) and the channels in use as typed.
struct ControllerEdit {
    bool leased = false;
    std::string nickname;
    std::string phone;
    std::string inUse;
};
// The controller dialog's OK on an entry: a leased line keeps its phone, an empty phone becomes
// "0", the channels in use are read as C does (0 for no number) and are at most Channels. The
// texts are cut to their fields; the dialog's edits never deliver more.
void ApplyControllerEdit(const ControllerEdit& edit, ControllerEntry* entry);
