#include "network_fixture.h"

#include <gtest/gtest.h>

namespace router_test {

using namespace testing_machine;

void ProvisionNetwork(const std::string& shape) {
    const ProgramResult r = RunProgram("regedit.exe /S C:\\testbed\\network\\" + shape + ".reg");
    ASSERT_TRUE(r.started && !r.timedOut && r.exitCode == 0) << shape << ": " << r.err;
}

List ReadList(const std::string& key, const std::string& name) {
    std::string bytes;
    DWORD type = 0;
    List entries;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, &type)) {
        ADD_FAILURE() << "no value " << key << "\\" << name;
        return entries;
    }
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type) << name;
    for (size_t at = 0; at < bytes.size() && bytes[at];) {
        size_t end = bytes.find('\0', at);
        if (end == std::string::npos) end = bytes.size();
        entries.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return entries;
}

std::string ReadString(const std::string& key, const std::string& name) {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, &type)) {
        ADD_FAILURE() << "no value " << key << "\\" << name;
        return "";
    }
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type) << name;
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return bytes;
}

DWORD ReadDword(const std::string& key, const std::string& name) {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, &type) || type != REG_DWORD || bytes.size() != 4) {
        ADD_FAILURE() << "no REG_DWORD " << key << "\\" << name;
        return 0;
    }
    DWORD value;
    memcpy(&value, bytes.data(), 4);
    return value;
}

bool HasValue(const std::string& key, const std::string& name) {
    std::string bytes;
    return GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes);
}

void WriteList(const std::string& key, const std::string& name, const List& entries) {
    std::string block;
    for (const std::string& e : entries) block += e + std::string(1, '\0');
    block += std::string(1, '\0');
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, key, name, REG_MULTI_SZ, block));
}

SetupDll::SetupDll() : dll_(LoadLibraryA((MakerDirectory() + "\\VRKSUDLL.DLL").c_str())) {
    EXPECT_NE(nullptr, dll_) << "VRKSUDLL.DLL, error " << GetLastError();
}

SetupDll::~SetupDll() {
    if (dll_) FreeLibrary(dll_);
}

SetupCall::SetupCall(const SetupDll& dll, const char* exportName, const List& arguments) : arguments_(arguments) {
    using Procedure = BOOL(WINAPI*)(DWORD, LPSTR*, LPSTR*);
    Procedure procedure =
        dll.module() ? reinterpret_cast<Procedure>(reinterpret_cast<void*>(GetProcAddress(dll.module(), exportName))) : nullptr;
    if (!procedure) {
        ADD_FAILURE() << "VRKSUDLL.DLL has no export " << exportName;
        return;
    }
    for (std::string& a : arguments_) argv_.push_back(&a[0]);
    argv_.push_back(nullptr);
    call_.reset(new dialog_robot::BackgroundCall([this, procedure] {
        LPSTR result = nullptr;
        returned_ = procedure(static_cast<DWORD>(arguments_.size()), argv_.data(), &result);
        result_ = result ? result : "(no result)";
        return static_cast<INT_PTR>(returned_);
    }));
}

bool SetupCall::Finish(DWORD timeoutMs) { return call_ && (call_->Finished() || call_->Wait(timeoutMs)); }

void ExpectClosedWith(SetupCall* call, HWND dialog, const char* result) {
    dialog_robot::WaitUntilGone(dialog);
    ASSERT_TRUE(call->Finish());
    EXPECT_TRUE(call->returned());
    EXPECT_EQ(result, call->result());
}

HMODULE RobotLanguageModule() {
    static HMODULE module =
        LoadLibraryA((MakerDirectory() + (kGermanMachine ? "\\LANGGER.DLL" : "\\LANGENG.DLL")).c_str());
    return module;
}

std::string LanguageString(UINT id) {
    char text[1024] = "";
    LoadStringA(RobotLanguageModule(), id, text, sizeof text);
    return text;
}

List LogMessages() {
    List messages;
    for (const std::string& line : SplitLines(ReadFileBytes("c:\\temp\\setup.log"))) {
        const size_t colon = line.find(": ");
        if (line.size() > 3 && line[0] == '3' && colon != std::string::npos) messages.push_back(line.substr(colon + 2));
    }
    return messages;
}

void TypeInto(HWND dialog, int id, const std::string& keys) {
    HWND edit = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, edit) << "no control " << id;
    for (char c : keys) {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutA(edit, WM_CHAR, static_cast<unsigned char>(c), 1, SMTO_ABORTIFHUNG, 5000,
                                        &ignored));
    }
}

}  // namespace router_test
