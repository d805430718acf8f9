// The records of the router's first link: the settings the dialog collects, the scrambled form of
// user name and password, the next free entry number and the three comma-separated records.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kPhoneNumberSize = 48;   // 47 characters
constexpr size_t kLinkTextSize = 32;      // user name and password: 31 characters
constexpr size_t kProtocolSize = 8;
constexpr size_t kRecordSize = 512;
constexpr uint32_t kScrambleSeed = 0x5E3A0C27u;
constexpr uint32_t kFlagsX75 = 4096;
constexpr uint32_t kFlagsV110 = 8192;
constexpr uint32_t kFlagsNoProtocol = 32768;

struct FirstLinkSettings {
    char phone[kPhoneNumberSize] = "";
    char protocol[kProtocolSize] = "";  // "B_X75", "B_V110" or empty
    uint32_t flags = kFlagsNoProtocol;
    char user[kLinkTextSize] = "";
    char password[kLinkTextSize] = "";
};

// Four characters from "0" to "o" for every three bytes of input, fewer for a shorter last group,
// each 6-bit piece XORed with a draw of the C runtime's generator seeded anew with seed. False
// (out empty) when out cannot hold the result.
bool ScrambleText(const char* input, uint32_t seed, char* out, size_t size);

// The protocol text and flags of a radio button's choice.
void SetProtocol(FirstLinkSettings* settings, const char* protocol);

// The records split their fields at "," and the call number's protocol at "^": a phone number
// holding either cannot be stored.
bool IsStorablePhoneNumber(const char* phone);

// What the dialog's OK takes from its controls, as typed.
struct FirstLinkTyped {
    const char* phone = "";
    const char* protocol = "";  // of the checked radio button
    const char* user = "";
    const char* password = "";  // kUntouchedPassword: the stored password stays
    const char* confirmation = "";
};
extern const char kUntouchedPassword[];  // the 16 asterisks the password fields open with

enum class FirstLinkCheck {
    Taken,
    BadPhone,          // a phone number the records cannot carry: nothing is taken
    PasswordMismatch,  // phone, protocol and user name are taken, the password is not
};
// The dialog's OK on the settings; texts are cut to their fields.
FirstLinkCheck TakeFirstLink(const FirstLinkTyped& typed, FirstLinkSettings* settings);

// The next free number among value names (a multi-string: names with their NULs, an empty one
// last): one more than the largest leading decimal number of the names that begin with a digit,
// 1 when there is none. Names above 4294967295 count as that; when no larger number is left, the
// smallest number from 1 that no name holds. False when every number is taken.
bool NextFreeNumber(const char* names, uint32_t* next);

// The link entry "Provider", 25 fields; false when out (kRecordSize) cannot hold it.
bool BuildLinkEntry(uint32_t isdnNumber, const FirstLinkSettings& settings, char* out, size_t size);
// The ISDN call entry, 12 fields.
bool BuildIsdnEntry(uint32_t linkNumber, const FirstLinkSettings& settings, char* out, size_t size);
// The default route through the link, 5 fields.
bool BuildDefaultRoute(uint32_t linkNumber, char* out, size_t size);
