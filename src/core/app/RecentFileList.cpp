// The recent-file list and its place in the settings store.
#include "app/RecentFileList.h"

#include <algorithm>

#include "settings/SettingsStore.h"

namespace zk7 {

namespace {
std::string KeyOf(int nIndex) { return "File" + std::to_string(nIndex + 1); }
} // namespace

void CRecentFileList::Add(const std::string& strPath) {
  if (strPath.empty())
    return;
  m_aPaths.erase(std::remove(m_aPaths.begin(), m_aPaths.end(), strPath), m_aPaths.end());
  m_aPaths.insert(m_aPaths.begin(), strPath);
  if (static_cast<int>(m_aPaths.size()) > m_nSize)
    m_aPaths.resize(static_cast<size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex) {
  if (nIndex < 0 || nIndex >= static_cast<int>(m_aPaths.size()))
    return;
  m_aPaths.erase(m_aPaths.begin() + nIndex);
}

void CRecentFileList::Load(const ISettingsStore& store) {
  m_aPaths.clear();
  for (int i = 0; i < m_nSize; ++i) {
    const std::string strPath = store.ReadText(RECENT_FILES_SECTION, KeyOf(i), "");
    if (strPath.empty())
      break;
    if (std::find(m_aPaths.begin(), m_aPaths.end(), strPath) == m_aPaths.end())
      m_aPaths.push_back(strPath);
  }
}

void CRecentFileList::Save(ISettingsStore& store) const {
  // Every key is written so that entries removed since the last save disappear.
  for (int i = 0; i < m_nSize; ++i)
    store.WriteText(RECENT_FILES_SECTION, KeyOf(i), i < static_cast<int>(m_aPaths.size()) ? m_aPaths[i] : "");
}

} // namespace zk7
