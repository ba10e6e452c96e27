#include "link/serial_port_enumeration.h"

#include <charconv>

#include <QSerialPortInfo>

std::optional<unsigned> ComPortNumber(std::string_view portName)
{
    if (portName.size() <= 3)
        return std::nullopt;
    for (size_t i = 0; i < 3; ++i)
        if ((portName[i] | 0x20) != "com"[i])
            return std::nullopt;
    const std::string_view digits = portName.substr(3);
    for (char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    unsigned number = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), number).ec != std::errc())
        return std::nullopt;
    return number;
}

std::string PortDescription(std::string_view product, std::string_view manufacturer)
{
    if (product.empty())
        return std::string(manufacturer);
    if (manufacturer.empty() || product == manufacturer)
        return std::string(product);
    return std::string(product) + ", " + std::string(manufacturer);
}

bool EnumerateSerialPorts(std::vector<std::string>& ports, std::vector<std::string>& descriptions)
{
    ports.clear();
    descriptions.clear();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        if (!ComPortNumber(info.portName().toStdString()))
            continue;
        ports.push_back(info.portName().toStdString());
#else
        ports.push_back(info.systemLocation().toStdString());
#endif
        descriptions.push_back(
            PortDescription(info.description().toStdString(), info.manufacturer().toStdString()));
    }
    return true;
}
