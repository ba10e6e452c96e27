#pragma once

#include <QColor>
#include <QPointer>
#include <QFont>
#include <QRect>
#include <QWidget>
#include <string_view>

class HistoryCombo;
class CommandActions;
class LogEditCtrl;
class QCheckBox;
class QPushButton;
class SentenceSender;

// The "NMEA Monitor" page: a row to type and send a sentence, and the traffic
// with the receiver below it, transmitted text on the left, received on the
// right. The page neither reads nor writes the port: the main window appends
// what it receives to EditRx(), and sends through its SentenceSender, whose
// transmit log it hands to AppendTransmitted.
class NmeaMonitorWnd : public QWidget {
    Q_OBJECT

public:
    static inline const QColor kTransmitColour{128, 0, 0};
    static inline const QColor kReceiveColour{0, 128, 0};
    // Longest text the Send button sends; a longer one is refused with a
    // message rather than cut.
    static constexpr int kMaxSendCharacters = 255;

    explicit NmeaMonitorWnd(QWidget* parent = nullptr);

    void SetSentenceSender(SentenceSender* sender) { m_sender = sender; }
    // The commands of the logs' context menus (the clear commands, which the
    // page carries out); without them the page shows no context menu.
    void SetCommandActions(CommandActions* commands);

    // Bytes written to the port; each byte but CR becomes one character.
    void AppendTransmitted(std::string_view bytes);

    LogEditCtrl* EditTx() const { return m_editTx; }
    LogEditCtrl* EditRx() const { return m_editRx; }
    HistoryCombo* ComboSend() const { return m_comboSend; }
    QPushButton* ButtonSend() const { return m_buttonSend; }
    QCheckBox* ChecksumTick() const { return m_checksumTick; }
    QRect SendRowRect() const { return m_sendRowRect; }
    QRect HeaderRect() const { return m_headerRect; }
    int AutoChecksum() const { return m_autoChecksum; }

public slots:
    void OnSend();
    void OnChecksumTick();
    void OnClearTransmitScreen();
    void OnClearReceiveScreen();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void LayOut();
    void ScrollLogsToLatest();
    QImage Render() const;

    LogEditCtrl* m_editTx = nullptr;
    LogEditCtrl* m_editRx = nullptr;
    QPushButton* m_buttonSend = nullptr;
    HistoryCombo* m_comboSend = nullptr;
    QFont m_font;
    QFont m_captionFont;
    QRect m_sendRowRect;
    QRect m_headerRect;
    QCheckBox* m_checksumTick = nullptr;
    int m_autoChecksum = 0;
    int m_transmitCaptionX = 0;
    int m_receiveCaptionX = 0;
    int m_middleX = 0;
    SentenceSender* m_sender = nullptr;
    QPointer<CommandActions> m_commands;
};
