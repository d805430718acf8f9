#include "script.h"

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                word.push_back(line[i]);
            ++i;
        }
        words.push_back(word);
    }
    return words;
}

bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error) {
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> words = SplitWords(line);
        if (words.empty() || words[0][0] == '#') continue;

        ScriptStep step;
        step.line = lineNumber;
        const std::string& verb = words[0];
        if (verb == "load" && words.size() == 2) {
            step.verb = ScriptVerb::Load;
            step.name = words[1];
        } else if (verb == "unload" && words.size() == 1) {
            step.verb = ScriptVerb::Unload;
        } else if ((verb == "call" || verb == "call-null") && words.size() >= 2) {
            step.verb = verb == "call" ? ScriptVerb::Call : ScriptVerb::CallNullVector;
            step.name = words[1];
            step.args.assign(words.begin() + 2, words.end());
            if (step.verb == ScriptVerb::CallNullVector && !step.args.empty()) {
                error = "line " + std::to_string(lineNumber) + ": call-null takes no arguments";
                return false;
            }
        } else {
            error = "line " + std::to_string(lineNumber) + ": cannot read \"" + line + "\"";
            return false;
        }
        steps.push_back(step);
        if (end == text.size()) break;
    }
    return true;
}
