#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class SentenceSender;

// The "Receiver Configuration" page: composes the receiver's PXTNCFG (port
// protocols) and PXTNNOM (sentences it outputs, persistence) commands from
// list selections and sends them with a checksum. It keeps no state of its
// own beyond the selections.
class ReceiverCfgWnd : public QWidget {
    Q_OBJECT

public:
    explicit ReceiverCfgWnd(QWidget* parent = nullptr);

    void SetSentenceSender(SentenceSender* sender) { m_sender = sender; }

    // The commands as the current selections compose them, without checksum.
    std::string ComposedPXTNCFG() const;
    std::string ComposedPXTNNOM() const;

    QPushButton* ButtonSendPXTNCFG() const { return m_buttonSendPXTNCFG; }
    QPushButton* ButtonSendPXTNNOM() const { return m_buttonSendPXTNNOM; }
    QListWidget* ListCOM1TXProtocol() const { return m_listCOM1TXProtocol; }
    QListWidget* ListCOM2TXProtocol() const { return m_listCOM2TXProtocol; }
    QListWidget* ListNOM() const { return m_listNOM; }
    QListWidget* ListPersist() const { return m_listPersist; }

public slots:
    void OnSendPXTNCFG();
    void OnSendPXTNNOM();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void LayOut();

    QFont m_font;
    QRect m_layoutRect;
    int m_columns = 3;
    int m_rows = 2;
    int m_margin = 5;
    int m_labelHeight = 20;
    QLabel* m_staticPXTNCFG = nullptr;
    QPushButton* m_buttonSendPXTNCFG = nullptr;
    QLabel* m_staticCOM1TXProtocol = nullptr;
    QListWidget* m_listCOM1TXProtocol = nullptr;
    QLabel* m_staticCOM2TXProtocol = nullptr;
    QListWidget* m_listCOM2TXProtocol = nullptr;
    QLabel* m_staticPXTNNOM = nullptr;
    QPushButton* m_buttonSendPXTNNOM = nullptr;
    QLabel* m_staticNOM = nullptr;
    QListWidget* m_listNOM = nullptr;
    QLabel* m_staticPersist = nullptr;
    QListWidget* m_listPersist = nullptr;
    SentenceSender* m_sender = nullptr;
};
