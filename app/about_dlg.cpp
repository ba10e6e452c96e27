#include "app/about_dlg.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QtGlobal>

#include "kit/fonts.h"
#include "app/app_pictures.h"
#include "app/dialog_units.h"

int AboutPictureHeight(int clientWidth, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(clientWidth) / pictureWidth * pictureHeight);
}

AboutDlg::AboutDlg(QWidget* parent)
    : QDialog(parent)
{
    InitAppResources();
    m_picture.load(QString::fromLatin1(pictures::kAbout));

    setWindowTitle(tr("About Stelmap"));
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(301, 151));

    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("versionText"));
    PlaceControl(version, du.Rect(1, 124, 198, 8));

    auto* about = new QLabel(tr("A monitor for NMEA 0183 GNSS receivers"), this);
    about->setObjectName(QStringLiteral("aboutText"));
    PlaceControl(about, du.Rect(1, 136, 137, 8));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    PlaceControl(ok, du.Rect(249, 130, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString AboutDlg::VersionText()
{
    return QStringLiteral("Helmarc Stelmap, Version 1.0.0 (Qt %1)").arg(QString::fromLatin1(qVersion()));
}

void AboutDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (m_picture.isNull())
        return;
    const int w = width();
    const int h = AboutPictureHeight(w, m_picture.width(), m_picture.height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(0, 0, w, h), m_picture);
}
