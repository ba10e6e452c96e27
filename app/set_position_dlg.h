#pragma once

#include <QDialog>
#include <optional>

#include "app/user_position.h"

class QLineEdit;

// "Set Position": latitude, longitude and altitude. OK is refused with
// "Enter a number." while a box does not hold exactly one number.
class CSetPositionDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSetPositionDlg(const UserPosition& values, QWidget* parent = nullptr);

    // The three numbers the boxes hold now; nullopt while one of them is not
    // a number.
    std::optional<UserPosition> Values() const;

    void accept() override;

private:
    // The first box, in the order latitude, longitude, altitude, whose text
    // is not a number; nullptr when all are.
    QLineEdit* FirstInvalidBox() const;

    QLineEdit* m_editLatitude = nullptr;
    QLineEdit* m_editLongitude = nullptr;
    QLineEdit* m_editAltitude = nullptr;
};
