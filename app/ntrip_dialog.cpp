#include "app/ntrip_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "ntrip/ntrip_client.h"
#include "rtcm/caster_text.h"

namespace {

QStandardItem* TextItem(const std::string& text)
{
    auto* item = new QStandardItem(QString::fromStdString(text));
    item->setEditable(false);
    return item;
}

// Numbers sort as numbers; an absent one shows empty and sorts first.
QStandardItem* NumberItem(std::optional<double> value, int decimals)
{
    auto* item = new QStandardItem;
    item->setEditable(false);
    if (value) {
        item->setData(QString::number(*value, 'f', decimals), Qt::DisplayRole);
        item->setData(*value, Qt::UserRole);
    } else {
        item->setData(-1.0, Qt::UserRole);
    }
    return item;
}

}  // namespace

NtripDialog::NtripDialog(const NtripDialogValues& v, std::optional<Geodetic> receiver, QWidget* parent)
    : QDialog(parent), m_receiver(receiver)
{
    setWindowTitle(tr("NTRIP Client"));
    setObjectName(QStringLiteral("NtripDialog"));
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    m_caster = new QLineEdit(v.casterText, this);
    m_caster->setPlaceholderText(QStringLiteral("ntrip://caster.example.org:2101/MOUNTPOINT"));
    m_user = new QLineEdit(v.user, this);
    m_password = new QLineEdit(v.password, this);
    m_password->setEchoMode(QLineEdit::Password);
    m_remember = new QCheckBox(tr("Remember password"), this);
    m_remember->setChecked(v.rememberPassword);
    m_tls = new QCheckBox(tr("Use TLS (always on ports 443 and 2102)"), this);
    m_tls->setChecked(v.tls);
    m_trust = new QLineEdit(v.trustCertificate, this);
    m_trust->setPlaceholderText(tr("PEM file of a certificate to trust (self-signed caster)"));
    form->addRow(tr("Caster:"), m_caster);
    form->addRow(tr("User:"), m_user);
    form->addRow(tr("Password:"), m_password);
    form->addRow(QString(), m_remember);
    form->addRow(QString(), m_tls);
    form->addRow(tr("Trust certificate:"), m_trust);
    layout->addLayout(form);

    auto* ggaBox = new QGroupBox(tr("Position sent to the caster (GGA)"), this);
    auto* ggaLayout = new QGridLayout(ggaBox);
    m_gga = new QButtonGroup(this);
    const QString labels[] = {tr("None"), tr("The receiver's fix (waits for one)"), tr("This position:")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(labels[i], ggaBox);
        m_gga->addButton(button, i);
        ggaLayout->addWidget(button, i, 0);
    }
    m_gga->button(static_cast<int>(v.gga))->setChecked(true);
    const auto spin = [&](double min, double max, int decimals, double value) {
        auto* s = new QDoubleSpinBox(ggaBox);
        s->setRange(min, max);
        s->setDecimals(decimals);
        s->setValue(value);
        return s;
    };
    m_lat = spin(-90, 90, 8, v.latitude);
    m_lon = spin(-180, 180, 8, v.longitude);
    m_alt = spin(-1000, 20000, 3, v.altitude);
    auto* fixed = new QHBoxLayout;
    fixed->addWidget(m_lat);
    fixed->addWidget(m_lon);
    fixed->addWidget(m_alt);
    ggaLayout->addLayout(fixed, 2, 1);
    m_interval = new QSpinBox(ggaBox);
    m_interval->setRange(1, 600);
    m_interval->setSuffix(tr(" s"));
    m_interval->setValue(v.ggaInterval);
    ggaLayout->addWidget(new QLabel(tr("Every:"), ggaBox), 3, 0);
    ggaLayout->addWidget(m_interval, 3, 1);
    layout->addWidget(ggaBox);

    auto* tableBar = new QHBoxLayout;
    auto* fetch = new QPushButton(tr("Get Source Table"), this);
    fetch->setObjectName(QStringLiteral("fetch"));
    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText(tr("Filter"));
    tableBar->addWidget(fetch);
    tableBar->addWidget(m_filter);
    layout->addLayout(tableBar);
    m_model = new QStandardItemModel(0, kColumns, this);
    m_model->setHorizontalHeaderLabels({tr("Mountpoint"), tr("Identifier"), tr("Format"), tr("Format details"), tr("Systems"),
                                        tr("Country"), tr("Latitude"), tr("Longitude"), tr("Distance km"), tr("NMEA"),
                                        tr("Authentication")});
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(Qt::UserRole);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table = new QTableView(this);
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    m_tableNote = new QLabel(this);
    m_tableNote->setWordWrap(true);
    layout->addWidget(m_tableNote);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Connect"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &NtripDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(fetch, &QPushButton::clicked, this, &NtripDialog::FetchSourceTable);
    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { UseRow(index.row()); });
    resize(900, 640);
}

NtripDialog::~NtripDialog() = default;

