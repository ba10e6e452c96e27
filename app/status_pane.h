#pragma once

#include <QLabel>
#include <QString>

// A status bar pane that asks for the width of `widest` (its text padded as
// wide as it gets) but gives way down to the width of `least` when the
// window is narrow. Squeezed, it ends its text with "…" and shows the whole
// text as its tooltip, so neighbouring panes never run into each other.
// An empty `widest` asks for the width of the text it shows.
class StatusPane : public QLabel {
    Q_OBJECT

public:
    StatusPane(const QString& text, const QString& widest, const QString& least, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Whether the last paint had to cut the text.
    bool IsElided() const { return m_elided; }
    // The width that shows the text whole, without its trailing padding.
    int ContentWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateTip();
    QString Content() const;
    QString Shown() const;

    QString m_widest;
    QString m_least;
    bool m_elided = false;
};
