#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// What the alert limit dialog hands back: the text as typed; the caller
// checks it (ParseAlertLimit).
struct AlertLimitValues {
    QString alertLimit;
    bool operator==(const AlertLimitValues&) const = default;
};

// "Alert Limit": the horizontal alert limit of the Accuracy page, metres.
class CAlertLimitDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAlertLimitDlg(const AlertLimitValues& values, QWidget* parent = nullptr);

    AlertLimitValues Values() const;

private:
    QLineEdit* m_editLimit = nullptr;
};
