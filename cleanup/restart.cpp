#include "cleanup/restart.h"

#include <cstdio>

#include "common/handles.h"
#include "common/messages.h"
#include "common/paths.h"
#include "lang/resource.h"

const char kRestartJournalVariable[] = "VRK_TESTBED_RESTART_JOURNAL";

namespace {

struct TokenHandleTraits {
    using Type = HANDLE;
    static Type empty() { return nullptr; }
    static void close(Type h) { CloseHandle(h); }
};
using TokenHandle = vrk::UniqueHandle<TokenHandleTraits>;

const char kRestartWho[] = "VrkClean.exe";

bool ShutdownPrivilegeEnabled() {
    TokenHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    PRIVILEGE_SET privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Control = PRIVILEGE_SET_ALL_NECESSARY;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privilege[0].Luid)) return false;
    BOOL enabled = FALSE;
    return PrivilegeCheck(token.get(), &privileges, &enabled) && enabled;
}

// A restart under Wine ends the whole test machine, its test runner included. The testbed names
// its journal in the variable: the call is then recorded there, as every substitute of the machine
// records, instead of being made. No user's machine has the variable; without it the restart is
// real. A record that cannot be written is a restart that did not start.
BOOL RecordedRestart(const char* journal, UINT flags, DWORD reason) {
    char line[kPathSize];
    snprintf(line, sizeof line, "%lu\t%lu\t%s\tExitWindowsEx\tflags=0x%X reason=0x%lX SeShutdownPrivilege=%s\r\n",
             static_cast<unsigned long>(GetTickCount()), static_cast<unsigned long>(GetCurrentProcessId()), kRestartWho,
             flags, static_cast<unsigned long>(reason), ShutdownPrivilegeEnabled() ? "enabled" : "disabled");
    vrk::FileHandle file(CreateFileA(journal, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FALSE;
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(lstrlenA(line));
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) return FALSE;
    return WriteFile(file.get(), line, length, &written, nullptr) && written == length;
}

BOOL RequestRestart(UINT flags, DWORD reason) {
    char journal[kPathSize] = "";
    const DWORD length = GetEnvironmentVariableA(kRestartJournalVariable, journal, sizeof journal);
    if (length >= sizeof journal) return FALSE;
    if (length > 0) return RecordedRestart(journal, flags, reason);
    return ExitWindowsEx(flags, reason);
}

}  // namespace

BOOL RestartSystem(HWND owner) {
    TokenHandle token;
    const BOOL opened = OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put());
    DWORD privilegeError = ERROR_SUCCESS;
    if (opened) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
            // A successful adjustment need not clear the last error; one that could not enable the
            // privilege leaves ERROR_NOT_ALL_ASSIGNED there.
            SetLastError(ERROR_SUCCESS);
            AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
        }
        privilegeError = GetLastError();
    }
    // The request is made even without the privilege: the system decides.
    const BOOL started = RequestRestart(EWX_REBOOT, 0);
    if (!opened || privilegeError != ERROR_SUCCESS || !started) {
        MessageBoxFromIds(owner, IDS_RESTART_FAILED, MB_OK | MB_ICONHAND, IDS_MESSAGE_CAPTION);
        return FALSE;
    }
    return TRUE;
}
