#pragma once

#include <QFont>

// The console's fonts by the names the pages ask for. Where the system lacks
// the face, a metric twin stands in: Liberation Mono for Courier New,
// Liberation Sans for Arial, and Wine's Tahoma, registered on first use.
QFont TahomaFont(int pointSize);
QFont CourierNewFont(int pointSize);
QFont ArialFont(int pointSize);
