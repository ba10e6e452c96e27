#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QPointer>
#include <optional>

class CommandActions;

// Read-only, coloured text log that keeps at most m_maxLines lines by
// discarding the oldest, in Courier New 8 point with tab stops every 0.2 inch.
// Lines do not wrap, so a line of the log is a paragraph of the document.
class LogEditCtrl : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit LogEditCtrl(QWidget* parent = nullptr);

    // Appends at the end in `colour` and leaves the caret there; the whole
    // log takes that colour, as each log is written in one colour. Redrawing
    // is held off until the text is in and trimmed, so one append costs one
    // repaint. An empty text changes nothing.
    void AppendText(const QColor& colour, const QString& text);

    // Empties the log.
    void Clear();

    // Scrolls to the far left and to the last line.
    void ScrollToLatest();

    int LineCount() const;

    // The commands its context menu shows; without them it shows none.
    void SetCommandActions(CommandActions* commands);

    int m_maxLines = 50000;  // 0 or less: no limit
    int m_popupMenuId = 0;   // context menu; 0: none

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void TrimToMaxLines();

    std::optional<QRgb> m_textColour;
    QPointer<CommandActions> m_commands;
};
