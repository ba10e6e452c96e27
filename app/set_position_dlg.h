#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "app/user_position.h"

class QLineEdit;

// "Set Position": latitude, longitude and altitude. OK is refused with
// "Enter a number." while a box does not hold exactly one number, and with
// the reason while the numbers are no place on Earth (CheckUserPosition).
class SetPositionDlg : public QDialog {
    Q_OBJECT

public:
    explicit SetPositionDlg(const UserPosition& values, QWidget* parent = nullptr);

    // The three numbers the boxes hold now; nullopt while one of them is not
    // a number.
    std::optional<UserPosition> Values() const;

    void accept() override;

private:
    struct Refusal {
        QLineEdit* box = nullptr;
        QString message;
    };
    // The first box, in the order latitude, longitude, altitude, whose text
    // is not a number, then the first whose number is impossible; nullopt
    // when OK may close the dialog.
    std::optional<Refusal> FirstRefusal() const;

    QLineEdit* m_editLatitude = nullptr;
    QLineEdit* m_editLongitude = nullptr;
    QLineEdit* m_editAltitude = nullptr;
};
