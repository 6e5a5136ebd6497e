#pragma once

#include <functional>
#include <string>
#include <vector>

namespace drunvale {

// Lists the serial ports a user may pick; the settings dialog takes one so tests can feed a
// fixed list.
using SerialPortLister = std::function<std::vector<std::string>()>;

// The serial ports present on this machine, in a fixed order. Linux: /dev/ttyS<n>, /dev/ttyUSB<n>
// and /dev/ttyACM<n> (each group by number), then the stable names under /dev/serial/by-id.
// Windows: the ports listed under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, in OrderComPorts order.
std::vector<std::string> ProbeSerialPorts();

// Windows: COM<n> names by number (COM2 before COM10), then any other names in text order; each
// name once, compared without regard to case.
std::vector<std::string> OrderComPorts(std::vector<std::string> names);

// Whether path is a serial port. A port held exclusively (a running connection) counts. Linux:
// a character device that answers a termios query, opened without waiting for a carrier and
// closed at once; a built-in UART slot with no chip behind it does not count. Windows: a device
// that opens as a serial port (keeps a line state), or is held by another program.
bool SerialPortAnswers(const std::string& path);

// Linux: the names worth probing under devDir, in the order above, whether or not a port answers.
std::vector<std::string> SerialPortCandidates(const std::string& devDir);

}  // namespace drunvale
