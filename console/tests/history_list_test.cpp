#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "console/history_list.h"

namespace {

using List = std::vector<std::string>;

List Numbered(int count, const std::string& stem = "$E")
{
    List list;
    for (int i = 0; i < count; ++i)
        list.push_back(stem + std::to_string(i));
    return list;
}

TEST(HistoryList, AddPutsTheTrimmedTextFirstAndDropsTheOlderDuplicate)
{
    struct Case {
        const char* name;
        List before;
        std::string text;
        List after;
    };
    const Case cases[] = {
        {"into an empty list", {}, "$A", {"$A"}},
        {"newest first", {"$A"}, "$B", {"$B", "$A"}},
        {"same text twice", {"$A", "$B"}, "$A", {"$A", "$B"}},
        {"re-used entry moves up", {"$A", "$B", "$C"}, "$C", {"$C", "$A", "$B"}},
        {"other letter case replaces", {"$a,x", "$B"}, "$A,X", {"$A,X", "$B"}},
        {"spaces trimmed", {"$A"}, "  $A  ", {"$A"}},
        {"only spaces trimmed", {}, "\t$A ", {"\t$A"}},
        {"empty text is an entry", {"$A"}, "", {"", "$A"}},
        {"blank text is the empty entry", {"", "$A"}, "   ", {"", "$A"}},
    };
    for (const Case& c : cases) {
        List list = c.before;
        EXPECT_EQ(AddToHistory(list, c.text, kDefaultMaxHistory), 0) << c.name;
        EXPECT_EQ(list, c.after) << c.name;
    }
}

TEST(HistoryList, TheHundredAndFirstEntryRemovesTheOldest)
{
    List list;
    for (int i = 0; i < 100; ++i)
        AddToHistory(list, "$E" + std::to_string(i), kDefaultMaxHistory);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front(), "$E99");
    EXPECT_EQ(list.back(), "$E0");

    AddToHistory(list, "$E100", kDefaultMaxHistory);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front(), "$E100");
    EXPECT_EQ(list.back(), "$E1");

    // Re-using an entry of a full list keeps all others.
    AddToHistory(list, "$e1", kDefaultMaxHistory);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front(), "$e1");
    EXPECT_EQ(list.back(), "$E2");
}

TEST(HistoryList, SearchesWrapLikeAComboBox)
{
    const List list = {"$GPGGA", "$PXTNCFG", "$gpgsv", "$PXTNCFG"};
    struct Case {
        int start;
        const char* text;
        int exact;
        int prefix;
    };
    const Case cases[] = {
        {-1, "$PXTNCFG", 1, 1},
        {0, "$pxtncfg", 1, 1},
        {1, "$PXTNCFG", 3, 3},
        {3, "$PXTNCFG", 1, 1},  // wraps round to the top
        {-1, "$GP", -1, 0},
        {0, "$GP", -1, 2},
        {2, "$GPGSV", 2, 2},    // the start entry is searched last
        {-1, "", -1, 0},
        {-1, "$GPGGA,", -1, -1},
        {99, "$GPGGA", 0, 0},  // a start outside the list searches from the top
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindEntryExact(list, c.start, c.text), c.exact) << c.start << " " << c.text;
        EXPECT_EQ(FindEntryPrefix(list, c.start, c.text), c.prefix) << c.start << " " << c.text;
    }
    EXPECT_EQ(FindEntryPrefix({}, -1, ""), -1);
}

class MemoryProfile : public HistoryProfile {
public:
    std::string ReadString(const std::string& name) override
    {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
    void WriteString(const std::string& name, const std::string& value) override { values[name] = value; }
    void DeleteValue(const std::string& name) override { values.erase(name); }

    std::map<std::string, std::string> values;
};

TEST(HistoryList, SaveWritesAtMostOneMoreThanTheLimit)
{
    MemoryProfile profile;
    SaveHistoryEntries(profile, "H", Numbered(120), kDefaultMaxHistory);
    EXPECT_EQ(profile.values.size(), 101u);
    EXPECT_EQ(profile.values["H100"], "$E100");
    EXPECT_EQ(profile.values.count("H101"), 0u);
}

TEST(HistoryList, AnEmptyEntryDoesNotHideTheOnesAfterIt)
{
    MemoryProfile profile;
    profile.values = {{"HistoryItem2", "old2"}, {"HistoryItem3", "old3"}};
    SaveHistoryEntries(profile, "HistoryItem", {"", "$A", "", "$B"}, kDefaultMaxHistory);
    EXPECT_EQ(LoadHistoryEntries(profile, "HistoryItem", kDefaultMaxHistory), (List{"$A", "$B"}));
    EXPECT_EQ(profile.values.count("HistoryItem2"), 0u);
    EXPECT_EQ(profile.values.count("HistoryItem3"), 0u);
}

}  // namespace
