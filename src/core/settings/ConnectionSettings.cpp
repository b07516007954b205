// Reading and writing the "Connection" section of the settings store.
#include "settings/ConnectionSettings.h"

#include "settings/SettingsStore.h"

namespace zk7 {

sConnectionSettings ReadConnectionSettings(const ISettingsStore& store) {
  const sConnectionSettings defaults;
  sConnectionSettings settings;
  settings.m_nPort = store.ReadInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, defaults.m_nPort);
  settings.m_strAddress = store.ReadText(CONNECTION_SECTION, CONNECTION_KEY_ADDRESS, defaults.m_strAddress);
  settings.m_strUser = store.ReadText(CONNECTION_SECTION, CONNECTION_KEY_USER, defaults.m_strUser);
  return settings;
}

void WriteConnectionSettings(ISettingsStore& store, const sConnectionSettings& settings) {
  store.WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, settings.m_nPort);
  store.WriteText(CONNECTION_SECTION, CONNECTION_KEY_ADDRESS, settings.m_strAddress);
  store.WriteText(CONNECTION_SECTION, CONNECTION_KEY_USER, settings.m_strUser);
}

bool IsConnectionPortAccepted(int nPort) {
  return nPort >= MIN_CONNECTION_PORT && nPort <= MAX_CONNECTION_PORT;
}

} // namespace zk7
