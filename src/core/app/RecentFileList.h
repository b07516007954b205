// The recent-file list of the File menus: four paths, the latest first, kept in
// the settings store.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

class ISettingsStore;

inline constexpr const char* RECENT_FILES_SECTION = "Recent File List";

class CRecentFileList {
public:
  explicit CRecentFileList(int nSize = 4) : m_nSize(nSize) {}

  // Puts the path first; an entry already in the list moves up instead of
  // appearing twice; the oldest entry falls off a full list.
  void Add(const std::string& strPath);
  // Removes entry nIndex (a file that could not be opened again); out of range does nothing.
  void Remove(int nIndex);

  int GetSize() const { return m_nSize; }
  const std::vector<std::string>& GetPaths() const { return m_aPaths; }

  // Keys "File1" to "FileN" of RECENT_FILES_SECTION; an empty value ends the list.
  void Load(const ISettingsStore& store);
  void Save(ISettingsStore& store) const;

private:
  int m_nSize;
  std::vector<std::string> m_aPaths;
};

} // namespace zk7
