#include "app/dop_threshold_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "kit/fonts.h"
#include "app/dialog_units.h"
#include "app/number_format.h"

DopThresholdDlg::DopThresholdDlg(const DopThresholdValues& values, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Dilution of Precision Threshold"));
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(235, 63));

    auto* label = new QLabel(tr("Dilution of Precision Threshold:"), this);
    PlaceControl(label, du.Rect(7, 10, 103, 8));

    m_editThreshold = new QLineEdit(values.threshold, this);
    m_editThreshold->setObjectName(QStringLiteral("thresholdEdit"));
    PlaceControl(m_editThreshold, du.Rect(7, 18, 221, 12));
    label->setBuddy(m_editThreshold);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    PlaceControl(ok, du.Rect(62, 42, 50, 14));
    connect(ok, &QPushButton::clicked, this, &DopThresholdDlg::accept);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    PlaceControl(cancel, du.Rect(121, 42, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_editThreshold->setFocus();
    m_editThreshold->selectAll();
}

DopThresholdValues DopThresholdDlg::Values() const
{
    return DopThresholdValues{m_editThreshold->text()};
}

void DopThresholdDlg::accept()
{
    if (const auto problem = DopThresholdProblem(m_editThreshold->text().toStdString())) {
        QMessageBox::warning(this, QApplication::applicationDisplayName(), QString::fromStdString(*problem));
        m_editThreshold->setFocus();
        m_editThreshold->selectAll();
        return;
    }
    QDialog::accept();
}
