#pragma once

#include <QDialog>
#include <optional>

#include "geo/earth_centred.h"
#include "rtcm/source_table.h"

class NtripClient;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QSpinBox;
class QStandardItemModel;
class QTableView;

// What Tools > NTRIP Client... hands back.
struct NtripDialogValues {
    enum class Gga { None, Receiver, Fixed };

    QString casterText;  // ntrip://HOST[:PORT]/MOUNTPOINT, without credentials
    QString user;
    QString password;
    bool rememberPassword = false;
    bool tls = false;
    QString trustCertificate;  // a PEM file; empty for none
    Gga gga = Gga::None;
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    int ggaInterval = 10;

    bool operator==(const NtripDialogValues&) const = default;
};

// The caster, the credentials, TLS and what GGA to send, and the caster's
// source table as a sortable, filterable table with each stream's distance
// from the shown receiver's fix. Choosing a stream puts its mountpoint in
// the caster text (and asks for GGA when the stream needs it).
class NtripDialog : public QDialog {
    Q_OBJECT
public:
    NtripDialog(const NtripDialogValues& values, std::optional<Geodetic> receiver, QWidget* parent = nullptr);
    ~NtripDialog() override;

    NtripDialogValues Values() const;
    void ShowSourceTable(const SourceTable& table);
    QTableView* TableView() const { return m_table; }
    QSortFilterProxyModel* Proxy() const { return m_proxy; }
    QLineEdit* Filter() const { return m_filter; }

    // The columns of the table.
    enum Column { kMount, kIdentifier, kFormat, kDetails, kSystems, kCountry, kLatitude, kLongitude, kDistance, kNmea, kAuth, kColumns };

public slots:
    void FetchSourceTable();
    void accept() override;

private:
    void UseRow(int proxyRow);

    std::optional<Geodetic> m_receiver;
    QLineEdit* m_caster = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_remember = nullptr;
    QCheckBox* m_tls = nullptr;
    QLineEdit* m_trust = nullptr;
    QButtonGroup* m_gga = nullptr;
    QDoubleSpinBox* m_lat = nullptr;
    QDoubleSpinBox* m_lon = nullptr;
    QDoubleSpinBox* m_alt = nullptr;
    QSpinBox* m_interval = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableView* m_table = nullptr;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QLabel* m_tableNote = nullptr;
    NtripClient* m_fetcher = nullptr;
};
