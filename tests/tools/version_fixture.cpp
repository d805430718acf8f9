#include "version_fixture.h"

#include <cstring>

namespace version_fixture {
namespace {

void AppendWord(std::string& out, WORD value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); }
void AppendDword(std::string& out, DWORD value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); }
void AlignToDword(std::string& out) {
    while (out.size() % 4) out.push_back('\0');
}

}  // namespace

std::string VersionBlock(WORD fileMajor, WORD fileMinor, WORD productMajor, WORD productMinor, size_t keyPadding) {
    std::string key = "VS_VERSION_INFO" + std::string(keyPadding, 'X');
    std::string block;
    AppendWord(block, 0);  // length, set below
    AppendWord(block, sizeof(VS_FIXEDFILEINFO));
    AppendWord(block, 0);  // binary value
    for (char c : key) AppendWord(block, static_cast<WORD>(c));
    AppendWord(block, 0);
    AlignToDword(block);
    AppendDword(block, 0xFEEF04BD);
    AppendDword(block, 0x00010000);
    AppendDword(block, MAKELONG(fileMinor, fileMajor));
    AppendDword(block, 0);
    AppendDword(block, MAKELONG(productMinor, productMajor));
    AppendDword(block, 0);
    AppendDword(block, VS_FFI_FILEFLAGSMASK);
    AppendDword(block, 0);
    AppendDword(block, VOS_NT_WINDOWS32);
    AppendDword(block, VFT_APP);
    AppendDword(block, 0);
    AppendDword(block, 0);
    AppendDword(block, 0);
    const WORD length = static_cast<WORD>(block.size());
    memcpy(&block[0], &length, sizeof length);
    return block;
}

bool MakeExecutable(const std::string& source, const std::string& target, const std::string& block) {
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) return false;
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE update = BeginUpdateResourceA(target.c_str(), TRUE);
    if (!update) return false;
    if (!block.empty() &&
        !UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                         const_cast<char*>(block.data()), static_cast<DWORD>(block.size()))) {
        EndUpdateResourceA(update, TRUE);
        return false;
    }
    return EndUpdateResourceA(update, FALSE) != FALSE;
}

}  // namespace version_fixture
