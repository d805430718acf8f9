// The INF setup engine's stand-in: loads a setup DLL and calls its setup procedures with an
// argument vector, printing each result text and returned truth value.
//
//   host <dll> <export> [arg ...]     one call; argc and argv are the arguments after the export
//   host --null-argv <dll> <export>   one call with argc 0 and a null argument vector
//   host --script <file>              load, call and unload as the lines of the file say:
//                                       load <dll> | unload | call <export> [arg ...] |
//                                       call-null <export>        (# starts a comment)
// --with-focus before any of these first creates a window that has the keyboard focus, as the
// setup engine's own window has, and prints "host focus window <hex>".
// Each call prints "<export> returned TRUE|FALSE; result <text>" (result "(not set)" when the
// procedure left the result pointer alone). Exit code: 0 when every call returned TRUE, 1 when
// one returned FALSE, 2 for a usage, load or export error.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "script.h"

namespace {

using SetupProcedure = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

constexpr int kAllTrue = 0;
constexpr int kSomeFalse = 1;
constexpr int kHostError = 2;

class Library {
public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { unload(); }
    bool load(const std::string& path) {
        unload();
        module_ = LoadLibraryA(path.c_str());
        return module_ != nullptr;
    }
    void unload() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    HMODULE get() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

// Calls the export; returns 1 or 0 for its truth value, -1 when it cannot be called.
int Call(HMODULE module, const std::string& name, const std::vector<std::string>* args) {
    auto procedure = reinterpret_cast<SetupProcedure>(reinterpret_cast<void*>(GetProcAddress(module, name.c_str())));
    if (!procedure) {
        printf("%s: no such export (error %lu)\n", name.c_str(), GetLastError());
        return -1;
    }
    std::vector<std::string> copies;
    std::vector<LPSTR> argv;
    if (args) {
        copies = *args;
        for (std::string& a : copies) argv.push_back(&a[0]);
        argv.push_back(nullptr);
    }
    LPSTR result = nullptr;
    const BOOL returned = args ? procedure(static_cast<DWORD>(copies.size()), argv.data(), &result)
                               : procedure(0, nullptr, &result);
    printf("%s returned %s; result %s\n", name.c_str(), returned ? "TRUE" : "FALSE", result ? result : "(not set)");
    fflush(stdout);
    return returned ? 1 : 0;
}

std::string ReadWholeFile(const char* path, bool& ok) {
    std::string text;
    FILE* f = fopen(path, "rb");
    ok = f != nullptr;
    if (!f) return text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
    fclose(f);
    return text;
}

int RunScript(const char* path) {
    bool readable = false;
    const std::string text = ReadWholeFile(path, readable);
    if (!readable) {
        printf("host: cannot read script %s\n", path);
        return kHostError;
    }
    std::vector<ScriptStep> steps;
    std::string error;
    if (!ParseScript(text, steps, error)) {
        printf("host: %s\n", error.c_str());
        return kHostError;
    }
    Library library;
    int exitCode = kAllTrue;
    for (const ScriptStep& step : steps) {
        switch (step.verb) {
        case ScriptVerb::Load:
            if (!library.load(step.name)) {
                printf("host: cannot load %s (error %lu)\n", step.name.c_str(), GetLastError());
                return kHostError;
            }
            break;
        case ScriptVerb::Unload:
            library.unload();
            break;
        case ScriptVerb::Call:
        case ScriptVerb::CallNullVector: {
            if (!library.get()) {
                printf("host: line %d: no DLL loaded\n", step.line);
                return kHostError;
            }
            const int r = Call(library.get(), step.name, step.verb == ScriptVerb::Call ? &step.args : nullptr);
            if (r < 0) return kHostError;
            if (r == 0) exitCode = kSomeFalse;
            break;
        }
        }
    }
    return exitCode;
}

int Usage() {
    fputs("usage: host [--with-focus] <dll> <export> [arg ...]\n"
          "       host --null-argv <dll> <export>\n"
          "       host --script <file>\n",
          stderr);
    return kHostError;
}

// A visible window of this thread with the keyboard focus, as the setup engine has one.
HWND CreateFocusWindow() {
    HWND window = CreateWindowExA(0, "STATIC", "Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    SetForegroundWindow(window);
    SetFocus(window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    printf("host focus window %x\n", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(GetFocus())));
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--with-focus") {
        if (!CreateFocusWindow()) return kHostError;
        --argc;
        ++argv;
    }
    if (argc < 2) return Usage();
    const std::string first = argv[1];
    if (first == "--script") return argc == 3 ? RunScript(argv[2]) : Usage();

    const bool nullVector = first == "--null-argv";
    const int dllIndex = nullVector ? 2 : 1;
    if (argc < dllIndex + 2 || (nullVector && argc != dllIndex + 2)) return Usage();

    Library library;
    if (!library.load(argv[dllIndex])) {
        printf("host: cannot load %s (error %lu)\n", argv[dllIndex], GetLastError());
        return kHostError;
    }
    std::vector<std::string> args(argv + dllIndex + 2, argv + argc);
    const int r = Call(library.get(), argv[dllIndex + 1], nullVector ? nullptr : &args);
    return r < 0 ? kHostError : (r ? kAllTrue : kSomeFalse);
}
