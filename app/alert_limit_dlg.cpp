#include "app/alert_limit_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "analysis/accuracy_figures.h"
#include "app/dialog_units.h"
#include "kit/fonts.h"

AlertLimitDlg::AlertLimitDlg(const AlertLimitValues& values, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Alert Limit"));
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(235, 63));

    auto* label = new QLabel(tr("Horizontal alert limit (metres):"), this);
    PlaceControl(label, du.Rect(7, 7, 221, 8));

    m_editLimit = new QLineEdit(values.alertLimit, this);
    m_editLimit->setObjectName(QStringLiteral("alertLimitEdit"));
    PlaceControl(m_editLimit, du.Rect(7, 18, 221, 12));
    label->setBuddy(m_editLimit);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    PlaceControl(ok, du.Rect(62, 42, 50, 14));
    connect(ok, &QPushButton::clicked, this, &AlertLimitDlg::accept);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    PlaceControl(cancel, du.Rect(121, 42, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_editLimit->setFocus();
    m_editLimit->selectAll();
}

AlertLimitValues AlertLimitDlg::Values() const { return AlertLimitValues{m_editLimit->text()}; }

void AlertLimitDlg::accept()
{
    if (const auto problem = AlertLimitProblem(m_editLimit->text().toStdString())) {
        QMessageBox::warning(this, QApplication::applicationDisplayName(), QString::fromStdString(*problem));
        m_editLimit->setFocus();
        m_editLimit->selectAll();
        return;
    }
    QDialog::accept();
}
