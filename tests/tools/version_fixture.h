// Builds executables with a version resource of the test's choosing, from a copy of any PE file.
#pragma once

#include <windows.h>

#include <string>

namespace version_fixture {

// A VS_VERSIONINFO block with the given fixed versions (major, minor, build, private each).
// keyPadding lengthens the block's key by that many characters, which moves the fixed block's
// signature further into the block.
std::string VersionBlock(WORD fileMajor, WORD fileMinor, WORD productMajor, WORD productMinor,
                         size_t keyPadding = 0);

// Copies the PE file source to target and replaces all of the copy's resources by the one
// RT_VERSION resource block given (nothing when block is empty).
bool MakeExecutable(const std::string& source, const std::string& target, const std::string& block);

}  // namespace version_fixture
