#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// What the alert limit dialog hands back: the text as typed, which OK has
// already checked (ParseAlertLimit takes it).
struct AlertLimitValues {
    QString alertLimit;
    bool operator==(const AlertLimitValues&) const = default;
};

// "Alert Limit": the horizontal alert limit of the Accuracy page, metres.
class AlertLimitDlg : public QDialog {
    Q_OBJECT

public:
    explicit AlertLimitDlg(const AlertLimitValues& values, QWidget* parent = nullptr);

    AlertLimitValues Values() const;

public slots:
    // Refuses what is no alert limit with a warning and stays open, as the
    // DOP threshold dialog does.
    void accept() override;

private:
    QLineEdit* m_editLimit = nullptr;
};
