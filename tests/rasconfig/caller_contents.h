// The two lists the caller-file rewriter writes in turn, for the rewriter and its test alike.
#pragma once

#include <string>
#include <vector>

namespace caller_contents {

// Lists of different lengths and entries, so that a file cut short or mixed from both is neither.
inline std::vector<std::string> Entries(int which) {
    std::vector<std::string> entries;
    const int count = which == 0 ? 60 : 25;
    for (int i = 0; i < count; ++i)
        entries.push_back(std::string(i % 3 ? "-->" : "   ") + "\t" + std::to_string((which + 1) * 10000 + i) + "\t" +
                          std::string(20 + i % 40, static_cast<char>(which == 0 ? 'a' + i % 26 : 'A' + i % 26)));
    return entries;
}

}  // namespace caller_contents
