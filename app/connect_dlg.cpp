#include "app/connect_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "kit/fonts.h"
#include "app/dialog_units.h"
#include "nmea/number_text.h"

namespace {

constexpr int kMaxBoxText = 255;
const char* const kBaudRates[] = {"4800", "9600", "19200", "38400", "115200"};

QString BoxText(const QComboBox* box) { return box->currentText().left(kMaxBoxText); }

}  // namespace

ConnectDlg::ConnectDlg(const ConnectValues& values, const SerialPortList& ports, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Connect to GPS"));
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(227, 104));

    auto* portLabel = new QLabel(tr("Communication Port:"), this);
    PlaceControl(portLabel, du.Rect(7, 10, 67, 8));

    m_comboPort = new QComboBox(this);
    m_comboPort->setObjectName(QStringLiteral("portBox"));
    m_comboPort->setEditable(true);
    m_comboPort->setInsertPolicy(QComboBox::NoInsert);
    m_comboPort->lineEdit()->setMaxLength(kMaxBoxText);
    // Enter takes the text as typed: a completion to a listed entry would
    // turn "tcp://127.0.0.1" into a recent "tcp://127.0.0.1:2000".
    m_comboPort->setCompleter(nullptr);
    m_comboPort->lineEdit()->setPlaceholderText(tr("/dev/ttyUSB0, tcp://HOST:PORT, udp://:PORT, gpsd://HOST"));
    PlaceControl(m_comboPort, du.Rect(7, 18, 213, 12));
    portLabel->setBuddy(m_comboPort);

    auto* baudLabel = new QLabel(tr("Baud Rate:"), this);
    PlaceControl(baudLabel, du.Rect(7, 34, 37, 8));

    m_comboBaud = new QComboBox(this);
    m_comboBaud->setObjectName(QStringLiteral("baudBox"));
    m_comboBaud->setEditable(true);
    m_comboBaud->setInsertPolicy(QComboBox::NoInsert);
    m_comboBaud->lineEdit()->setMaxLength(kMaxBoxText);
    for (const char* rate : kBaudRates)
        m_comboBaud->addItem(QString::fromLatin1(rate));
    PlaceControl(m_comboBaud, du.Rect(7, 42, 213, 12));
    baudLabel->setBuddy(m_comboBaud);

    // The other sources a port box takes, in the room above the buttons.
    auto* forms = new QLabel(tr("Besides a serial port: tcp://HOST:PORT, udp://[ADDRESS]:PORT, "
                                "gpsd://HOST[:PORT] (baud rate unused)"),
                             this);
    forms->setObjectName(QStringLiteral("sourceForms"));
    forms->setWordWrap(true);
    PlaceControl(forms, du.Rect(7, 58, 213, 20));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    PlaceControl(ok, du.Rect(61, 83, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    PlaceControl(cancel, du.Rect(115, 83, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_comboBaud->setCurrentIndex(-1);
    m_comboBaud->setEditText(QString::number(values.baud));

    std::vector<std::pair<std::string, std::string>> listed;
    listed.reserve(ports.size());
    for (const auto& [port, description] : ports)
        listed.emplace_back(port.toStdString(), description.toStdString());
    for (const std::string& entry : PortListEntries(listed))
        m_comboPort->addItem(QString::fromStdString(entry));

    m_comboPort->setCurrentIndex(-1);
    m_comboPort->setEditText(QString::fromStdString(CommPortText(values.port)));
    for (int i = 0; i < m_comboPort->count(); ++i) {
        const std::string entry = m_comboPort->itemText(i).toStdString();
        if (SameDevice(CommPortFromText(PortFromEntryText(entry)), values.port)) {
            m_comboPort->setCurrentIndex(i);
            break;
        }
    }
    m_comboPort->setFocus();
}

ConnectValues ConnectDlg::Values() const
{
    const std::string port = BoxText(m_comboPort).toStdString();
    const std::string baud = BoxText(m_comboBaud).toStdString();
    return ConnectValues{CommPortFromText(PortFromEntryText(port)), stelmap::ParseInteger(baud)};
}
