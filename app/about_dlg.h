#pragma once

#include <QDialog>
#include <QPixmap>

// The About box's picture fills the width of the dialog and keeps its
// proportions: trunc(width / pictureWidth * pictureHeight). 0 for a picture
// without width.
int AboutPictureHeight(int clientWidth, int pictureWidth, int pictureHeight);

// "About Stelmap": our picture across the top, the version line, one line
// about the program, and OK.
class AboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit AboutDlg(QWidget* parent = nullptr);

    // The first text line, "Helmarc Stelmap, Version 1.0.0 (...)".
    static QString VersionText();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};
