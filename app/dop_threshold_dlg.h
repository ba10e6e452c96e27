#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// What the DOP threshold dialog hands back: the text as typed. The caller
// converts it (ParseDopThreshold); OK refuses only what DopThresholdProblem
// names.
struct DopThresholdValues {
    QString threshold;
    bool operator==(const DopThresholdValues&) const = default;
};

// "Dilution of Precision Threshold": one edit box.
class DopThresholdDlg : public QDialog {
    Q_OBJECT

public:
    explicit DopThresholdDlg(const DopThresholdValues& values, QWidget* parent = nullptr);

    DopThresholdValues Values() const;

    void accept() override;

private:
    QLineEdit* m_editThreshold = nullptr;
};
