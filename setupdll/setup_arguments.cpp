#include "setupdll/setup_call.h"

#include <cstdlib>

SetupArguments ParseSetupArguments(DWORD argc, LPSTR argv[]) {
    SetupArguments arguments;
    const LONG count = static_cast<LONG>(argc);
    // A vector the engine did not give is read as no arguments at all.
    if (count < 1 || argv == nullptr) {
        arguments.window = GetFocus();
        return arguments;
    }
    if (argv[0] != nullptr)
        arguments.window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoul(argv[0], nullptr, 16)));
    if (count >= 2) arguments.parameter = argv[1];
    return arguments;
}

bool IsInstallMode(const char* parameter) { return parameter && lstrcmpiA(parameter, "INSTALL") == 0; }
