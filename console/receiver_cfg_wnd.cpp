#include "console/receiver_cfg_wnd.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "kit/fonts.h"
#include "console/receiver_cfg_commands.h"
#include "console/receiver_cfg_layout.h"
#include "console/sentence_sender.h"
#include "kit/page_painting.h"

namespace {

QRect ToQRect(const PixelRect& r)
{
    return QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

template <size_t N>
QListWidget* NewList(QWidget* parent, const char* name, const std::array<std::string_view, N>& items,
                     QAbstractItemView::SelectionMode mode)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(mode);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (std::string_view item : items)
        list->addItem(QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size())));
    return list;
}

QLabel* NewLabel(QWidget* parent, const char* name, const char* text)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Captions sit on the button face, not on the page's gradient.
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Button);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* text)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The selected item's text; a single-selection list has at most one.
std::optional<std::string> Choice(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.front()->text().toStdString();
}

ListChoice View(const std::optional<std::string>& choice)
{
    return choice ? ListChoice(*choice) : std::nullopt;
}

}  // namespace

ReceiverCfgWnd::ReceiverCfgWnd(QWidget* parent) : QWidget(parent)
{
    m_buttonSendPXTNCFG = NewButton(this, "m_buttonSendPXTNCFG", "Send PXTNCFG");
    m_staticPXTNCFG = NewLabel(this, "m_staticPXTNCFG", "PXTNCFG");
    m_listCOM1TXProtocol =
        NewList(this, "m_listCOM1TXProtocol", kProtocolItems, QAbstractItemView::SingleSelection);
    m_staticCOM1TXProtocol = NewLabel(this, "m_staticCOM1TXProtocol", "COM1TXProtocol");
    m_listCOM2TXProtocol =
        NewList(this, "m_listCOM2TXProtocol", kProtocolItems, QAbstractItemView::SingleSelection);
    m_staticCOM2TXProtocol = NewLabel(this, "m_staticCOM2TXProtocol", "COM2TXProtocol");
    m_buttonSendPXTNNOM = NewButton(this, "m_buttonSendPXTNNOM", "Send PXTNNOM");
    m_staticPXTNNOM = NewLabel(this, "m_staticPXTNNOM", "PXTNNOM");
    // Each click toggles an item, as in a list where several may be chosen.
    m_listNOM = NewList(this, "m_listNOM", kNomItems, QAbstractItemView::MultiSelection);
    m_staticNOM = NewLabel(this, "m_staticNOM", "NOM");
    m_listPersist = NewList(this, "m_listPersist", kPersistItems, QAbstractItemView::SingleSelection);
    m_staticPersist = NewLabel(this, "m_staticPersist", "Persist");

    m_font = TahomaFont(8);
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setFont(m_font);

    connect(m_buttonSendPXTNCFG, &QPushButton::clicked, this, &ReceiverCfgWnd::OnSendPXTNCFG);
    connect(m_buttonSendPXTNNOM, &QPushButton::clicked, this, &ReceiverCfgWnd::OnSendPXTNNOM);
    LayOut();
}

std::string ReceiverCfgWnd::ComposedPXTNCFG() const
{
    const std::optional<std::string> com1 = Choice(m_listCOM1TXProtocol);
    const std::optional<std::string> com2 = Choice(m_listCOM2TXProtocol);
    return ComposePXTNCFG(View(com1), View(com2));
}

std::string ReceiverCfgWnd::ComposedPXTNNOM() const
{
    std::array<bool, kNomItems.size()> selected{};
    for (int i = 0; i < std::min<int>(m_listNOM->count(), static_cast<int>(selected.size())); ++i)
        selected[static_cast<size_t>(i)] = m_listNOM->item(i)->isSelected();
    const std::optional<std::string> persist = Choice(m_listPersist);
    return ComposePXTNNOM(selected, View(persist));
}

void ReceiverCfgWnd::OnSendPXTNCFG()
{
    if (m_sender != nullptr)
        m_sender->SendSentence(ComposedPXTNCFG(), true);
}

void ReceiverCfgWnd::OnSendPXTNNOM()
{
    if (m_sender != nullptr)
        m_sender->SendSentence(ComposedPXTNNOM(), true);
}

void ReceiverCfgWnd::LayOut()
{
    const ReceiverCfgLayout layout =
        ComputeReceiverCfgLayout(width(), height(), {m_columns, m_rows, m_margin, m_labelHeight});
    const std::array<std::array<std::pair<QWidget*, QWidget*>, 3>, 2> cells = {{
        {{{m_staticPXTNCFG, m_buttonSendPXTNCFG},
          {m_staticCOM1TXProtocol, m_listCOM1TXProtocol},
          {m_staticCOM2TXProtocol, m_listCOM2TXProtocol}}},
        {{{m_staticPXTNNOM, m_buttonSendPXTNNOM},
          {m_staticNOM, m_listNOM},
          {m_staticPersist, m_listPersist}}},
    }};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const ReceiverCfgCell& cell = layout.Cell(row, column, m_columns);
            cells[row][column].first->setGeometry(ToQRect(cell.label));
            cells[row][column].second->setGeometry(ToQRect(cell.control));
        }
    }
    m_layoutRect = rect();
}

void ReceiverCfgWnd::resizeEvent(QResizeEvent*)
{
    LayOut();
    update();
}

void ReceiverCfgWnd::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&image);
        FillPageBackground(painter, m_layoutRect);
    }
    QPainter(this).drawImage(0, 0, image);
}
