#include "common/setup_procedure.h"

#include <cstdlib>

#include "common/ascii_case.h"

HWND OwnerWindow(HWND candidate) { return candidate && IsWindow(candidate) ? candidate : nullptr; }

SetupArguments ParseSetupArguments(DWORD argc, LPSTR argv[]) {
    SetupArguments arguments;
    const LONG count = static_cast<LONG>(argc);
    // A vector the engine did not give, or a first argument it left out, is read as no owner text.
    HWND named = nullptr;
    if (count < 1 || argv == nullptr || argv[0] == nullptr)
        named = GetFocus();
    else
        named = reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoul(argv[0], nullptr, 16)));
    arguments.shownWindow = reinterpret_cast<UINT_PTR>(named);
    arguments.window = OwnerWindow(named);
    if (count >= 2 && argv != nullptr) arguments.parameter = argv[1];
    return arguments;
}

bool IsInstallMode(const char* parameter) { return parameter && EqualsIgnoringCase(parameter, "INSTALL"); }
