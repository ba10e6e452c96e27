#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "app/user_notice.h"
#include "app/user_position.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_sentences.h"

class AccuracyPageWnd;
class CommandActions;
class QIcon;
class QMenu;
class QWidget;

// The Accuracy page as the main window drives it: it hands over each fix,
// the user position and the start of a connection or playback; this unit
// carries out the page's commands (Reset, Export report, Set Alert Limit)
// and keeps the alert limit in the settings.
class AccuracyFeature : public QObject {
public:
    using Tell = std::function<void(Severity, const QString& text, const QString& detail)>;

    // `dialogParent` owns the dialogs; `tell` reports failures.
    AccuracyFeature(CommandActions& commands, QWidget* dialogParent, Tell tell);

    // The page, to be shown as a tab; its parent is set by whoever adds it.
    AccuracyPageWnd* Page() const { return m_page; }
    QWidget* PageWidget() const;
    static QIcon TabIcon();
    // Set Alert Limit, Reset and Export report at the end of `tools`.
    void AddToMenu(QMenu* tools) const;

    void ShowFix(const DisplaySnapshot& fix);
    // The receiver's latest GST, read at each fix: its sigmas are the
    // receiver's own estimate of its error, shown beside the error.
    void SetGstSource(std::function<std::optional<GstFields>()> source) { m_gstSource = std::move(source); }
    void StartSession();
    // The first corrections went to the receiver.
    void MarkCorrectionsStarted();
    void SetUserPosition(const UserPosition& position);
    void Reset();

    void OnSetAlertLimit();
    void OnExportReport();

private:
    CommandActions& m_commands;
    QWidget* m_dialogParent = nullptr;
    Tell m_tell;
    AccuracyPageWnd* m_page = nullptr;
    std::function<std::optional<GstFields>()> m_gstSource;
};
