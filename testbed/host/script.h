// The host's script: one setup-procedure call, load or unload per line, as an INF script runs them.
#pragma once

#include <string>
#include <vector>

enum class ScriptVerb { Load, Unload, Call, CallNullVector };

struct ScriptStep {
    ScriptVerb verb = ScriptVerb::Call;
    std::string name;               // DLL path for load, export name for the calls
    std::vector<std::string> args;  // argv of a call
    int line = 0;
};

// Splits a line into words: blanks separate, double quotes group ("" is an empty word).
std::vector<std::string> SplitWords(const std::string& line);

// Reads the script; false with a message in error when a line cannot be understood.
bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);
