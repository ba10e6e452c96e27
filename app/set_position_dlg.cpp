#include "app/set_position_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "geo/position_limits.h"
#include "kit/fonts.h"
#include "app/dialog_units.h"
#include "app/number_format.h"

namespace {

std::optional<double> BoxNumber(const QLineEdit* box)
{
    return ParseNumberText(box->text().toStdString());
}

QLineEdit* NumberBox(const char* name, double value, QWidget* parent)
{
    auto* box = new QLineEdit(QString::fromStdString(FormatPositionValue(value)), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

SetPositionDlg::SetPositionDlg(const UserPosition& values, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Set Position"));
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(229, 117));

    auto* latitudeLabel = new QLabel(tr("Latitude:"), this);
    PlaceControl(latitudeLabel, du.Rect(7, 10, 40, 8));
    m_editLatitude = NumberBox("latitudeEdit", values.latitude, this);
    PlaceControl(m_editLatitude, du.Rect(7, 18, 215, 14));
    latitudeLabel->setBuddy(m_editLatitude);

    auto* longitudeLabel = new QLabel(tr("Longitude:"), this);
    PlaceControl(longitudeLabel, du.Rect(7, 40, 40, 8));
    m_editLongitude = NumberBox("longitudeEdit", values.longitude, this);
    PlaceControl(m_editLongitude, du.Rect(7, 48, 215, 14));
    longitudeLabel->setBuddy(m_editLongitude);

    auto* altitudeLabel = new QLabel(tr("Altitude:"), this);
    PlaceControl(altitudeLabel, du.Rect(7, 70, 40, 8));
    m_editAltitude = NumberBox("altitudeEdit", values.altitude, this);
    PlaceControl(m_editAltitude, du.Rect(7, 78, 215, 14));
    altitudeLabel->setBuddy(m_editAltitude);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    PlaceControl(ok, du.Rect(118, 96, 50, 14));
    connect(ok, &QPushButton::clicked, this, &SetPositionDlg::accept);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    PlaceControl(cancel, du.Rect(172, 96, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_editLatitude->setFocus();
}

std::optional<UserPosition> SetPositionDlg::Values() const
{
    const std::optional<double> latitude = BoxNumber(m_editLatitude);
    const std::optional<double> longitude = BoxNumber(m_editLongitude);
    const std::optional<double> altitude = BoxNumber(m_editAltitude);
    if (!latitude || !longitude || !altitude)
        return std::nullopt;
    return UserPosition{*latitude, *longitude, *altitude};
}

std::optional<SetPositionDlg::Refusal> SetPositionDlg::FirstRefusal() const
{
    for (QLineEdit* box : {m_editLatitude, m_editLongitude, m_editAltitude}) {
        if (!BoxNumber(box))
            return Refusal{box, QString::fromUtf8(kEnterANumber)};
    }
    const std::optional<UserPosition> values = Values();
    if (const auto problem = CheckUserPosition(values->latitude, values->longitude, values->altitude)) {
        QLineEdit* const boxes[] = {m_editLatitude, m_editLongitude, m_editAltitude};
        return Refusal{boxes[static_cast<int>(problem->field)], QString::fromStdString(problem->message)};
    }
    return std::nullopt;
}

void SetPositionDlg::accept()
{
    if (const std::optional<Refusal> refusal = FirstRefusal()) {
        QMessageBox::warning(this, QApplication::applicationDisplayName(), refusal->message);
        refusal->box->setFocus();
        refusal->box->selectAll();
        return;
    }
    QDialog::accept();
}
