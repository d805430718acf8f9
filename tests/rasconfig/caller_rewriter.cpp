// Writes caller.dat the way the incoming-caller page does, again and again, with the two lists in
// turn, until it is ended; the named event is set once the first list is written.
//
//   caller_rewriter <file> <event name>
#include <windows.h>

#include "caller_contents.h"
#include "rasconfig/caller_file.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HANDLE written = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    const std::vector<std::string> lists[2] = {caller_contents::Entries(0), caller_contents::Entries(1)};
    std::string text;
    for (unsigned n = 0;; ++n) {
        if (!WriteCallerFile(argv[1], lists[n % 2], &text)) return 1;
        if (n == 0 && written) SetEvent(written);
    }
}
