// What the answer-file tests of the router's setup procedures share: an answer file named in the
// registry, the procedure called through VRKSUDLL.DLL, and the lines the answers left in the log.
#pragma once

#include <functional>
#include <string>

#include "network_fixture.h"

namespace router_test {

constexpr char kAnswersDirectory[] = "C:\\temp\\answers";

// One answer file and what the procedure must make of it.
struct AnswerCase {
    const char* name;     // the file is kAnswersDirectory\<name>.ini
    std::string ini;      // its text; empty: the registry names a file that is not there
    const char* result;   // the procedure's result text (it returns TRUE)
    List logged;          // the log's answer-file lines, in order
    std::function<void()> check = [] {};  // what the registry holds afterwards
};

// Names the case's file in SOFTWARE\VARNEK\VrkSetup\AnswerFile, calls the procedure (which must
// return without showing anything) and checks its result, its ENTER and LEAVE lines and the
// answer-file lines of the log. The registry value is gone afterwards.
void RunAnswerCase(const char* procedure, const char* enterLine, const AnswerCase& c, const List& arguments = {"0"});

// "[section] key: reason; ends as if cancelled".
std::string Refused(const char* section, const char* key, const std::string& reason);
// A message of the language module as the log shows it: its line breaks become one blank.
std::string MessageLine(UINT id);

}  // namespace router_test
