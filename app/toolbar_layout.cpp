#include "app/toolbar_layout.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kHeader = "stelmap-toolbars 1";
constexpr std::size_t kMaxTitleBytes = 128;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A title lives on one line of the saved text: control characters become
// spaces, and it is kept to a sensible length.
std::string CleanTitle(std::string_view title)
{
    std::string clean;
    for (char c : Trim(title))
        clean += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    if (clean.size() > kMaxTitleBytes) {
        clean.resize(kMaxTitleBytes);
        // Never end inside a UTF-8 sequence.
        while (!clean.empty() && (static_cast<unsigned char>(clean.back()) & 0xC0) == 0x80)
            clean.pop_back();
        if (!clean.empty() && (static_cast<unsigned char>(clean.back()) & 0x80) != 0)
            clean.pop_back();
    }
    return std::string(Trim(clean));
}

bool IsCommand(int id) { return id >= 1 && id <= kMaxCommandId; }

std::vector<int> CleanButtons(const std::vector<int>& buttons)
{
    std::vector<int> clean;
    for (int id : buttons) {
        if (clean.size() == kMaxToolbarButtons)
            break;
        if (id == kToolbarSeparator || (IsCommand(id) && std::find(clean.begin(), clean.end(), id) == clean.end()))
            clean.push_back(id);
    }
    return clean;
}

