// The incoming-caller list: caller.dat's text of any bytes split into entries and written back,
// the entries' marks, numbers and names edited, and the callers' numbers harvested from RING:
// records of the driver's log.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "rasconfig/caller_list.h"

namespace {

void CheckEntry(const std::string& entry) {
    FUZZ_CHECK(entry.size() <= kCallerEntryMax);
    FUZZ_CHECK(entry.find('\r') == std::string::npos && entry.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int part = input.ConsumeIntegralInRange<int>(0, 2);
    if (part == 0) {
        // caller.dat: the lines of the file, and the file they make, which reads back the same.
        const std::string text = input.ConsumeRemainingBytesAsString();
        size_t cut = 0;
        const std::vector<std::string> entries = SplitCallerText(text.data(), text.size(), &cut);
        for (const std::string& entry : entries) {
            CheckEntry(entry);
            FUZZ_CHECK(!entry.empty() && entry.find('\0') == std::string::npos);
        }
        FUZZ_CHECK(cut <= entries.size());
        const std::string file = CallerFileText(entries);
        size_t cutAgain = 0;
        FUZZ_CHECK(SplitCallerText(file.data(), file.size(), &cutAgain) == entries && cutAgain == 0);
        return 0;
    }
    if (part == 1) {
        // The log: every number found is one an entry can hold, and collecting them twice adds
        // nothing the second time.
        const std::string log = input.ConsumeRemainingBytesAsString();
        const std::vector<std::string> numbers = ScanRingNumbers(log.data(), log.size());
        FUZZ_CHECK(numbers.size() <= kRingNumbersMax);
        for (const std::string& number : numbers) {
            FUZZ_CHECK(!number.empty() && number.size() <= kCallerNumberMax);
            FUZZ_CHECK(number.find('\t') == std::string::npos && number.find('\r') == std::string::npos &&
                       number.find('\n') == std::string::npos);
            for (char c : number) FUZZ_CHECK(!(c >= 'a' && c <= 'z'));
        }
        CallerList list;
        list.collect(numbers);
        const size_t collected = list.size();
        FUZZ_CHECK(list.collect(numbers) == 0 && list.size() == collected);
        for (size_t i = 0; i < list.size(); ++i) {
            CheckEntry(list.at(i));
            std::string number;
            FUZZ_CHECK(CallerEntryNumber(list.at(i), &number) && list.find(number) == static_cast<int>(i));
            FUZZ_CHECK(IsCheckedEntry(list.at(i)));
        }
        return 0;
    }
    // The page's edits of one entry.
    const std::string number = input.ConsumeRandomLengthString(300);
    const std::string name = input.ConsumeRandomLengthString(300);
    const std::string other = input.ConsumeRandomLengthString(300);
    if (CheckNewCaller(number) == NewCallerCheck::Good) {
        const std::string entry = NewCallerEntry(number, name);
        CheckEntry(entry);
        std::string read;
        FUZZ_CHECK(CallerEntryNumber(entry, &read) && read == number);
        FUZZ_CHECK(IsCheckedEntry(entry));
        FUZZ_CHECK(!IsCheckedEntry(ToggledEntry(entry)) && ToggledEntry(ToggledEntry(entry)) == entry);
        std::string renamed;
        FUZZ_CHECK(RenamedEntry(entry, other, &renamed));
        CheckEntry(renamed);
        FUZZ_CHECK(CallerEntryNumber(renamed, &read) && read == number);
    }
    for (bool checked : {true, false}) {
        const std::string marked = MarkedEntry(other, checked);
        FUZZ_CHECK(marked.size() <= std::max(other.size(), kCallerEntryMax));
        FUZZ_CHECK(IsCheckedEntry(marked) == checked);
    }
    return 0;
}
