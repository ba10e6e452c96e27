#include "app/update_alert_wnd.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "kit/fonts.h"
#include "app/app_pictures.h"

namespace {

// The company's web server; only the path is fixed.
constexpr char kDownloadHost[] = "www.helmarc.example";
constexpr char kDownloadPath[] = "/zezeviridiv/Download/";

constexpr int kAlertWidth = 300;
constexpr int kCaptionHeight = 16;

}  // namespace

bool IsNewerVersion(int announcedVersion) { return announcedVersion > kProgramVersion; }

QUrl DownloadPageUrl()
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QString::fromLatin1(kDownloadHost));
    url.setPath(QString::fromLatin1(kDownloadPath));
    return url;
}

UpdateAlertWnd::UpdateAlertWnd(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_owner(owner)
{
    InitAppResources();
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("Update Available"));
    setFont(DialogFont());

    auto* caption = new QLabel(windowTitle(), this);
    caption->setObjectName(QStringLiteral("alertCaption"));
    QFont captionFont = font();
    captionFont.setPixelSize(10);
    captionFont.setBold(true);
    caption->setFont(captionFont);
    caption->setForegroundRole(QPalette::HighlightedText);

    auto* closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("alertClose"));
    closeButton->setText(QStringLiteral("\u00D7"));
    closeButton->setAutoRaise(true);
    // Drawn on the caption bar, so in the caption's text colour.
    closeButton->setStyleSheet(QStringLiteral(
        "QToolButton { color: palette(highlighted-text); background: transparent; border: none;"
        " font-weight: bold; font-size: 14px; padding: 0px; }"
        "QToolButton:hover { background: rgba(255, 255, 255, 70); }"));
    closeButton->setFixedSize(kCaptionHeight, kCaptionHeight - 2);
    closeButton->setToolTip(tr("Close"));
    connect(closeButton, &QToolButton::clicked, this, &QWidget::close);

    auto* captionRow = new QHBoxLayout;
    captionRow->setContentsMargins(6, 1, 1, 1);
    captionRow->addWidget(caption, 1);
    captionRow->addWidget(closeButton);

    auto* bell = new QLabel(this);
    bell->setObjectName(QStringLiteral("alertIcon"));
    bell->setPixmap(QPixmap(QString::fromLatin1(pictures::kAlertBell)));
    bell->setFixedSize(32, 32);

    auto* text = new QLabel(tr("New version of ZezevirIdiv is available for download."), this);
    text->setObjectName(QStringLiteral("alertText"));
    text->setWordWrap(true);

    auto* link = new QLabel(QStringLiteral("<a href=\"download\">%1</a>").arg(tr("Download now")), this);
    link->setObjectName(QStringLiteral("alertLink"));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &QLabel::linkActivated, this, [this] { OnLinkClicked(); });

    auto* textColumn = new QVBoxLayout;
    textColumn->setSpacing(6);
    textColumn->addWidget(text);
    textColumn->addWidget(link);
    textColumn->addStretch(1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(12, 10, 12, 16);
    body->setSpacing(10);
    body->addWidget(bell, 0, Qt::AlignTop);
    body->addLayout(textColumn, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(1, 1, 1, 1);
    column->setSpacing(0);
    column->addLayout(captionRow);
    column->addLayout(body, 1);

    setFixedWidth(kAlertWidth);
    setFixedHeight(heightForWidth(kAlertWidth) > 0 ? heightForWidth(kAlertWidth) : sizeHint().height());

    m_timerClose = new QTimer(this);
    m_timerClose->setObjectName(QStringLiteral("autoClose"));
    m_timerClose->setSingleShot(true);
    m_timerClose->setInterval(kAutoCloseMs);
    connect(m_timerClose, &QTimer::timeout, this, &QWidget::close);

    m_slide = new QPropertyAnimation(this, "pos", this);
    m_slide->setDuration(kAnimationStepMs * kAnimationSteps);
    m_slide->setEasingCurve(QEasingCurve::OutCubic);
}

QRect UpdateAlertWnd::RestingGeometry() const
{
    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const QSize size(width(), height());
    return QRect(QPoint(area.right() - size.width() + 1, area.bottom() - size.height() + 1), size);
}

int UpdateAlertWnd::AutoCloseMs() const { return m_timerClose->interval(); }

void UpdateAlertWnd::SetAutoCloseMs(int ms) { m_timerClose->setInterval(ms); }

void UpdateAlertWnd::ShowAlert()
{
    const QRect resting = RestingGeometry();
    const QPoint start(resting.left(), resting.bottom() + 1);
    move(start);
    show();
    m_slide->stop();
    m_slide->setStartValue(start);
    m_slide->setEndValue(resting.topLeft());
    m_slide->start();
    m_timerClose->start();
}

void UpdateAlertWnd::OnLinkClicked()
{
    // Whether a browser could be started is not ours to judge; the alert goes either way.
    QDesktopServices::openUrl(DownloadPageUrl());
    emit linkActivated();
    QTimer::singleShot(0, this, &QWidget::close);
}

void UpdateAlertWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect all = rect();

    QLinearGradient body(all.topLeft(), all.bottomLeft());
    // In the look's window colour, so its window text stays readable on it.
    body.setColorAt(0, pal.color(QPalette::Window).lighter(125));
    body.setColorAt(1, pal.color(QPalette::Window));
    painter.fillRect(all, body);

    const QRect caption(1, 1, all.width() - 2, kCaptionHeight);
    QLinearGradient bar(caption.topLeft(), caption.bottomLeft());
    bar.setColorAt(0, pal.color(QPalette::Highlight).lighter(115));
    bar.setColorAt(1, pal.color(QPalette::Highlight));
    painter.fillRect(caption, bar);

    painter.setPen(pal.color(QPalette::Dark));
    painter.drawRect(all.adjusted(0, 0, -1, -1));
}

UpdateAlertWnd* ShowUpdateAlertIfNewer(int announcedVersion, QWidget* owner)
{
    if (!IsNewerVersion(announcedVersion))
        return nullptr;
    auto* alert = new UpdateAlertWnd(owner);
    alert->ShowAlert();
    return alert;
}
