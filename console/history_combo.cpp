#include "console/history_combo.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QStringList>

#include "kit/settings_keys.h"
#include "console/history_list.h"

namespace {

QSettings ApplicationSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(settings_keys::kOrganization),
                     QString::fromUtf8(settings_keys::kApplication));
}

std::string ToStd(const QString& text) { return text.toUtf8().toStdString(); }
QString FromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The history's values in one settings group.
class SettingsHistoryProfile : public HistoryProfile {
public:
    explicit SettingsHistoryProfile(QSettings& settings) : m_settings(settings) {}

    std::string ReadString(const std::string& name) override
    {
        const QVariant value = m_settings.value(FromStd(name));
        // A hand-edited value with unquoted commas reads back as a list.
        if (value.typeId() == QMetaType::QStringList)
            return ToStd(value.toStringList().join(QLatin1Char(',')));
        return ToStd(value.toString());
    }
    void WriteString(const std::string& name, const std::string& value) override
    {
        m_settings.setValue(FromStd(name), FromStd(value));
    }
    void DeleteValue(const std::string& name) override { m_settings.remove(FromStd(name)); }

private:
    QSettings& m_settings;
};

}  // namespace

HistoryCombo::HistoryCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // The box completes from its own list, as it needs to; Qt's completer and
    // its insert-on-Enter would fight that.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { OnEditUpdate(); });
}

std::vector<std::string> HistoryCombo::Entries() const
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        entries.push_back(ToStd(itemText(i)));
    return entries;
}

void HistoryCombo::SetEntries(const std::vector<std::string>& entries)
{
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries)
        items.push_back(FromStd(entry));
    clear();
    addItems(items);
}

int HistoryCombo::AddToHistory(const QString& text)
{
    std::vector<std::string> entries = Entries();
    const int index = ::AddToHistory(entries, ToStd(text), m_maxHistory);
    SetEntries(entries);
    setCurrentIndex(entries.empty() ? -1 : index);
    return index;
}

void HistoryCombo::AddCurrentText()
{
    const QString text = currentText();
    if (!text.isEmpty())
        AddToHistory(text);
}

void HistoryCombo::LoadHistory()
{
    clear();
    m_section = QString::fromUtf8(settings_keys::kSendHistory);
    m_keyPrefix = QStringLiteral("HistoryItem");
    m_keyCurrent.clear();
    m_saveCurrent = 1;

    QSettings settings = ApplicationSettings();
    settings.beginGroup(m_section);
    SettingsHistoryProfile profile(settings);
    const std::vector<std::string> entries = LoadHistoryEntries(profile, ToStd(m_keyPrefix), m_maxHistory);
    SetEntries(entries);
    // Filling the list must not pick an entry; the box shows what was left in it.
    setCurrentIndex(-1);
    setEditText(QString());

    if (m_saveCurrent == 1) {
        const std::string left = profile.ReadString(CurrentTextValueName(ToStd(m_keyCurrent), ToStd(m_keyPrefix)));
        if (!left.empty()) {
            const int index = FindEntryExact(entries, -1, left);
            if (index >= 0)
                setCurrentIndex(index);
            else
                setEditText(FromStd(left));
        }
    }
}

bool HistoryCombo::SaveHistory()
{
    if (m_section.isEmpty())
        return true;
    AddCurrentText();

    QSettings settings = ApplicationSettings();
    settings.beginGroup(m_section);
    SettingsHistoryProfile profile(settings);
    SaveHistoryEntries(profile, ToStd(m_keyPrefix), Entries(), m_maxHistory);
    if (m_saveCurrent == 1)
        profile.WriteString(CurrentTextValueName(ToStd(m_keyCurrent), ToStd(m_keyPrefix)), ToStd(currentText()));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void HistoryCombo::NoteKey(int key)
{
    m_autoComplete = (key == Qt::Key_Delete || key == Qt::Key_Backspace) ? 0 : 1;
}

bool HistoryCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress)
        NoteKey(static_cast<QKeyEvent*>(event)->key());
    return QComboBox::eventFilter(watched, event);
}

void HistoryCombo::keyPressEvent(QKeyEvent* event)
{
    NoteKey(event->key());
    QComboBox::keyPressEvent(event);
}

void HistoryCombo::OnEditUpdate()
{
    if (m_autoComplete == 0)
        return;
    QLineEdit* edit = lineEdit();
    const QString typed = edit->text();
    const int typedLength = static_cast<int>(typed.size());
    const int selStart = edit->hasSelectedText() ? static_cast<int>(edit->selectionStart()) : edit->cursorPosition();
    const int selEnd = edit->hasSelectedText() ? static_cast<int>(edit->selectionEnd()) : edit->cursorPosition();
    const auto select = [edit](int start, int end) {
        if (end == start)
            edit->setCursorPosition(start);
        else
            edit->setSelection(start, end - start);
    };

    const int index = FindEntryPrefix(Entries(), -1, ToStd(typed));
    if (index < 0) {
        edit->setText(typed);
        select(selStart, selEnd);
    } else {
        setCurrentIndex(index);
        setEditText(itemText(index));
    }
    if (selEnd < typedLength)
        select(selStart, selEnd);
    else
        select(typedLength, static_cast<int>(edit->text().size()));
}
