#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Toolbars by id: the "Standard" toolbar and up to ten user toolbars.
inline constexpr int kStandardToolbarId = 0xE800;
inline constexpr int kFirstUserToolbarId = 0xE828;
inline constexpr int kLastUserToolbarId = 0xE831;
inline constexpr int kMaxUserToolbars = kLastUserToolbarId - kFirstUserToolbarId + 1;

// A separator in a button list; command ids are 1..65535.
inline constexpr int kToolbarSeparator = 0;
inline constexpr int kMaxCommandId = 0xFFFF;
// More buttons than any screen shows; keeps a damaged saved layout bounded.
inline constexpr std::size_t kMaxToolbarButtons = 200;

bool IsUserToolbarId(int toolbarId);

// The name that identifies a toolbar in the saved window state: "Standard"
// for the standard toolbar, "UserToolbar1" .. "UserToolbar10" for the user
// toolbars 0xE828 .. 0xE831, empty for any other id.
std::string ToolbarObjectName(int toolbarId);

// What a new user toolbar is called until the user names it: "Custom 1" for
// the first user id, "Custom 10" for the last.
std::string DefaultUserToolbarTitle(int toolbarId);

struct ToolbarButtons {
    int id = 0;
    std::string title;
    std::vector<int> buttons;  // command ids in order, kToolbarSeparator between groups
    bool operator==(const ToolbarButtons&) const = default;
};

// Which toolbars exist and which buttons each shows, in order. A command
// appears at most once on a toolbar (a toolbar shows one button per
// command); separators may repeat. The customise dialog edits it and the
// window applies it; it is saved as text in "Workspace".
class ToolbarLayout {
public:
    ToolbarLayout() = default;

    const std::vector<ToolbarButtons>& Toolbars() const { return m_toolbars; }
    const ToolbarButtons* Find(int toolbarId) const;
    int UserToolbarCount() const;

    // Adds the standard toolbar or a user toolbar with the given buttons
    // (cleaned as SetButtons does); false for any other id or one present.
    bool AddToolbar(int toolbarId, std::string title, const std::vector<int>& buttons);
    // A new empty user toolbar with the lowest free id; nullopt when all ten
    // exist. An empty title gives the default one.
    std::optional<int> AddUserToolbar(std::string title);
    bool RemoveUserToolbar(int toolbarId);
    bool Rename(int toolbarId, std::string title);

    // Replaces the buttons; commands outside 1..65535 and repeats are left
    // out, and the list is cut at kMaxToolbarButtons.
    bool SetButtons(int toolbarId, const std::vector<int>& buttons);
    // Puts `command` at `index` (at the end when beyond it); a command that
    // is already on the toolbar moves there instead. False for an unknown
    // toolbar, a command outside 1..65535 or a full toolbar.
    bool InsertButton(int toolbarId, std::size_t index, int command);
    bool InsertSeparator(int toolbarId, std::size_t index);
    bool RemoveButton(int toolbarId, std::size_t index);
    // Moves the button at `from` so that it ends up at `to`.
    bool MoveButton(int toolbarId, std::size_t from, std::size_t to);
    // Puts a command of the toolbar's `defaults` back where it belongs among
    // them: after the nearest button before it in `defaults` that is on the
    // toolbar, else first. False when it is not one of the defaults or is
    // already on the toolbar.
    bool RestoreDefaultButton(int toolbarId, int command, const std::vector<int>& defaults);

    // One header line, then one line per toolbar: the id in hexadecimal,
    // the buttons, the title ("E800;32788,0,32791;Standard").
    std::string Serialize() const;
    // The layout a text describes; nullopt when it is not a saved layout at
    // all. Damaged lines and entries are skipped, never fatal.
    static std::optional<ToolbarLayout> Parse(std::string_view text);

    bool operator==(const ToolbarLayout&) const = default;

private:
    ToolbarButtons* FindMutable(int toolbarId);

    std::vector<ToolbarButtons> m_toolbars;
};
