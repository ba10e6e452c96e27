#include "app/accuracy_feature.h"

#include <cmath>

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <optional>

#include "analysis/accuracy_figures.h"
#include "analysis/accuracy_page_wnd.h"
#include "app/alert_limit_dlg.h"
#include "app/app_settings.h"
#include "kit/command_actions.h"

AccuracyFeature::AccuracyFeature(CommandActions& commands, QWidget* dialogParent, Tell tell)
    : m_commands(commands), m_dialogParent(dialogParent), m_tell(std::move(tell))
{
    m_page = new AccuracyPageWnd();
    m_page->setObjectName(QStringLiteral("Accuracy"));
    m_page->SetCommandActions(&commands);
    m_page->SetAlertLimit(ReadAlertLimit());
    connect(commands.ActionFor(kCmdResetAccuracy), &QAction::triggered, this, [this] { Reset(); });
    connect(commands.ActionFor(kCmdExportAccuracyReport), &QAction::triggered, this, [this] { OnExportReport(); });
    connect(commands.ActionFor(kCmdSetAlertLimit), &QAction::triggered, this, [this] { OnSetAlertLimit(); });
}

QWidget* AccuracyFeature::PageWidget() const { return m_page; }

QIcon AccuracyFeature::TabIcon()
{
    // A target: rings about a centre, as the scatter's circles are.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 40, 40), 1.5));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setPen(QPen(QColor(40, 110, 200), 1.5));
    painter.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    painter.setBrush(QColor(40, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(6.5, 6.5, 3, 3));
    painter.end();
    return QIcon(pixmap);
}

void AccuracyFeature::AddToMenu(QMenu* tools) const
{
    tools->addSeparator();
    tools->addAction(m_commands.ActionFor(kCmdSetAlertLimit));
    tools->addAction(m_commands.ActionFor(kCmdResetAccuracy));
    tools->addAction(m_commands.ActionFor(kCmdExportAccuracyReport));
}

void AccuracyFeature::ShowFix(const DisplaySnapshot& fix)
{
    // The receiver's own estimate of its horizontal error: the GST sigmas of
    // latitude and longitude combined when it sends GST (the page falls back
    // on HFOM otherwise).
    std::optional<double> gstSigma;
    if (m_gstSource) {
        const std::optional<GstFields> gst = m_gstSource();
        if (gst && gst->sigmaLat && gst->sigmaLon)
            gstSigma = std::hypot(*gst->sigmaLat, *gst->sigmaLon);
    }
    m_page->OnPositionUpdate(fix.countedQuality, fix.latitude, fix.longitude, fix.altitude, fix.hplCm, fix.hfomCm,
                             gstSigma);
}

void AccuracyFeature::MarkCorrectionsStarted()
{
    m_page->MarkCorrectionsStarted();
}

void AccuracyFeature::StartSession() { m_page->StartSession(); }

void AccuracyFeature::SetUserPosition(const UserPosition& position)
{
    m_page->SetUserPosition(position.latitude, position.longitude, position.altitude);
}

void AccuracyFeature::Reset() { m_page->Reset(); }

void AccuracyFeature::OnSetAlertLimit()
{
    AlertLimitDlg dialog(AlertLimitValues{QString::number(ReadAlertLimit(), 'g', 15)}, m_dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString typed = dialog.Values().alertLimit;
    const std::optional<double> limit = ParseAlertLimit(typed.toStdString());
    if (!limit) {
        m_tell(Severity::kWarning, QStringLiteral("'%1' is not an alert limit; the limit stays %2 m.").arg(typed).arg(ReadAlertLimit()),
               QStringLiteral("Type a number of metres above 0 and at most 100000, such as 40."));
        return;
    }
    if (!WriteAlertLimit(*limit))
        m_tell(Severity::kNotice, QStringLiteral("The alert limit could not be saved in the settings."), {});
    m_page->SetAlertLimit(*limit);
}

void AccuracyFeature::OnExportReport()
{
    const QString chosen = QFileDialog::getSaveFileName(m_dialogParent, QStringLiteral("Export Accuracy Report"),
                                                        QStringLiteral("accuracy.png"),
                                                        QStringLiteral("PNG picture and JSON figures (*.png)"));
    if (chosen.isEmpty())
        return;
    // One name for both files: the picture and the figures beside it.
    const QFileInfo info(chosen);
    const QString base = info.suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0
        ? info.dir().filePath(info.completeBaseName())
        : chosen;
    const QString failure = m_page->ExportReport(base);
    if (!failure.isEmpty())
        m_tell(Severity::kError, QStringLiteral("The accuracy report could not be exported."), failure);
}
