#pragma once

#include <QComboBox>
#include <QString>
#include <string>
#include <vector>

// Editable box for sentences to send. Keeps what was sent, newest first and
// without duplicates (letter case ignored), completes typed text from it
// with the completed part selected, and keeps the list and the text left in
// the box in the settings between runs.
class HistoryCombo : public QComboBox {
    Q_OBJECT

public:
    explicit HistoryCombo(QWidget* parent = nullptr);

    // Puts the text, spaces trimmed, at the top and selects it. Returns its
    // index, 0.
    int AddToHistory(const QString& text);

    // Fills the box from the settings group "QX5Monitor History".
    void LoadHistory();

    // Writes the box to the settings. Returns false when they could not be
    // written; the box keeps everything, and the next save writes it all.
    bool SaveHistory();

    // Adds the box's edit text to the history unless it is empty.
    void AddCurrentText();

    std::vector<std::string> Entries() const;

    int m_autoComplete = 1;  // 0 after Delete or Backspace, until the next other key
    QString m_section;       // settings group; empty: nothing is saved
    QString m_keyPrefix;     // value-name prefix of the entries
    QString m_keyCurrent;    // value name of the text left in the box (empty: derived)
    int m_saveCurrent = 1;   // save and restore the text left in the box
    int m_maxHistory = 100;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void NoteKey(int key);
    void OnEditUpdate();
    void SetEntries(const std::vector<std::string>& entries);
};
