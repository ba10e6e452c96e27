#include "console/nmea_monitor_wnd.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <string>

#include "kit/fonts.h"
#include "kit/page_menus.h"
#include "console/history_combo.h"
#include "console/log_edit_ctrl.h"
#include "console/monitor_layout.h"
#include "kit/command_actions.h"
#include "console/sentence_sender.h"
#include "kit/page_painting.h"

namespace {

QRect ToQRect(const PixelRect& r)
{
    return QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

}  // namespace

NmeaMonitorWnd::NmeaMonitorWnd(QWidget* parent) : QWidget(parent)
{
    m_comboSend = new HistoryCombo(this);
    m_comboSend->setObjectName(QStringLiteral("m_comboSend"));
    m_comboSend->setGeometry(0, 0, 300, 300);
    m_comboSend->LoadHistory();

    m_checksumTick = new QCheckBox(QStringLiteral("Automatic Checksum"), this);
    m_checksumTick->setObjectName(QStringLiteral("m_checksumTick"));
    m_autoChecksum = 0;

    m_buttonSend = new QPushButton(QStringLiteral("Send"), this);
    m_buttonSend->setObjectName(QStringLiteral("m_buttonSend"));

    m_editTx = new LogEditCtrl(this);
    m_editTx->setObjectName(QStringLiteral("m_editTx"));
    m_editTx->m_popupMenuId = kMenuNmeaMonitorTx;
    m_editRx = new LogEditCtrl(this);
    m_editRx->setObjectName(QStringLiteral("m_editRx"));
    m_editRx->m_popupMenuId = kMenuNmeaMonitorRx;

    // Everything but the check box shows in the page font, the logs too.
    m_font = TahomaFont(8);
    for (QWidget* control : {static_cast<QWidget*>(m_buttonSend), static_cast<QWidget*>(m_comboSend),
                             static_cast<QWidget*>(m_editTx), static_cast<QWidget*>(m_editRx)})
        control->setFont(m_font);
    m_captionFont = ArialFont(14);

    connect(m_buttonSend, &QPushButton::clicked, this, &NmeaMonitorWnd::OnSend);
    // Enter in the box sends, as anyone who types a line expects.
    connect(m_comboSend->lineEdit(), &QLineEdit::returnPressed, this, &NmeaMonitorWnd::OnSend);
    connect(m_checksumTick, &QCheckBox::clicked, this, &NmeaMonitorWnd::OnChecksumTick);
    LayOut();
}

void NmeaMonitorWnd::SetCommandActions(CommandActions* commands)
{
    m_commands = commands;
    m_editTx->SetCommandActions(commands);
    m_editRx->SetCommandActions(commands);
    if (commands == nullptr)
        return;
    // The page clears its own logs, whoever shows the commands.
    connect(commands->ActionFor(kCmdClearTransmitScreen), &QAction::triggered, this,
            &NmeaMonitorWnd::OnClearTransmitScreen);
    connect(commands->ActionFor(kCmdClearReceiveScreen), &QAction::triggered, this,
            &NmeaMonitorWnd::OnClearReceiveScreen);
}

void NmeaMonitorWnd::AppendTransmitted(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        if (byte != '\r')
            text += QChar(static_cast<unsigned char>(byte));
    }
    m_editTx->AppendText(kTransmitColour, text);
}

void NmeaMonitorWnd::OnSend()
{
    const QString text = m_comboSend->currentText();
    m_comboSend->AddToHistory(text);
    m_comboSend->SaveHistory();

    if (text.size() > kMaxSendCharacters) {
        QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                        QStringLiteral("This sentence has %1 characters, more than the %2 that can be "
                                       "sent at once. It was not sent.")
                            .arg(text.size())
                            .arg(kMaxSendCharacters),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    // The port takes bytes: the low byte of each character.
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text)
        bytes += static_cast<char>(c.unicode() & 0xFF);
    if (m_sender != nullptr)
        m_sender->SendSentence(bytes, m_autoChecksum == 1);
}

void NmeaMonitorWnd::OnChecksumTick() { m_autoChecksum = m_checksumTick->isChecked() ? 1 : 0; }

void NmeaMonitorWnd::OnClearTransmitScreen() { m_editTx->Clear(); }

void NmeaMonitorWnd::OnClearReceiveScreen() { m_editRx->Clear(); }

void NmeaMonitorWnd::LayOut()
{
    // Measured with the page's own font, the way the row was always sized;
    // the controls themselves show in the smaller page font.
    const QFontMetrics metrics(font());
    const MonitorTextMetrics text{metrics.height(), metrics.horizontalAdvance(QStringLiteral("Send")),
                                  metrics.horizontalAdvance(QStringLiteral("Automatic Checksum")),
                                  QFontMetrics(m_captionFont).height()};
    const MonitorLayout layout = ComputeMonitorLayout(width(), height(), text);

    m_sendRowRect = ToQRect(layout.sendRow);
    m_buttonSend->setGeometry(ToQRect(layout.buttonSend));
    m_checksumTick->setGeometry(ToQRect(layout.checksumTick));
    m_comboSend->setGeometry(ToQRect(layout.comboSend));
    m_headerRect = ToQRect(layout.header);
    m_editTx->setGeometry(ToQRect(layout.editTx));
    m_editRx->setGeometry(ToQRect(layout.editRx));
    m_middleX = layout.middleX;
    m_transmitCaptionX = layout.transmitCaptionX;
    m_receiveCaptionX = layout.receiveCaptionX;
}

void NmeaMonitorWnd::resizeEvent(QResizeEvent*)
{
    LayOut();
    update();
}

QImage NmeaMonitorWnd::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);

    FillPageBackground(painter, m_sendRowRect);
    const int faceHeight = 2 * QFontMetrics(m_font).height();
    painter.fillRect(QRect(m_sendRowRect.left(), m_sendRowRect.top(), m_sendRowRect.width(), faceHeight),
                     palette().color(QPalette::Button));

    painter.fillRect(m_headerRect, palette().color(QPalette::Dark));
    painter.setFont(m_captionFont);
    painter.setPen(palette().color(QPalette::HighlightedText));
    const QFontMetrics caption(m_captionFont);
    const int baseline = m_headerRect.top() + 2 + caption.ascent();
    for (const auto& [text, centre] : {std::pair{QStringLiteral("Transmit"), m_transmitCaptionX},
                                      std::pair{QStringLiteral("Receive"), m_receiveCaptionX}})
        painter.drawText(centre - caption.horizontalAdvance(text) / 2, baseline, text);

    painter.setPen(Qt::black);
    painter.drawLine(m_middleX, m_headerRect.top(), m_middleX, height() - 1);
    return image;
}

void NmeaMonitorWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void NmeaMonitorWnd::ScrollLogsToLatest()
{
    for (LogEditCtrl* log : {m_editTx, m_editRx})
        QMetaObject::invokeMethod(log, &LogEditCtrl::ScrollToLatest, Qt::QueuedConnection);
}

void NmeaMonitorWnd::showEvent(QShowEvent*) { ScrollLogsToLatest(); }

void NmeaMonitorWnd::hideEvent(QHideEvent*) { ScrollLogsToLatest(); }

void NmeaMonitorWnd::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? QPoint(5, 5) : event->pos();
    const int menuId = at.x() < width() / 2 ? kMenuNmeaMonitorTx : kMenuNmeaMonitorRx;
    if (m_commands != nullptr)
        m_commands->PopUpContextMenu(PopupMenuCommands(menuId), this, mapToGlobal(at));
    event->accept();
}
