#include "console/log_edit_ctrl.h"

#include <QContextMenuEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "kit/fonts.h"
#include "kit/command_actions.h"
#include "kit/page_menus.h"

LogEditCtrl::LogEditCtrl(QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Text removed from the top must not pile up as undo history.
    document()->setUndoRedoEnabled(false);

    const QFont font = CourierNewFont(8);
    setFont(font);
    document()->setDefaultFont(font);
    setTabStopDistance(0.2 * logicalDpiX());

    QPalette colours = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
        // The selection stays visible when the log loses the focus.
        colours.setColor(group, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
        colours.setColor(group, QPalette::HighlightedText,
                         colours.color(QPalette::Active, QPalette::HighlightedText));
    }
    setPalette(colours);

    moveCursor(QTextCursor::End);
}

void LogEditCtrl::AppendText(const QColor& colour, const QString& text)
{
    if (text.isEmpty())
        return;
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);

    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Normal);
    QTextCursor cursor(document());
    if (m_textColour != colour.rgb() && !document()->isEmpty()) {
        cursor.select(QTextCursor::Document);
        cursor.mergeCharFormat(format);
    }
    m_textColour = colour.rgb();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);

    TrimToMaxLines();

    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    setUpdatesEnabled(updates);
    viewport()->update();
}

void LogEditCtrl::TrimToMaxLines()
{
    QTextDocument* doc = document();
    if (m_maxLines <= 0 || doc->blockCount() <= m_maxLines)
        return;
    const QTextBlock firstKept = doc->findBlockByNumber(doc->blockCount() - m_maxLines);
    QTextCursor cut(doc);
    cut.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
}

void LogEditCtrl::Clear()
{
    setReadOnly(false);
    selectAll();
    textCursor().removeSelectedText();
    setReadOnly(true);
}

void LogEditCtrl::ScrollToLatest()
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

int LogEditCtrl::LineCount() const { return document()->blockCount(); }

void LogEditCtrl::SetCommandActions(CommandActions* commands) { m_commands = commands; }

void LogEditCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (m_popupMenuId == 0 || m_commands == nullptr)
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5))
                                                                     : event->globalPos();
    m_commands->PopUpContextMenu(PopupMenuCommands(m_popupMenuId), this, at);
}
