// What verprint reads out of a file's version resource and its argument, without system calls.
#pragma once

#include <cstddef>
#include <cstdint>

// The name verprint prints for a path: the text after its last "\", or the whole path without one.
const char* NameAfterLastBackslash(const char* path);

// Looks for the fixed-version signature 0xFEEF04BD (32 bits, little-endian) at byte offsets 36 to
// 67 of a version resource of size bytes, one byte at a time, and takes the most significant
// halves of the file and product versions from the fixed block that begins there (major in the
// high 16 bits, minor in the low). False, the outputs untouched, when no whole block is found.
bool FindFixedVersions(const unsigned char* block, size_t size, uint32_t* fileVersion, uint32_t* productVersion);

// The room of verprint's reason: 128 bytes, of which a system text must leave 14 unused.
constexpr size_t kFailureReasonSize = 128;
constexpr size_t kFailureReasonReserve = 14;

// The reason verprint prints for a failure with this error code: the system's text for it (length
// bytes as the system gave them) without its line break, or "error <code>" when there is no text,
// when nothing is left of it but its line break, or when it does not leave kFailureReasonReserve
// bytes of the reason unused. reason has kFailureReasonSize bytes.
void FailureReason(unsigned long error, const char* text, size_t length, char* reason);
