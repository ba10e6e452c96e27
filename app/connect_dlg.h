#pragma once

#include <QDialog>
#include <QString>
#include <utility>
#include <vector>

#include "app/comm_port.h"

class QComboBox;

// What the Connect dialog hands back.
struct ConnectValues {
    CommPort port;
    int baud = 9600;
    bool operator==(const ConnectValues&) const = default;
};

// The serial ports present: device path (or port number) and description,
// in the order the system lists them.
using SerialPortList = std::vector<std::pair<QString, QString>>;

// "Connect to GPS": a port box listing "PORT - (description)" sorted as text,
// a baud box with the usual rates; both accept typed text.
class ConnectDlg : public QDialog {
    Q_OBJECT

public:
    ConnectDlg(const ConnectValues& values, const SerialPortList& ports, QWidget* parent = nullptr);

    // The choice as the boxes hold it now, read as OK reads it: the port is
    // what stands before " - (" (a number or a device path), the baud rate
    // the number at the start of its box (0 when there is none).
    ConnectValues Values() const;

private:
    QComboBox* m_comboPort = nullptr;
    QComboBox* m_comboBaud = nullptr;
};
