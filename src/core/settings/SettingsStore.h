// Per-user settings store: sections of named integers and texts.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace zk7 {

class ISettingsStore {
public:
  virtual ~ISettingsStore() = default;
  virtual int ReadInt(const std::string& strSection, const std::string& strKey, int nDefault) const = 0;
  virtual std::string ReadText(const std::string& strSection, const std::string& strKey,
                               const std::string& strDefault) const = 0;
  virtual void WriteInt(const std::string& strSection, const std::string& strKey, int nValue) = 0;
  virtual void WriteText(const std::string& strSection, const std::string& strKey,
                         const std::string& strValue) = 0;
};

// The store of this platform: an INI file in the user's configuration folder
// (QSettings). An explicit file path is used by tests and tools.
std::unique_ptr<ISettingsStore> CreateUserSettingsStore();
std::unique_ptr<ISettingsStore> CreateIniSettingsStore(const std::string& strIniPath);

} // namespace zk7