template <typename Int>
std::optional<Int> ParseInt(std::string_view text, int base = 10)
{
    text = Trim(text);
    Int value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

bool IsUserToolbarId(int toolbarId)
{
    return toolbarId >= kFirstUserToolbarId && toolbarId <= kLastUserToolbarId;
}

std::string ToolbarObjectName(int toolbarId)
{
    if (toolbarId == kStandardToolbarId)
        return "Standard";
    if (IsUserToolbarId(toolbarId))
        return "UserToolbar" + std::to_string(toolbarId - kFirstUserToolbarId + 1);
    return {};
}

std::string DefaultUserToolbarTitle(int toolbarId)
{
    return "Custom " + std::to_string(toolbarId - kFirstUserToolbarId + 1);
}

const ToolbarButtons* ToolbarLayout::Find(int toolbarId) const
{
    const auto it = std::find_if(m_toolbars.begin(), m_toolbars.end(),
                                 [toolbarId](const ToolbarButtons& t) { return t.id == toolbarId; });
    return it == m_toolbars.end() ? nullptr : &*it;
}

ToolbarButtons* ToolbarLayout::FindMutable(int toolbarId)
{
    return const_cast<ToolbarButtons*>(Find(toolbarId));
}

int ToolbarLayout::UserToolbarCount() const
{
    return static_cast<int>(std::count_if(m_toolbars.begin(), m_toolbars.end(),
                                          [](const ToolbarButtons& t) { return IsUserToolbarId(t.id); }));
}

bool ToolbarLayout::AddToolbar(int toolbarId, std::string title, const std::vector<int>& buttons)
{
    if ((toolbarId != kStandardToolbarId && !IsUserToolbarId(toolbarId)) || Find(toolbarId) != nullptr)
        return false;
    std::string clean = CleanTitle(title);
    if (clean.empty())
        clean = toolbarId == kStandardToolbarId ? ToolbarObjectName(toolbarId) : DefaultUserToolbarTitle(toolbarId);
    m_toolbars.push_back(ToolbarButtons{toolbarId, std::move(clean), CleanButtons(buttons)});
    return true;
}

std::optional<int> ToolbarLayout::AddUserToolbar(std::string title)
{
    for (int id = kFirstUserToolbarId; id <= kLastUserToolbarId; ++id) {
        if (Find(id) == nullptr) {
            AddToolbar(id, std::move(title), {});
            return id;
        }
    }
    return std::nullopt;
}

bool ToolbarLayout::RemoveUserToolbar(int toolbarId)
{
    if (!IsUserToolbarId(toolbarId))
        return false;
    const auto it = std::find_if(m_toolbars.begin(), m_toolbars.end(),
                                 [toolbarId](const ToolbarButtons& t) { return t.id == toolbarId; });
    if (it == m_toolbars.end())
        return false;
    m_toolbars.erase(it);
    return true;
}

bool ToolbarLayout::Rename(int toolbarId, std::string title)
{
    ToolbarButtons* toolbar = FindMutable(toolbarId);
    std::string clean = CleanTitle(title);
    if (toolbar == nullptr || clean.empty())
        return false;
    toolbar->title = std::move(clean);
    return true;
}

bool ToolbarLayout::SetButtons(int toolbarId, const std::vector<int>& buttons)
{
    ToolbarButtons* toolbar = FindMutable(toolbarId);
    if (toolbar == nullptr)
        return false;
    toolbar->buttons = CleanButtons(buttons);
    return true;
}

bool ToolbarLayout::InsertButton(int toolbarId, std::size_t index, int command)
{
    ToolbarButtons* toolbar = FindMutable(toolbarId);
    if (toolbar == nullptr || !IsCommand(command))
        return false;
    std::vector<int>& buttons = toolbar->buttons;
    const auto present = std::find(buttons.begin(), buttons.end(), command);
    if (present != buttons.end())
        return MoveButton(toolbarId, static_cast<std::size_t>(present - buttons.begin()), index);
    if (buttons.size() >= kMaxToolbarButtons)
        return false;
    buttons.insert(buttons.begin() + static_cast<std::ptrdiff_t>(std::min(index, buttons.size())), command);
    return true;
}

bool ToolbarLayout::InsertSeparator(int toolbarId, std::size_t index)
{
    ToolbarButtons* toolbar = FindMutable(toolbarId);
    if (toolbar == nullptr || toolbar->buttons.size() >= kMaxToolbarButtons)
        return false;
    std::vector<int>& buttons = toolbar->buttons;
    buttons.insert(buttons.begin() + static_cast<std::ptrdiff_t>(std::min(index, buttons.size())),
                   kToolbarSeparator);
    return true;
}

bool ToolbarLayout::RemoveButton(int toolbarId, std::size_t index)
{
    ToolbarButtons* toolbar = FindMutable(toolbarId);
    if (toolbar == nullptr || index >= toolbar->buttons.size())
        return false;
    toolbar->buttons.erase(toolbar->buttons.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool ToolbarLayout::MoveButton(int toolbarId, std::size_t from, std::size_t to)
{
    ToolbarButtons* toolbar = FindMutable(toolbarId);
    if (toolbar == nullptr || from >= toolbar->buttons.size())
        return false;
    std::vector<int>& buttons = toolbar->buttons;
    const int id = buttons[from];
    buttons.erase(buttons.begin() + static_cast<std::ptrdiff_t>(from));
    buttons.insert(buttons.begin() + static_cast<std::ptrdiff_t>(std::min(to, buttons.size())), id);
    return true;
}

bool ToolbarLayout::RestoreDefaultButton(int toolbarId, int command, const std::vector<int>& defaults)
{
    const ToolbarButtons* toolbar = Find(toolbarId);
    const auto inDefaults = std::find(defaults.begin(), defaults.end(), command);
    if (toolbar == nullptr || !IsCommand(command) || inDefaults == defaults.end())
        return false;
    const std::vector<int>& buttons = toolbar->buttons;
    if (std::find(buttons.begin(), buttons.end(), command) != buttons.end())
        return false;
    std::size_t index = 0;
    bool separatorBetween = false;
    for (auto before = inDefaults; before != defaults.begin();) {
        --before;
        if (*before == kToolbarSeparator) {
            separatorBetween = true;
            continue;
        }
        const auto at = std::find(buttons.begin(), buttons.end(), *before);
        if (at != buttons.end()) {
            index = static_cast<std::size_t>(at - buttons.begin()) + 1;
            // Back into its own group when that group's separator is still there.
            if (separatorBetween && index < buttons.size() && buttons[index] == kToolbarSeparator)
                ++index;
            break;
        }
    }
    return InsertButton(toolbarId, index, command);
}

std::string ToolbarLayout::Serialize() const
{
    std::string text(kHeader);
    text += '\n';
    for (const ToolbarButtons& toolbar : m_toolbars) {
        char id[8];
        const auto end = std::to_chars(id, id + sizeof id, toolbar.id, 16).ptr;
        for (char* c = id; c != end; ++c)
            text += static_cast<char>(*c >= 'a' && *c <= 'f' ? *c - 'a' + 'A' : *c);
        text += ';';
        for (std::size_t i = 0; i < toolbar.buttons.size(); ++i) {
            if (i > 0)
                text += ',';
            text += std::to_string(toolbar.buttons[i]);
        }
        text += ';';
        text += toolbar.title;
        text += '\n';
    }
    return text;
}

std::optional<ToolbarLayout> ToolbarLayout::Parse(std::string_view text)
{
    const std::size_t firstEnd = text.find('\n');
    if (Trim(text.substr(0, firstEnd)) != kHeader)
        return std::nullopt;
    ToolbarLayout layout;
    std::string_view rest = firstEnd == std::string_view::npos ? std::string_view() : text.substr(firstEnd + 1);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

        const std::size_t idEnd = line.find(';');
        const std::size_t buttonsEnd = idEnd == std::string_view::npos ? idEnd : line.find(';', idEnd + 1);
        if (buttonsEnd == std::string_view::npos)
            continue;
        const std::optional<int> id = ParseInt<int>(line.substr(0, idEnd), 16);
        if (!id)
            continue;
        std::vector<int> buttons;
        std::string_view list = line.substr(idEnd + 1, buttonsEnd - idEnd - 1);
        while (!Trim(list).empty()) {
            const std::size_t comma = list.find(',');
            if (const std::optional<int> button = ParseInt<int>(list.substr(0, comma)))
                buttons.push_back(*button);
            if (comma == std::string_view::npos)
                break;
            list.remove_prefix(comma + 1);
        }
        layout.AddToolbar(*id, std::string(line.substr(buttonsEnd + 1)), buttons);
    }
    return layout;
}
