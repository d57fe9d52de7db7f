// Names that several programs of the suite share: its files, as the package and the
// installation folder hold them, and the system key that starts programs at log-on.
#pragma once

namespace corvina {

inline constexpr char kExtensionFileName[] = "Corvina.dll";
inline constexpr char kBandFileName[] = "CorvinaBar.dll";
inline constexpr char kResidentFileName[] = "CorvinaPlus.exe";
inline constexpr char kSettingsFileName[] = "Corvset.exe";
inline constexpr char kSetupFileName[] = "Uninstall.exe";

// Under HKEY_LOCAL_MACHINE: the machine-wide autostart list, read by the system at log-on.
inline constexpr char kMachineRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace corvina