NtripDialogValues NtripDialog::Values() const
{
    NtripDialogValues v;
    v.casterText = m_caster->text().trimmed();
    v.user = m_user->text();
    v.password = m_password->text();
    v.rememberPassword = m_remember->isChecked();
    v.tls = m_tls->isChecked();
    v.trustCertificate = m_trust->text().trimmed();
    v.gga = static_cast<NtripDialogValues::Gga>(m_gga->checkedId());
    v.latitude = m_lat->value();
    v.longitude = m_lon->value();
    v.altitude = m_alt->value();
    v.ggaInterval = m_interval->value();
    return v;
}

void NtripDialog::accept()
{
    // Credentials typed into the caster text move to their own fields, so
    // the text that is saved and shown never holds a password.
    CasterParse parse = ParseCasterText(m_caster->text().toStdString());
    if (!parse.Ok()) {
        m_tableNote->setText(tr("The caster: %1.").arg(QString::fromStdString(parse.error)));
        return;
    }
    if (parse.address.hasCredentials) {
        m_user->setText(QString::fromStdString(parse.address.user));
        m_password->setText(QString::fromStdString(parse.address.password));
        parse.address.hasCredentials = false;
    }
    if (parse.address.mountpoint.empty()) {
        m_tableNote->setText(tr("Choose a mountpoint: Get Source Table lists them."));
        return;
    }
    m_caster->setText(QString::fromStdString(CasterTextWithoutPassword(parse.address)));
    QDialog::accept();
}

void NtripDialog::FetchSourceTable()
{
    CasterParse parse = ParseCasterText(m_caster->text().toStdString());
    if (!parse.Ok()) {
        m_tableNote->setText(tr("The caster: %1.").arg(QString::fromStdString(parse.error)));
        return;
    }
    if (!m_user->text().isEmpty() && !parse.address.hasCredentials) {
        parse.address.user = m_user->text().toStdString();
        parse.address.password = m_password->text().toStdString();
        parse.address.hasCredentials = true;
    }
    delete m_fetcher;
    m_fetcher = new NtripClient(this);
    connect(m_fetcher, &NtripClient::sourceTableReady, this, &NtripDialog::ShowSourceTable);
    connect(m_fetcher, &NtripClient::failed, this, [this](NtripError, const QString& text) { m_tableNote->setText(text); });
    NtripClientOptions options;
    options.address = parse.address;
    options.tls = m_tls->isChecked();
    m_tableNote->setText(tr("Asking %1 for its source table…").arg(QString::fromStdString(CasterTextWithoutPassword(parse.address))));
    m_fetcher->FetchSourceTable(options);
}

void NtripDialog::ShowSourceTable(const SourceTable& table)
{
    m_model->removeRows(0, m_model->rowCount());
    for (const StreamRecord& r : table.streams) {
        std::optional<double> distance;
        if (m_receiver && r.latitude && r.longitude)
            distance = GeodesicDistance(*m_receiver, Geodetic{*r.latitude, *r.longitude, 0.0}) / 1000.0;
        QList<QStandardItem*> row{TextItem(r.mountpoint), TextItem(r.identifier), TextItem(r.format), TextItem(r.formatDetails),
                                  TextItem(r.navSystem), TextItem(r.country), NumberItem(r.latitude, 4),
                                  NumberItem(r.longitude, 4), NumberItem(distance, 1), TextItem(r.nmea ? "yes" : "no"),
                                  TextItem(r.authentication)};
        for (QStandardItem* item : row)
            if (!item->data(Qt::UserRole).isValid())
                item->setData(item->text(), Qt::UserRole);
        m_model->appendRow(row);
    }
    QStringList others;
    for (const CasterRecord& c : table.casters)
        others << tr("caster %1:%2 (%3)").arg(QString::fromStdString(c.host), QString::fromStdString(c.port),
                                              QString::fromStdString(c.identifier));
    for (const NetworkRecord& n : table.networks)
        others << tr("network %1 (%2)").arg(QString::fromStdString(n.identifier), QString::fromStdString(n.operatorName));
    m_tableNote->setText(tr("%n stream(s)", nullptr, static_cast<int>(table.streams.size())) +
                         (others.isEmpty() ? QString() : QStringLiteral("; ") + others.join(QStringLiteral(", "))));
    m_table->sortByColumn(m_receiver ? kDistance : kMount, Qt::AscendingOrder);
    m_table->resizeColumnsToContents();
}

void NtripDialog::UseRow(int proxyRow)
{
    const QModelIndex source = m_proxy->mapToSource(m_proxy->index(proxyRow, kMount));
    const QString mount = m_model->item(source.row(), kMount)->text();
    CasterParse parse = ParseCasterText(m_caster->text().toStdString());
    if (!parse.Ok())
        return;
    parse.address.mountpoint = mount.toStdString();
    m_caster->setText(QString::fromStdString(CasterTextWithoutPassword(parse.address)));
    if (m_model->item(source.row(), kNmea)->text() == QLatin1String("yes") && m_gga->checkedId() == 0)
        m_gga->button(static_cast<int>(NtripDialogValues::Gga::Receiver))->setChecked(true);
}
