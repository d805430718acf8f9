// A small static C++17 program: what the runtime of a thread model alone brings into the imports.
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> words(argv, argv + argc);
    try {
        if (words.size() > 8) throw words.size();
    } catch (size_t count) {
        std::printf("%u\n", static_cast<unsigned>(count));
    }
    std::printf("%s\n", words.empty() ? "" : words.front().c_str());
    return 0;
}
