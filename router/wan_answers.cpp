#include "router/wan_answers.h"

#include <cstdio>
#include <new>
#include <string>

#include "common/ascii_case.h"
#include "common/dialog_controls.h"
#include "common/registry.h"
#include "lang/resource.h"
#include "router/controller_table.h"
#include "router/wan_config.h"
#include "router/wan_format.h"
#include "router/x31_values.h"

const char kSaveWithoutControllerKey[] = "SaveWithoutController";

namespace {

const char kModemKey[] = "Modem";
const char kX31ControllerKey[] = "X31Controller";
const char kX31TakeOverKey[] = "X31TakeOver";
const char kX31EnabledKey[] = "X31Enabled";
const char kX31AddressKey[] = "X31Address";
const char kX31TeiKey[] = "X31TEI";
const char kX31HighestKey[] = "X31HighestTwoWayChannel";
const char kX31PacketNegKey[] = "X31PacketSizeNegotiation";
const char kX31PacketSizeKey[] = "X31PacketSize";
const char kX31PacketSizeMaxKey[] = "X31PacketSizeMax";
const char kX31WinNegKey[] = "X31WindowSizeNegotiation";
const char kX31WinSizeKey[] = "X31WindowSize";
const char kX31WinSizeMaxKey[] = "X31WindowSizeMax";
const char kX31SwitchOffKey[] = "X31SwitchOffWithoutChannels";

// The X.31 keys besides X31Controller; only the router has X.31.
const char* const kX31Keys[] = {kX31TakeOverKey,  kX31EnabledKey,       kX31AddressKey,  kX31TeiKey,
                                kX31HighestKey,   kX31PacketNegKey,     kX31PacketSizeKey, kX31PacketSizeMaxKey,
                                kX31WinNegKey,    kX31WinSizeKey,       kX31WinSizeMaxKey, kX31SwitchOffKey};

// The fields of Controller<card>.<index>.<field>: the controller dialog's controls.
const char kChannelsField[] = "Channels";
const char kNicknameField[] = "Nickname";
const char kPhoneField[] = "Phone";
const char kLeasedLineField[] = "LeasedLine";
const char* const kControllerFields[] = {kChannelsField, kNicknameField, kPhoneField, kLeasedLineField};

const char kNoSuchController[] = "no such controller on this machine";

// "<card>.<index>" at text; false unless both are decimal numbers, *end then behind them.
bool ParseControllerName(const char* text, uint32_t* card, uint32_t* index, const char** end) {
    uint32_t numbers[2] = {0, 0};
    const char* p = text;
    for (int n = 0; n < 2; ++n) {
        if (n == 1 && *p++ != '.') return false;
        if (*p < '0' || *p > '9') return false;
        for (; *p >= '0' && *p <= '9'; ++p) {
            if (numbers[n] > 100000) return false;
            numbers[n] = numbers[n] * 10 + static_cast<uint32_t>(*p - '0');
        }
    }
    *card = numbers[0];
    *index = numbers[1];
    *end = p;
    return true;
}

// Controller<card>.<index>.<field> with a field of kControllerFields.
bool ParseControllerKey(const std::string& key, uint32_t* card, uint32_t* index) {
    static const char kPrefix[] = "Controller";
    if (!StartsWithIgnoringCase(key.c_str(), kPrefix)) return false;
    const char* end = nullptr;
    if (!ParseControllerName(key.c_str() + sizeof kPrefix - 1, card, index, &end) || *end != '.') return false;
    for (const char* field : kControllerFields)
        if (EqualsIgnoringCase(end + 1, field)) return true;
    return false;
}

int FindController(uint32_t card, uint32_t index) {
    for (int i = 0; i < ControllerCount(); ++i)
        if (ControllerAt(i)->card == card && ControllerAt(i)->controller == index) return i;
    return -1;
}

bool IsOneOf(const std::string& key, const char* const* names, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (EqualsIgnoringCase(key.c_str(), names[i])) return true;
    return false;
}

// Unknown keys are logged and ignored; a controller the machine lacks is refused.
void CheckKeys(SectionAnswers* answers, bool router) {
    static const char* const kCommon[] = {kSaveWithoutControllerKey};
    static const char* const kRouter[] = {kModemKey, kX31ControllerKey};
    for (const std::string& key : answers->Keys()) {
        uint32_t card = 0, index = 0;
        if (ParseControllerKey(key, &card, &index)) {
            if (FindController(card, index) < 0) answers->Refuse(key.c_str(), kNoSuchController);
            continue;
        }
        if (IsOneOf(key, kCommon, 1)) continue;
        if (router && (IsOneOf(key, kRouter, 2) || IsOneOf(key, kX31Keys, sizeof kX31Keys / sizeof *kX31Keys)))
            continue;
        answers->IgnoreUnknown(key);
    }
}

std::string Decimal(uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
    return text;
}

// The controller dialog opened on the entry, its controls set from the answers, and OK pressed;
// it opens only for a controller that has answers.
void AnswerController(SectionAnswers* answers, ControllerEntry* entry) {
    char prefix[48];
    snprintf(prefix, sizeof prefix, "Controller%lu.%lu.", static_cast<unsigned long>(entry->card),
             static_cast<unsigned long>(entry->controller));
    const std::string leasedKey = std::string(prefix) + kLeasedLineField;
    const std::string nicknameKey = std::string(prefix) + kNicknameField;
    const std::string phoneKey = std::string(prefix) + kPhoneField;
    const std::string channelsKey = std::string(prefix) + kChannelsField;
    if (!answers->Has(leasedKey.c_str()) && !answers->Has(nicknameKey.c_str()) && !answers->Has(phoneKey.c_str()) &&
        !answers->Has(channelsKey.c_str()))
        return;

    // The controls as the dialog opens: a leased line shows one channel in use.
    ControllerEdit edit;
    edit.leased = entry->capiPlus != 0;
    edit.nickname = entry->nickname;
    edit.phone = entry->phone;
    edit.inUse = edit.leased ? "1" : Decimal(entry->enabled);

    bool leased = edit.leased;
    if (answers->YesNo(leasedKey.c_str(), &leased) && leased != edit.leased) {
        if (leased && !entry->driverCapiPlus) {
            answers->Refuse(leasedKey.c_str(), "the controller's driver offers no leased line");
            return;
        }
        edit.leased = leased;
        edit.inUse = leased ? "1" : Decimal(entry->enabled);
    }
    answers->Text(nicknameKey.c_str(), kNicknameSize - 1, &edit.nickname);
    if (answers->Has(phoneKey.c_str())) {
        if (edit.leased) {
            answers->Refuse(phoneKey.c_str(), "a leased line has no phone number");
            return;
        }
        answers->Text(phoneKey.c_str(), kPhoneSize - 1, &edit.phone);
    }
    long channels = 0;
    if (answers->Number(channelsKey.c_str(), 0, static_cast<long>(entry->channels), &channels))
        edit.inUse = Decimal(static_cast<uint32_t>(channels));
    if (answers->refused()) return;
    if (HasFieldSeparator(edit.nickname.c_str())) {
        answers->RefuseWithMessage(nicknameKey.c_str(), IDS_ROUTER_NO_SEMICOLON);
        return;
    }
    if (!edit.leased && HasFieldSeparator(edit.phone.c_str())) {
        answers->RefuseWithMessage(phoneKey.c_str(), IDS_ROUTER_NO_SEMICOLON);
        return;
    }
    ApplyControllerEdit(edit, entry);
}

// A value of a combo box: one that the list offers.
bool ChooseValue(SectionAnswers* answers, const char* key, uint32_t first, uint32_t last, uint32_t step,
                 uint32_t* value) {
    long chosen = 0;
    if (!answers->Number(key, static_cast<long>(first), static_cast<long>(last), &chosen)) return false;
    if ((static_cast<uint32_t>(chosen) - first) % step != 0) {
        char reason[64];
        snprintf(reason, sizeof reason, "not one of %lu and %lu", static_cast<unsigned long>(first),
                 static_cast<unsigned long>(last));
        answers->Refuse(key, reason);
        return false;
    }
    *value = static_cast<uint32_t>(chosen);
    return true;
}

uint32_t Offered(uint32_t value, uint32_t first, uint32_t last, uint32_t step, uint32_t fallback) {
    return value >= first && value <= last && (value - first) % step == 0 ? value : fallback;
}

// The X.31 dialog's controls as it opens on the record: a value the lists do not offer shows
// the default, and the maximum window size follows the size unless negotiated.
X31Typed TypedFromRecord(const X31Settings& record) {
    const X31Settings defaults;
    X31Typed typed;
    typed.enabled = record.enabled != 0;
    typed.address = record.x25Address;
    typed.highestTwoWay = Decimal(record.highestTwoWay);
    typed.tei = Offered(record.tei, kFirstTei, kLastTei, 1, defaults.tei);
    typed.packetSize = Offered(record.packetSize, 128, 256, 128, defaults.packetSize);
    typed.packetSizeMax = Offered(record.packetSizeMax, 128, 256, 128, defaults.packetSizeMax);
    typed.winSize = Offered(record.winSize, 1, 7, 1, defaults.winSize);
    typed.winSizeMax = Offered(record.winSizeMax, 1, 7, 1, defaults.winSizeMax);
    typed.packetSizeNeg = record.packetSizeNeg != 0;
    typed.winSizeNeg = record.winSizeNeg != 0;
    if (typed.enabled && !typed.winSizeNeg) typed.winSizeMax = typed.winSize;
    return typed;
}

// The X.31 dialog's controls set from the answers, in the order its rules between them need.
void AnswerX31Controls(SectionAnswers* answers, X31Typed* typed) {
    bool on = typed->enabled;
    if (answers->YesNo(kX31EnabledKey, &on) && on != typed->enabled) {
        typed->enabled = on;
        if (on && !typed->winSizeNeg) typed->winSizeMax = typed->winSize;
    }
    bool negotiated = typed->packetSizeNeg;
    if (answers->YesNo(kX31PacketNegKey, &negotiated) && negotiated != typed->packetSizeNeg) {
        typed->packetSizeNeg = negotiated;
        typed->packetSize = typed->packetSizeMax = 128;
    }
    negotiated = typed->winSizeNeg;
    if (answers->YesNo(kX31WinNegKey, &negotiated) && negotiated != typed->winSizeNeg) {
        typed->winSizeNeg = negotiated;
        if (!negotiated) typed->winSizeMax = typed->winSize;
    }
    answers->Text(kX31AddressKey, kX25AddressSize - 1, &typed->address);
    long highest = 0;
    if (answers->Number(kX31HighestKey, 0, kHighestTwoWayLimit, &highest))
        typed->highestTwoWay = Decimal(static_cast<uint32_t>(highest));
    ChooseValue(answers, kX31TeiKey, kFirstTei, kLastTei, 1, &typed->tei);
    // The packet sizes can be chosen only while negotiated, the maximum window size likewise.
    for (const char* key : {kX31PacketSizeKey, kX31PacketSizeMaxKey})
        if (!typed->packetSizeNeg && answers->Has(key))
            answers->Refuse(key, "offered only with X31PacketSizeNegotiation = yes");
    if (!typed->winSizeNeg && answers->Has(kX31WinSizeMaxKey))
        answers->Refuse(kX31WinSizeMaxKey, "offered only with X31WindowSizeNegotiation = yes");
    if (answers->refused()) return;
    uint32_t size = 0;
    if (ChooseValue(answers, kX31PacketSizeKey, 128, 256, 128, &size)) {
        typed->packetSize = size;
        typed->packetSizeMax = PacketSizeMaxAfterSize(size, typed->packetSizeMax);
    }
    if (ChooseValue(answers, kX31PacketSizeMaxKey, 128, 256, 128, &size)) {
        typed->packetSizeMax = size;
        typed->packetSize = PacketSizeAfterMax(typed->packetSize, size);
    }
    if (ChooseValue(answers, kX31WinSizeKey, 1, 7, 1, &size)) {
        typed->winSize = size;
        typed->winSizeMax = WindowSizeMaxAfterSize(size, typed->winSizeMax, typed->winSizeNeg);
    }
    if (ChooseValue(answers, kX31WinSizeMaxKey, 1, 7, 1, &size)) {
        typed->winSizeMax = size;
        typed->winSize = WindowSizeAfterMax(typed->winSize, size);
    }
}

// The X.31 button on the controller X31Controller names, the X.31 dialog's controls set from the
// answers and its OK pressed.
void AnswerX31(SectionAnswers* answers) {
    if (!answers->Has(kX31ControllerKey)) {
        for (const char* key : kX31Keys)
            if (answers->Has(key)) {
                answers->Refuse(key, "X31Controller names no controller");
                return;
            }
        return;
    }
    std::string name;
    if (!answers->Text(kX31ControllerKey, 16, &name)) return;
    uint32_t card = 0, number = 0;
    const char* end = nullptr;
    if (!ParseControllerName(name.c_str(), &card, &number, &end) || *end) {
        answers->Refuse(kX31ControllerKey, "not a controller <card>.<index>");
        return;
    }
    const int index = FindController(card, number);
    ControllerEntry* selected = ControllerAt(index);
    if (!selected) {
        answers->Refuse(kX31ControllerKey, kNoSuchController);
        return;
    }
    if (selected->capiPlus) {
        answers->Refuse(kX31ControllerKey, "a leased line has no X.31");
        return;
    }
    int otherIndex = -1;
    for (int i = 0; i < ControllerCount(); ++i)
        if (i != index && ControllerAt(i)->x31) otherIndex = i;
    if (otherIndex >= 0) {
        bool takeOver = false;
        answers->Question(kX31TakeOverKey, IDS_WAN_X31_TAKE_OVER, &takeOver);
        if (answers->refused() || !takeOver) return;
    }
    bool created = false;
    if (!selected->x31) {
        selected->x31 = new (std::nothrow) X31Settings;
        if (!selected->x31) {
            answers->Refuse(kX31ControllerKey, "out of memory");
            return;
        }
        created = true;
    }
    X31Typed typed = TypedFromRecord(*selected->x31);
    AnswerX31Controls(answers, &typed);
    X31Settings next = *selected->x31;
    if (!answers->refused()) {
        switch (TakeX31Values(typed, &next)) {
        case X31Check::Separator:
            answers->RefuseWithMessage(kX31AddressKey, IDS_ROUTER_NO_SEMICOLON);
            break;
        case X31Check::NoChannels: {
            // Yes goes back into the dialog, where no one is to change anything: as if cancelled.
            bool switchOff = false;
            answers->YesNo(kX31SwitchOffKey, &switchOff);
            if (!switchOff && !answers->refused()) answers->RefuseWithMessage(kX31SwitchOffKey, IDS_X31_NO_CHANNELS);
            break;
        }
        case X31Check::Taken:
            break;
        }
    }
    if (answers->refused()) {
        if (created) {
            delete selected->x31;
            selected->x31 = nullptr;
        }
        return;
    }
    *selected->x31 = next;
    if (ControllerEntry* other = ControllerAt(otherIndex)) {
        delete other->x31;
        other->x31 = nullptr;
    }
}

}  // namespace

const char* WanAnswerSection(ProductId product) {
    switch (product) {
    case kProductIsdnRouter:
    case kProductMultiprotocolRouter:
    case kProductInternetRouter:
        return "VrkMprWanConfig";
    case kProductRemoteAccess:
        return "VrkRasWanConfig";
    default:
        return nullptr;
    }
}

INT_PTR ApplyWanAnswers(SectionAnswers* answers, ProductId product) {
    if (product == kProductGateway) return -1;
    const bool router = product != kProductRemoteAccess;
    CheckKeys(answers, router);
    if (answers->refused()) return kDialogCancel;
    DWORD stored = 0;
    bool modem = ReadRegDword(kModemValue, &stored) && stored != 0;
    if (router) answers->YesNo(kModemKey, &modem);
    for (int i = 0; i < ControllerCount() && !answers->refused(); ++i) AnswerController(answers, ControllerAt(i));
    if (router && !answers->refused()) AnswerX31(answers);
    if (answers->refused()) return kDialogCancel;
    WriteRegDword(kModemValue, modem ? 1 : 0, kRegClose);
    return kDialogOk;
}
