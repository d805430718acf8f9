// verprint's reason for a failure, from the system's text for it.
#include <gtest/gtest.h>

#include <string>

#include "tools/version_block.h"

namespace {

TEST(VerprintRules, AFailureWithoutAFittingSystemTextIsGivenByItsNumber) {
    const std::string longest(kFailureReasonSize - kFailureReasonReserve - 1, 'm');
    const struct {
        unsigned long error;
        const char* text;  // null: the system has none
        std::string given;
        std::string reason;
    } cases[] = {
        {2, "", "File not found.\r\n", "File not found."},
        {5, "", "Access denied.", "Access denied."},
        {483, nullptr, "", "error 483"},
        {483, "", "", "error 483"},
        {87, "", "\r\n", "error 87"},
        {1, "", longest + "\r\n", longest},
        {1, "", longest + "m", "error 1"},
        {4294967295ul, nullptr, "", "error 4294967295"},
    };
    for (const auto& c : cases) {
        char reason[kFailureReasonSize];
        memset(reason, 'x', sizeof reason);
        FailureReason(c.error, c.text ? c.given.c_str() : nullptr, c.text ? c.given.size() : 0, reason);
        EXPECT_EQ(c.reason, std::string(reason)) << c.error << " \"" << c.given << "\"";
    }
}

}  // namespace
