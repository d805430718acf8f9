// VrkMprLanConfig taking the router's adapters from an answer file, in and out of install mode,
// with adapters the machine lacks and a file that is not there: a refusal takes the dialog's
// Cancel, which saves the marks as the dialog opened them.
#include <gtest/gtest.h>

#include "answers_fixture.h"

using namespace router_test;
using namespace testing_machine;

namespace {

const char kLanParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprLan\\Parameters";
const char kSection[] = "VrkMprLanConfig";
const char kEnter[] = "VrkMprLanConfig ENTER; wnd=0";
const char kEnterInstall[] = "VrkMprLanConfig ENTER; wnd=0; Installmode";

std::function<void()> Owned(const List& adapters) {
    return [adapters] { EXPECT_EQ(adapters, ReadList(kLanParameters, "Controllers")); };
}

TEST(LanAnswersTest, TheRouterOwnsTheAdaptersTheAnswersName) {
    const std::string taken = "[VrkMprLanConfig] answers taken from <file>";
    const struct {
        const char* shape;
        bool install;
        AnswerCase answer;
    } cases[] = {
        {"two-cards", false, {"one", "[VrkMprLanConfig]\r\nRouterAdapters=el59x1\r\n", "OK", {taken}, Owned({"EL59X1"})}},
        {"two-cards", false, {"none", "[VrkMprLanConfig]\r\nRouterAdapters=none\r\n", "OK", {taken}, Owned({})}},
        {"two-cards", true,
         {"both", "[VrkMprLanConfig]\r\nRouterAdapters= E100B1 , EL59X1\r\n", "OK", {taken},
          Owned({"EL59X1", "E100B1"})}},
        // Without the key the marks stay as the dialog opens them.
        {"two-cards", true, {"install", "[VrkMprLanConfig]\r\n", "OK", {taken}, Owned({"EL59X1", "E100B1"})}},
        {"two-cards", false,
         {"unknown", "[VrkMprLanConfig]\r\nAdapters=EL59X1\r\n", "OK",
          {taken, "[VrkMprLanConfig] Adapters: unknown key, ignored"}, Owned({"E100B1"})}},
        {"two-cards", false,
         {"lacking", "[VrkMprLanConfig]\r\nRouterAdapters=EL59X1,NE20001\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "RouterAdapters", "no adapter NE20001 on this machine")}, Owned({"E100B1"})}},
        {"two-cards", true,
         {"too-long", "[VrkMprLanConfig]\r\nRouterAdapters=" + std::string(1100, 'A') + "\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "RouterAdapters", "value too long")}, Owned({"EL59X1", "E100B1"})}},
        {"two-cards", true,
         {"missing", "", "USER_CANCEL",
          {"Answer file <file> cannot be read; [VrkMprLanConfig] ends as if cancelled"}, Owned({"EL59X1", "E100B1"})}},
        {"no-card", false,
         {"no-adapter", "[VrkMprLanConfig]\r\nRouterAdapters=EL59X1\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "RouterAdapters", "no adapter EL59X1 on this machine")},
          [] { EXPECT_EQ(List{"OLD1"}, ReadList(kLanParameters, "Controllers")); }}},
    };
    for (const auto& c : cases) {
        ProvisionNetwork(c.shape);
        WriteList(kLanParameters, "Controllers", {"OLD1"});
        RunAnswerCase("VrkMprLanConfig", c.install ? kEnterInstall : kEnter, c.answer,
                      c.install ? List{"0", "install"} : List{"0"});
    }
}

}  // namespace
