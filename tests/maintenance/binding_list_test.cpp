// The binding lists as plain multi-strings: reading, moving entries by index, finding adapters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maintenance/binding_list.h"

namespace {

std::string Block(const std::vector<std::string>& entries) {
    std::string block;
    for (const std::string& e : entries) block += e + std::string(1, '\0');
    return block + std::string(1, '\0');
}

std::vector<std::string> Entries(const BindingList& list) {
    std::vector<std::string> entries;
    for (size_t k = 0; list.Entry(k); ++k) entries.push_back(list.Entry(k));
    return entries;
}

void Fill(BindingList* list, const std::vector<std::string>& entries) {
    const std::string block = Block(entries);
    ASSERT_TRUE(list->Assign(block.data(), block.size()));
}

TEST(MaintenanceBindingListTest, AssignTakesEveryEntryAndDropsTheEmptyStringsBetween) {
    BindingList list;
    const std::string withGaps("\0a\0b\0\0\0c\0\0", 11);
    ASSERT_TRUE(list.Assign(withGaps.data(), withGaps.size()));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Entries(list));
    EXPECT_EQ(std::string("a\0b\0c\0\0", 7), std::string(list.Data(), list.Size()));
    // The last entry of a value that lacks its NUL is kept whole.
    const std::string open("first\0last", 10);
    ASSERT_TRUE(list.Assign(open.data(), open.size()));
    EXPECT_EQ((std::vector<std::string>{"first", "last"}), Entries(list));
    ASSERT_TRUE(list.Assign("", 0));
    EXPECT_EQ(0u, list.Count());
    EXPECT_EQ(std::string(1, '\0'), std::string(list.Data(), list.Size()));
}

TEST(MaintenanceBindingListTest, MovingEntriesKeepsTheOrderOfBothLists) {
    BindingList a, b;
    Fill(&a, {"one", "two", "three"});
    Fill(&b, {"x"});
    ASSERT_TRUE(a.MoveEntry(1, &b));
    EXPECT_EQ((std::vector<std::string>{"one", "three"}), Entries(a));
    EXPECT_EQ((std::vector<std::string>{"x", "two"}), Entries(b));
    ASSERT_TRUE(a.MoveEntry(5, &b));  // no entry 5: nothing happens
    EXPECT_EQ(2u, a.Count());
    EXPECT_EQ(2u, b.Count());
    ASSERT_TRUE(a.MoveEntry(1, &b));
    ASSERT_TRUE(a.MoveEntry(0, &b));
    EXPECT_EQ(0u, a.Count());
    EXPECT_EQ(std::string(1, '\0'), std::string(a.Data(), a.Size()));
    EXPECT_EQ(Block({"x", "two", "three", "one"}), std::string(b.Data(), b.Size()));
}

TEST(MaintenanceBindingListTest, AdapterNamesOfBindings) {
    const struct {
        const char* binding;
        const char* name;  // null: not an adapter of the table
    } cases[] = {
        {"\\Device\\El59x1", "EL59X1"},       {"\\DEVICE\\e100b1", "E100B1"},
        {"\\Device\\NdisWan5", nullptr},      {"\\Device\\VrkMpr1", nullptr},
        {"\\Device\\VRKLV2", nullptr},        {"\\Device\\MyVrkMprCard", nullptr},
        {"El59x1", nullptr},                  {"\\Dev\\El59x1", nullptr},
    };
    for (const auto& c : cases) {
        char name[kAdapterTextSize] = "unchanged";
        EXPECT_EQ(c.name != nullptr, AdapterNameOfBinding(c.binding, name, sizeof name)) << c.binding;
        if (c.name) {
            EXPECT_STREQ(c.name, name) << c.binding;
        }
    }
    const std::string longest = "\\Device\\" + std::string(127, 'A');
    const std::string tooLong = "\\Device\\" + std::string(128, 'A');
    char name[kAdapterTextSize];
    EXPECT_TRUE(AdapterNameOfBinding(longest.c_str(), name, sizeof name));
    EXPECT_FALSE(AdapterNameOfBinding(tooLong.c_str(), name, sizeof name));
}

TEST(MaintenanceBindingListTest, AnAdapterIsFoundByItsWholeName) {
    BindingList list;
    Fill(&list, {"\\Device\\EL59X10", "\\Device\\El59x1", "\\Device\\VrkMpr1", "El59x1"});
    EXPECT_EQ(1, FindAdapterBinding(list, "EL59X1"));
    EXPECT_EQ(0, FindAdapterBinding(list, "el59x10"));
    EXPECT_EQ(-1, FindAdapterBinding(list, "EL59X"));
    EXPECT_EQ(-1, FindAdapterBinding(list, "E100B1"));
    EXPECT_EQ(2, FindBindingContaining(list, "VRKMPR"));
    EXPECT_EQ(-1, FindBindingContaining(list, "NdisWan"));
}

}  // namespace
