// The stored connection to a module: address, TCP port and user name (never the password).
#pragma once
#include <string>

namespace zk7 {

class ISettingsStore;

inline constexpr const char* CONNECTION_SECTION = "Connection";
inline constexpr const char* CONNECTION_KEY_ADDRESS = "IP Address";
inline constexpr const char* CONNECTION_KEY_PORT = "Port";
inline constexpr const char* CONNECTION_KEY_USER = "User ID";

constexpr int DEFAULT_CONNECTION_PORT = 80;
// The connect dialog's port field accepts every TCP port.
constexpr int MIN_CONNECTION_PORT = 1;
constexpr int MAX_CONNECTION_PORT = 65535;

struct sConnectionSettings {
  std::string m_strAddress;
  int m_nPort = DEFAULT_CONNECTION_PORT;
  std::string m_strUser;
};

// Each absent key gives its default: empty address and user, port 80.
sConnectionSettings ReadConnectionSettings(const ISettingsStore& store);

// Written after a successful login only, so that a failed attempt leaves the last good values.
void WriteConnectionSettings(ISettingsStore& store, const sConnectionSettings& settings);

// True when the connect dialog would accept the port.
bool IsConnectionPortAccepted(int nPort);

} // namespace zk7
