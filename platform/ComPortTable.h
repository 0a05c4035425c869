#pragma once

#include <QString>

// COM numbers and the devices behind them:
//   COM1-32   /dev/ttyS0-31
//   COM33-64  /dev/ttyUSB0-31
//   COM65-96  /dev/ttyACM0-31
//   COM97-128 the simulator's lines: links <runtime folder>/velmora-sim/line0-31
namespace ComPortTable {

inline constexpr int kHighestPort = 128;

// Device path of a COM number; empty outside 1..128.
QString DevicePath(int comNumber);
// COM number of a device path (also of the simulator's link target names); 0 when unknown.
int ComNumberOf(const QString& devicePath);
// "COM33 (ttyUSB0)", "COM97 (simulator line0)": the text a port tree shows, from the
// library's port item format (string 393) and its word for the simulator.
QString DisplayName(int comNumber);
// Folder in which the simulator publishes its lines.
QString SimulatorLineFolder();
// Parses "COM5" or a device path into a device path; empty when it is neither.
QString ResolvePortName(const QString& portName);

// Opens the device exclusively for reading and writing and closes it at once.
// `reason` (optional) tells why it failed: busy, no permission, missing.
bool ProbePort(int comNumber, QString* reason = nullptr);
bool ProbeDevice(const QString& devicePath, QString* reason = nullptr);

} // namespace ComPortTable
