// Setup procedures that must write a registry key the machine's security denies them: each ends
// with its own answer, nothing crashes, and the setup log names what could not be written.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "machine.h"

using namespace testing_machine;

namespace {

const char kLog[] = "c:\\temp\\setup.log";

// Everyone is denied setting values and creating subkeys on the key (created first), as a policy
// of an administrator may have it; the key can still be read and its security changed.
class DeniedKey {
public:
    explicit DeniedKey(const std::string& key) : key_(key) {
        HKEY handle = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        PACL acl = nullptr, denying = nullptr;
        if (AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) &&
            GetSecurityInfo(handle, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                            &descriptor_) == ERROR_SUCCESS) {
            EXPLICIT_ACCESSA deny = {};
            deny.grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
            deny.grfAccessMode = DENY_ACCESS;
            deny.Trustee.TrusteeForm = TRUSTEE_IS_SID;
            deny.Trustee.ptstrName = static_cast<LPSTR>(everyone);
            original_ = acl;
            denied_ = SetEntriesInAclA(1, &deny, acl, &denying) == ERROR_SUCCESS &&
                      SetSecurityInfo(handle, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, denying,
                                      nullptr) == ERROR_SUCCESS;
        }
        if (denying) LocalFree(denying);
        if (everyone) FreeSid(everyone);
        RegCloseKey(handle);
        HKEY probe = nullptr;
        denied_ = denied_ && RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &probe) == ERROR_ACCESS_DENIED;
        if (probe) RegCloseKey(probe);
    }
    DeniedKey(const DeniedKey&) = delete;
    DeniedKey& operator=(const DeniedKey&) = delete;
    ~DeniedKey() {
        HKEY handle = nullptr;
        if (original_ && RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, WRITE_DAC, &handle) == ERROR_SUCCESS) {
            SetSecurityInfo(handle, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, original_, nullptr);
            RegCloseKey(handle);
        }
        if (descriptor_) LocalFree(descriptor_);
    }
    bool denied() const { return denied_; }

private:
    std::string key_;
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    PACL original_ = nullptr;
    bool denied_ = false;
};

TEST(SetupRegistryDeniedTest, EveryProcedureThatWritesGivesItsAnswerAndTheLogNamesTheValue) {
    const struct {
        const char* procedure;
        const char* denied;   // the key whose values cannot be written
        const char* value;    // one of them, as the log must name it
        const char* result;
    } cases[] = {
        {"VrkMprSetSNMPRegistry", "SOFTWARE\\VARNEK\\VrkMpr\\CurrentVersion", "Pathname", "OK"},
        {"VrkMprSetSNMPRegistry", "SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents", "2", "OK"},
        {"VrkMprSetRegistry", "SOFTWARE\\VARNEK\\VrkMpr\\Service", "EXTDLL1", "ERROR"},
        {"VrkMprSetRegistry", "SOFTWARE\\VARNEK\\VrkMpr\\FirewallWizard", "Addresses", "ERROR"},
        {"VrkMprSetRegistry", "SYSTEM\\CurrentControlSet\\Control\\ServiceGroupOrder", "List", "OK"},
        {"VrkRasProvideRegistry", "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\VrkRas", "EventMessageFile",
         "OK"},
        {"VrkLVProvideRegistry", "SOFTWARE\\VARNEK\\VrkLV", "Installed", "OK"},
        {"VrkRasUpdateOldVersion", "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\VrkRas", "TypesSupported",
         "OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.procedure) + " without " + c.denied);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents", "2");
        DeniedKey denied(c.denied);
        ASSERT_TRUE(denied.denied());
        const ProgramResult r = RunProgram("C:\\testbed\\host.exe \"" + MakerDirectory() + "\\VRKSUDLL.DLL\" " +
                                           c.procedure + " 0");
        ASSERT_TRUE(r.started);
        EXPECT_EQ(std::string(c.procedure) + " returned TRUE; result " + c.result + "\r\n", r.out) << r.err;
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_EQ(std::string::npos, r.err.find("Unhandled")) << r.err;
        bool named = false;
        for (const std::string& line : SplitLines(ReadFileBytes(kLog)))
            named = named || (line.rfind("33 01 ", 0) == 0 &&
                              line.find(std::string(c.denied) + "\\" + c.value) != std::string::npos);
        EXPECT_TRUE(named) << "no failure line names " << c.denied << "\\" << c.value << ":\n" << ReadFileBytes(kLog);
    }
}

// The update moves the older installation's tree to the current maker key: a tree that cannot
// arrive there whole stays where it was.
TEST(SetupRegistryDeniedTest, AnOlderInstallationThatCannotBeMovedStaysWhereItIs) {
    ASSERT_TRUE(RunProgram("regedit.exe /S C:\\testbed\\oldinstall\\old-router.reg").started);
    ASSERT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH\\VrkMpr"));
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
    DeniedKey denied("SOFTWARE\\VARNEK\\VrkMpr");
    ASSERT_TRUE(denied.denied());
    const ProgramResult r =
        RunProgram("C:\\testbed\\host.exe \"" + MakerDirectory() + "\\VRKSUDLL.DLL\" VrkMprUpdateOldVersion 0");
    EXPECT_EQ("VrkMprUpdateOldVersion returned TRUE; result OK\r\n", r.out) << r.err;
    std::string version;
    EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH\\VrkMpr", "Version", &version));
    EXPECT_EQ(std::string("3.10", 5), version);
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH\\VrkMpr\\Service\\IP\\Routes"));
    const std::string log = ReadFileBytes(kLog);
    EXPECT_NE(std::string::npos, log.find("SOFTWARE\\VARNEK\\VrkMpr\\Version")) << log;
}

}  // namespace
