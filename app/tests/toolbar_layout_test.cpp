#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/toolbar_layout.h"

namespace {

const std::vector<int> kStandard = {32788, 0, 32791, 32794, 32793, 0, 57664};

ToolbarLayout StandardOnly()
{
    ToolbarLayout layout;
    EXPECT_TRUE(layout.AddToolbar(kStandardToolbarId, "Standard", kStandard));
    return layout;
}

std::vector<int> Buttons(const ToolbarLayout& layout, int id = kStandardToolbarId)
{
    const ToolbarButtons* toolbar = layout.Find(id);
    return toolbar != nullptr ? toolbar->buttons : std::vector<int>{-1};
}

TEST(ToolbarLayout, NamesOfTheToolbars)
{
    struct Case {
        int id;
        std::string name;
    };
    const Case cases[] = {{0xE800, "Standard"}, {0xE828, "UserToolbar1"}, {0xE831, "UserToolbar10"},
                          {0xE827, ""},         {0xE832, ""},             {0, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(ToolbarObjectName(c.id), c.name) << std::hex << c.id;
    EXPECT_EQ(DefaultUserToolbarTitle(0xE828), "Custom 1");
    EXPECT_EQ(DefaultUserToolbarTitle(0xE831), "Custom 10");
}

TEST(ToolbarLayout, ButtonEdits)
{
    struct Case {
        const char* what;
        bool (*edit)(ToolbarLayout&);
        bool result;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {"insert in the middle", [](ToolbarLayout& l) { return l.InsertButton(kStandardToolbarId, 1, 32824); }, true,
         {32788, 32824, 0, 32791, 32794, 32793, 0, 57664}},
        {"insert beyond the end appends", [](ToolbarLayout& l) { return l.InsertButton(kStandardToolbarId, 99, 32824); },
         true, {32788, 0, 32791, 32794, 32793, 0, 57664, 32824}},
        {"a button already there moves", [](ToolbarLayout& l) { return l.InsertButton(kStandardToolbarId, 0, 57664); },
         true, {57664, 32788, 0, 32791, 32794, 32793, 0}},
        {"command 0 is no command", [](ToolbarLayout& l) { return l.InsertButton(kStandardToolbarId, 0, 0); }, false,
         kStandard},
        {"command above 65535", [](ToolbarLayout& l) { return l.InsertButton(kStandardToolbarId, 0, 70000); }, false,
         kStandard},
        {"unknown toolbar", [](ToolbarLayout& l) { return l.InsertButton(0xE828, 0, 32824); }, false, kStandard},
        {"separators may repeat", [](ToolbarLayout& l) { return l.InsertSeparator(kStandardToolbarId, 1); }, true,
         {32788, 0, 0, 32791, 32794, 32793, 0, 57664}},
        {"remove", [](ToolbarLayout& l) { return l.RemoveButton(kStandardToolbarId, 2); }, true,
         {32788, 0, 32794, 32793, 0, 57664}},
        {"remove past the end", [](ToolbarLayout& l) { return l.RemoveButton(kStandardToolbarId, 7); }, false,
         kStandard},
        {"move down", [](ToolbarLayout& l) { return l.MoveButton(kStandardToolbarId, 0, 3); }, true,
         {0, 32791, 32794, 32788, 32793, 0, 57664}},
        {"move up", [](ToolbarLayout& l) { return l.MoveButton(kStandardToolbarId, 6, 0); }, true,
         {57664, 32788, 0, 32791, 32794, 32793, 0}},
        {"move from past the end", [](ToolbarLayout& l) { return l.MoveButton(kStandardToolbarId, 7, 0); }, false,
         kStandard},
        {"set drops repeats and non-commands",
         [](ToolbarLayout& l) { return l.SetButtons(kStandardToolbarId, {32791, -4, 32791, 0, 0, 65536, 32793}); },
         true, {32791, 0, 0, 32793}},
    };
    for (const Case& c : cases) {
        ToolbarLayout layout = StandardOnly();
        EXPECT_EQ(c.edit(layout), c.result) << c.what;
        EXPECT_EQ(Buttons(layout), c.buttons) << c.what;
    }
}

TEST(ToolbarLayout, AToolbarHasRoomForALimitedNumberOfButtons)
{
    ToolbarLayout layout = StandardOnly();
    std::vector<int> many;
    for (int id = 1; id <= 500; ++id)
        many.push_back(id);
    ASSERT_TRUE(layout.SetButtons(kStandardToolbarId, many));
    EXPECT_EQ(Buttons(layout).size(), kMaxToolbarButtons);
    EXPECT_FALSE(layout.InsertButton(kStandardToolbarId, 0, 1000));
    EXPECT_FALSE(layout.InsertSeparator(kStandardToolbarId, 0));
    EXPECT_TRUE(layout.InsertButton(kStandardToolbarId, 0, 5)) << "moving one that is there still works";
}

TEST(ToolbarLayout, TenUserToolbarsAtMost)
{
    ToolbarLayout layout = StandardOnly();
    for (int i = 0; i < kMaxUserToolbars; ++i)
        EXPECT_EQ(layout.AddUserToolbar(""), kFirstUserToolbarId + i);
    EXPECT_EQ(layout.AddUserToolbar("eleventh"), std::nullopt);
    EXPECT_EQ(layout.UserToolbarCount(), 10);
    EXPECT_EQ(layout.Find(0xE82A)->title, "Custom 3");

    // A deleted one frees its id for the next new toolbar.
    EXPECT_TRUE(layout.RemoveUserToolbar(0xE82A));
    EXPECT_FALSE(layout.RemoveUserToolbar(0xE82A));
    EXPECT_FALSE(layout.RemoveUserToolbar(kStandardToolbarId)) << "the standard toolbar stays";
    EXPECT_EQ(layout.AddUserToolbar("Mine"), 0xE82A);
    EXPECT_EQ(layout.Find(0xE82A)->title, "Mine");
    EXPECT_FALSE(layout.AddToolbar(0xE800, "again", {})) << "no second standard toolbar";
    EXPECT_FALSE(layout.AddToolbar(0xE900, "other", {}));
}

TEST(ToolbarLayout, TitlesStayOnOneLine)
{
    ToolbarLayout layout = StandardOnly();
    const int id = *layout.AddUserToolbar("  Two\nlines\r ");
    EXPECT_EQ(layout.Find(id)->title, "Two lines");
    EXPECT_FALSE(layout.Rename(id, " \n ")) << "a blank name is refused";
    EXPECT_EQ(layout.Find(id)->title, "Two lines");
    // A long name is cut at 128 bytes, never inside a UTF-8 character.
    std::string longName(127, 'x');
    longName += "\xC3\xA9\xC3\xA9";
    ASSERT_TRUE(layout.Rename(id, longName));
    EXPECT_EQ(layout.Find(id)->title, std::string(127, 'x'));
}

TEST(ToolbarLayout, LostDefaultButtonsGoBackToTheirPlace)
{
    struct Case {
        std::vector<int> now;
        int command;
        bool result;
        std::vector<int> after;
    };
    const Case cases[] = {
        {{32788, 0, 32794, 32793, 0, 57664}, 32791, true, {32788, 0, 32791, 32794, 32793, 0, 57664}},
        {{0, 32791, 32794, 32793, 0, 57664}, 32788, true, {32788, 0, 32791, 32794, 32793, 0, 57664}},
        {{32788, 32793}, 32791, true, {32788, 32791, 32793}},
        {{57664, 32788}, 32794, true, {57664, 32788, 32794}},
        {{32788}, 32824, false, {32788}},  // not one of the defaults
        {{32788}, 32788, false, {32788}},  // already there
    };
    for (const Case& c : cases) {
        ToolbarLayout layout;
        ASSERT_TRUE(layout.AddToolbar(kStandardToolbarId, "Standard", c.now));
        EXPECT_EQ(layout.RestoreDefaultButton(kStandardToolbarId, c.command, kStandard), c.result) << c.command;
        EXPECT_EQ(Buttons(layout), c.after) << c.command;
    }
}

TEST(ToolbarLayout, SavedTextRoundTrip)
{
    ToolbarLayout layout = StandardOnly();
    const int first = *layout.AddUserToolbar("Tools; and more");
    ASSERT_TRUE(layout.InsertButton(first, 0, 32824));
    ASSERT_TRUE(layout.InsertSeparator(first, 1));
    ASSERT_TRUE(layout.InsertButton(first, 2, 32826));
    layout.AddUserToolbar("Leer");

    const std::string text = layout.Serialize();
    EXPECT_EQ(text,
              "stelmap-toolbars 1\n"
              "E800;32788,0,32791,32794,32793,0,57664;Standard\n"
              "E828;32824,0,32826;Tools; and more\n"
              "E829;;Leer\n");
    EXPECT_EQ(ToolbarLayout::Parse(text), layout);
}

TEST(ToolbarLayout, DamagedSavedTextIsSurvived)
{
    struct Case {
        const char* what;
        std::string text;
        std::optional<std::string> parsedAgain;  // Serialize() of what Parse made
    };
    const Case cases[] = {
        {"empty", "", std::nullopt},
        {"another format", "[Toolbars]\nE800;1;Standard\n", std::nullopt},
        {"header only", "stelmap-toolbars 1", "stelmap-toolbars 1\n"},
        {"CR LF line ends", "stelmap-toolbars 1\r\nE828;5,6;Mine\r\n", "stelmap-toolbars 1\nE828;5,6;Mine\n"},
        {"bad entries dropped, good ones kept", "stelmap-toolbars 1\nE828;5,x,,-3,99999,6, 7 ;Mine\n",
         "stelmap-toolbars 1\nE828;5,6,7;Mine\n"},
        {"lines without fields, bad ids, unknown and repeated toolbars",
         "stelmap-toolbars 1\ngarbage\nZZZ;1;x\nE900;1;other\nE828;1;first\nE828;2;second\n\n",
         "stelmap-toolbars 1\nE828;1;first\n"},
        {"huge id", "stelmap-toolbars 1\nFFFFFFFFFFFF;1;x\n", "stelmap-toolbars 1\n"},
        {"no title gives the default", "stelmap-toolbars 1\nE831;3;\n", "stelmap-toolbars 1\nE831;3;Custom 10\n"},
    };
    for (const Case& c : cases) {
        const std::optional<ToolbarLayout> layout = ToolbarLayout::Parse(c.text);
        ASSERT_EQ(layout.has_value(), c.parsedAgain.has_value()) << c.what;
        if (layout)
            EXPECT_EQ(layout->Serialize(), *c.parsedAgain) << c.what;
    }
}

TEST(ToolbarLayout, ParseSurvivesEveryCutOfAGoodText)
{
    ToolbarLayout layout = StandardOnly();
    const int id = *layout.AddUserToolbar("Mine");
    layout.InsertButton(id, 0, 32824);
    const std::string text = layout.Serialize();
    // A text cut anywhere (a half-written file) gives toolbars of the
    // original with a leading part of their buttons, never anything else.
    for (size_t n = 0; n <= text.size(); ++n) {
        const std::optional<ToolbarLayout> cut = ToolbarLayout::Parse(text.substr(0, n));
        if (!cut)
            continue;
        for (const ToolbarButtons& toolbar : cut->Toolbars()) {
            const ToolbarButtons* original = layout.Find(toolbar.id);
            ASSERT_NE(original, nullptr) << n;
            ASSERT_LE(toolbar.buttons.size(), original->buttons.size()) << n;
            const size_t whole = toolbar.buttons.empty() ? 0 : toolbar.buttons.size() - 1;
            EXPECT_TRUE(std::equal(toolbar.buttons.begin(), toolbar.buttons.begin() + whole, original->buttons.begin()))
                << n;
        }
    }
    EXPECT_EQ(ToolbarLayout::Parse(text), layout);
}

}  // namespace
