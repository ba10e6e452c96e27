#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Lists the serial ports present on the machine: `ports` gets each one's
// device path (COM name on Windows), `descriptions` its description, in the
// order the system lists them; both are emptied first and always have the
// same length. False, with both empty, when the list cannot be obtained.
bool EnumerateSerialPorts(std::vector<std::string>& ports, std::vector<std::string>& descriptions);

// The number of a Windows port name: "COM" in any case followed by nothing
// but decimal digits ("COM7", "com12"); nothing for "LPT1", "COM", "COM3A"
// or a number that does not fit.
std::optional<unsigned> ComPortNumber(std::string_view portName);

// "product, manufacturer", or whichever of the two is known.
std::string PortDescription(std::string_view product, std::string_view manufacturer);
