#include "router/wan_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const int kWanTabStops[kWanTabStopCount] = {30, 75, 105, 134, 224, 288, 350};
const char kNoNickname[] = "NO_NICKNAME";
const char kCapiPlusProtocol[] = "CapiPlus";

namespace {

// printf into a string of the length the text needs: nothing is ever cut.
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string Format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    char small[256];
    va_list copy;
    va_copy(copy, arguments);
    const int length = vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    std::string text;
    if (length < 0) {
        va_end(arguments);
        return text;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        text.assign(small, static_cast<size_t>(length));
    } else {
        text.resize(static_cast<size_t>(length) + 1);
        vsnprintf(&text[0], text.size(), format, arguments);
        text.resize(static_cast<size_t>(length));
    }
    va_end(arguments);
    return text;
}

const char* ShownNickname(const ControllerEntry& entry) { return entry.nickname[0] ? entry.nickname : kNoNickname; }

}  // namespace

const char* LeasedLineText(bool german) { return german ? "Festverbindung" : "leased line"; }

std::string ControllerString(const ControllerEntry& entry) {
    return Format("%s;%s;%s;%s;%d;%d;%d;%s", entry.deviceName, ShownNickname(entry), entry.interfaceName,
                  entry.capiPlus ? kCapiPlusProtocol : entry.protocol, static_cast<int>(entry.card),
                  static_cast<int>(entry.controller), static_cast<int>(entry.enabled), entry.phone);
}

std::string ActiveLineString(const ControllerEntry& entry, const X31Settings& x31) {
    return Format("%s;%s;%s;%s;%d;%d;%d;%d;%s", entry.deviceName, ShownNickname(entry), entry.interfaceName,
                  entry.protocol, static_cast<int>(entry.card), static_cast<int>(entry.controller),
                  static_cast<int>(x31.highestTwoWay), static_cast<int>(x31.tei), x31.x25Address);
}

std::string TapiAddress(uint32_t adapter, uint32_t line) {
    return Format("%d-%d-%d", static_cast<int>(adapter), static_cast<int>(line), 0);
}

void MultiStringBlock::add(const std::string& text) {
    data_ += text;
    data_ += '\0';
    ++strings_;
}

std::string MultiStringBlock::bytes() const { return data_ + '\0'; }

ControllerLists BuildControllerLists(const ControllerEntry* entries, int count, uint32_t adapter) {
    ControllerLists lists;
    uint32_t line = 0;
    for (int i = 0; i < count; ++i) {
        const ControllerEntry& entry = entries[i];
        if (entry.enabled == 0) continue;
        lists.controllers.add(ControllerString(entry));
        const uint32_t channels = entry.channels < kMaxControllerChannels ? entry.channels : kMaxControllerChannels;
        for (uint32_t channel = 0; channel < channels; ++channel)
            lists.addresses.add(TapiAddress(adapter, line++));
    }
    return lists;
}

std::string CutToWidth(const char* text, int limit, TextMeasure measure, void* context) {
    int length = static_cast<int>(strlen(text));
    while (length > 0 && measure(context, text, length) >= limit) --length;
    return std::string(text, static_cast<size_t>(length));
}

int ColumnCutLimit(int column, int averageCharWidth) {
    if (column <= 0 || column >= kWanTabStopCount || averageCharWidth <= 0) return 0;
    return (kWanTabStops[column] - kWanTabStops[column - 1] - kWanColumnGap) * averageCharWidth / 4;
}

std::string ControllerListLine(const ControllerEntry& entry, bool german, int averageCharWidth, TextMeasure measure,
                               void* context) {
    const bool x31InUse = entry.x31 && entry.x31->enabled && !entry.capiPlus;
    const std::string manufacturer =
        CutToWidth(entry.manufacturer, ColumnCutLimit(4, averageCharWidth), measure, context);
    const std::string nickname = CutToWidth(entry.nickname, ColumnCutLimit(5, averageCharWidth), measure, context);
    const std::string phone = CutToWidth(entry.capiPlus ? LeasedLineText(german) : entry.phone,
                                         ColumnCutLimit(6, averageCharWidth), measure, context);
    return Format("%s\t%s\t%3ld\t%2ld/%2ld\t%s\t%s\t%s\t%s", entry.enabled ? "-->" : "", entry.deviceName,
                  static_cast<long>(entry.controller), static_cast<long>(entry.enabled),
                  static_cast<long>(entry.channels), manufacturer.c_str(), nickname.c_str(), phone.c_str(),
                  x31InUse ? "x" : "");
}

bool HasFieldSeparator(const char* text) { return text && strchr(text, ';') != nullptr; }

uint32_t TeiOfSubkeyName(const char* name) {
    if (!name || (name[0] != 'T' && name[0] != 't') || (name[1] != 'E' && name[1] != 'e') ||
        (name[2] != 'I' && name[2] != 'i'))
        return 0;
    const char* digits = name + 3;
    const size_t length = strlen(digits);
    if (length < 1 || length > 2) return 0;
    uint32_t tei = 0;
    for (const char* p = digits; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        tei = tei * 10 + static_cast<uint32_t>(*p - '0');
    }
    return tei >= kFirstTei && tei <= kLastTei ? tei : 0;
}

void ApplyControllerEdit(const ControllerEdit& edit, ControllerEntry* entry) {
    auto copy = [](char* field, size_t size, const std::string& text) {
        const size_t n = text.size() < size - 1 ? text.size() : size - 1;
        memcpy(field, text.data(), n);
        field[n] = '\0';
    };
    if (edit.leased) {
        entry->capiPlus = 1;
    } else {
        entry->capiPlus = 0;
        copy(entry->phone, sizeof entry->phone, edit.phone);
    }
    copy(entry->nickname, sizeof entry->nickname, edit.nickname);
    entry->enabled = static_cast<uint32_t>(strtol(edit.inUse.c_str(), nullptr, 10));
    if (!entry->phone[0]) copy(entry->phone, sizeof entry->phone, "0");
    if (entry->enabled > entry->channels) entry->enabled = entry->channels;
}
