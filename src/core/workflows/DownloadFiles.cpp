#include "workflows/DownloadFiles.h"

#include <unistd.h>

#include <cstdio>

#include "link/DownloadPath.h"
#include "link/ZK7Dev.h"
#include "strings/StringTable.h"
#include "workflows/FileSelection.h"

namespace zk7 {

const std::array<sStorageCategory, ZK7_CATEGORY_COUNT> g_aStorageCategories = {{
    {ZK7_DEVICE_CONFIGS, IDS_STORAGE_CONFIGS},
    {ZK7_DEVICE_LOGS, IDS_STORAGE_LOGS},
    {ZK7_DEVICE_INTERNAL, IDS_STORAGE_INTERNAL},
    {ZK7_DEVICE_USB, IDS_STORAGE_USB},
    {ZK7_DEVICE_SDCARD, IDS_STORAGE_SDCARD},
}};

std::string CategoryDisplayName(int nCategory) {
  return LoadString(g_aStorageCategories.at(static_cast<size_t>(nCategory)).nNameId);
}

namespace {

bool IsRemovable(const std::string& strDevice) {
  return strDevice == ZK7_DEVICE_USB || strDevice == ZK7_DEVICE_SDCARD;
}

// A folder counts as present when it is one and can be written to; anything else is made.
bool EnsureFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  auto usable = [&] { return std::filesystem::is_directory(folder, ec) && access(folder.c_str(), W_OK) == 0; };
  if (usable()) return true;
  std::filesystem::create_directories(folder, ec);
  return usable();
}

} // namespace

CReplacePolicy::eDecision CReplacePolicy::Decide(const std::string& strLocalPath, CDownloadObserver& observer) {
  if (!m_bToAll) {
    switch (observer.AskReplaceFile(strLocalPath)) {
    case eReplaceAnswer::Yes: m_bReplace = 1; m_bToAll = 0; break;
    case eReplaceAnswer::No: m_bReplace = 0; m_bToAll = 0; break;
    case eReplaceAnswer::YesToAll: m_bReplace = 1; m_bToAll = 1; break;
    case eReplaceAnswer::NoToAll: m_bReplace = 0; m_bToAll = 1; break;
    case eReplaceAnswer::Cancel: return eDecision::Cancel;
    }
  }
  return m_bReplace ? eDecision::Replace : eDecision::Skip;
}

std::string CDownloadFiles::ListingTitle(const std::string& strAddress) {
  return "Asking instrument '" + strAddress + "'";
}

std::string CDownloadFiles::DownloadTitle(const std::string& strAddress) {
  return "Download files from '" + strAddress + "'";
}

bool CDownloadFiles::Cancelled(CZK7Dev& dev, CDownloadObserver& observer) {
  if (observer.IsCancelled() || dev.IsCancelRequested()) m_bCancelled = true;
  return m_bCancelled;
}

int CDownloadFiles::List(CZK7Dev& dev, const std::string& strAddress, CDownloadObserver& observer) {
  for (auto& a : m_aCategories) a.clear();
  m_bCancelled = false;
  observer.SetTitle(ListingTitle(strAddress));
  observer.SetRange(ZK7_CATEGORY_COUNT);
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k) {
    if (k > 0 && Cancelled(dev, observer)) break;
    observer.SetPosition(k + 1);
    char sz[32];
    std::snprintf(sz, sizeof sz, "%d / %d", k + 1, ZK7_CATEGORY_COUNT);
    observer.SetStatus(sz);
    const std::string strDevice = g_aStorageCategories[static_cast<size_t>(k)].pszDevice;
    int nResult = ZK7_OK;
    std::string strFirstError;
    for (int nAttempt = 0; nAttempt < ZK7_LIST_ATTEMPTS; ++nAttempt) {
      // A failure closed the connection: each further attempt logs in again.
      nResult = dev.IsLogged() ? ZK7_OK : dev.Reconnect();
      if (nResult == ZK7_OK) nResult = dev.ListDirectory(strDevice, m_aCategories[static_cast<size_t>(k)]);
      if (nResult == ZK7_ERR_REFUSED && IsRemovable(strDevice)) nResult = ZK7_OK;  // not plugged in
      if (nResult == ZK7_OK) break;
      if (nResult == ZK7_ERR_CANCELLED || Cancelled(dev, observer)) {
        m_bCancelled = true;
        return ZK7_ERR_CANCELLED;
      }
      if (strFirstError.empty()) strFirstError = dev.GetLastErrorText();
    }
    if (nResult != ZK7_OK) {
      // The link's text is the last attempt's: the first cause is what the user needs.
      dev.SetLastErrorText(strFirstError);
      return nResult;
    }
  }
  return ZK7_OK;
}

bool CDownloadFiles::ListedSizeUnchanged(CZK7Dev& dev, const std::string& strDevice, const std::string& strDir,
                                         const sFileZK7& file) {
  std::vector<sResDir> aDirs;
  if (dev.ListDirectory(strDevice, aDirs) != ZK7_OK) return false;
  for (const auto& dir : aDirs)
    if (dir.strName == strDir)
      for (const auto& f : dir.aFiles)
        if (f.strName == file.strName) return f.nSize == file.nSize;
  return false;
}

int CDownloadFiles::CountSelected() const {
  int n = 0;
  for (const auto& aDirs : m_aCategories)
    for (const auto& dir : aDirs)
      for (const auto& file : dir.aFiles) n += file.bSelected ? 1 : 0;
  return n;
}

bool CDownloadFiles::Download(CZK7Dev& dev, const std::filesystem::path& destination, CDownloadObserver& observer,
                              std::string& strMessage) {
  strMessage.clear();
  m_aRefused.clear();
  m_bCancelled = false;
  observer.SetRange(2 * CountSelected());
  int nPos = 0;
  CReplacePolicy policy;
  dev.SetBlockCallback([&observer](int64_t nDone, int64_t nTotal) { return observer.OnBlock(nDone, nTotal); });
  // Bytes kept for a file that finally failed serve nobody.
  struct sReset {
    CZK7Dev& dev;
    ~sReset() {
      dev.SetBlockCallback(nullptr);
      dev.DiscardPartial();
    }
  } reset{dev};
  auto cancelled = [&] {
    strMessage.clear();
    m_bCancelled = true;
    return false;
  };

  for (size_t k = 0; k < m_aCategories.size(); ++k) {
    const std::string strDevice = g_aStorageCategories[k].pszDevice;
    for (auto& dir : m_aCategories[k]) {
      for (auto& file : dir.aFiles) {
        if (!file.bSelected) continue;
        std::string strRefusal;
        std::filesystem::path local = BuildDownloadPath(destination, strDevice, dir.strName, file.strName, strRefusal);
        if (strRefusal.empty()) strRefusal = CheckModuleSize(file.strName, file.nSize);
        if (!strRefusal.empty()) {
          // Refused again on any attempt: skipped, and named in the summary.
          file.bSelected = 0;
          m_aRefused.push_back(strRefusal);
          continue;
        }
        const std::filesystem::path category = destination / strDevice;
        const std::filesystem::path folder = local.parent_path();
        bool bDone = false;
        bool bDecided = false;  // the replace question is asked once per file, not per attempt
        std::string strFirstError;
        for (int nAttempt = 1; nAttempt <= ZK7_DOWNLOAD_ATTEMPTS && !bDone; ++nAttempt) {
          file.bSelected = 0;
          for (const auto& f : {destination, category, folder}) {
            if (!EnsureFolder(f)) {
              strMessage = "Cannot create '" + f.string() + "' directory";
              return false;
            }
          }
          if (nAttempt == 1) observer.SetPosition(nPos++);
          char szSize[32];
          std::snprintf(szSize, sizeof szSize, " (%ld bytes)", static_cast<long>(file.nSize));
          observer.SetStatus(dir.strName + ": " + file.strName + szSize);
          // A cancel is reported as one, not as the failed attempt before it.
          if (Cancelled(dev, observer)) return cancelled();
          if (nAttempt == 1) observer.SetPosition(nPos++);
          std::error_code ec;
          if (!bDecided && std::filesystem::exists(local, ec)) {
            bDecided = true;
            CReplacePolicy::eDecision decision = policy.Decide(local.string(), observer);
            if (decision == CReplacePolicy::eDecision::Cancel) return cancelled();
            if (decision == CReplacePolicy::eDecision::Skip) break;
          }
          int nResult = dev.IsLogged() ? ZK7_OK : dev.Reconnect();
          const std::string strLocal = local.string();
          if (nResult == ZK7_OK && dev.PartialBytes(strDevice, dir.strName, file.strName, file.nSize, strLocal) > 0 &&
              !ListedSizeUnchanged(dev, strDevice, dir.strName, file))
            dev.DiscardPartial();  // the module's file changed: its bytes so far are not these
          if (nResult == ZK7_OK && !dev.IsLogged()) nResult = dev.Reconnect();
          if (nResult == ZK7_OK) nResult = dev.DownloadFile(strDevice, dir.strName, file.strName, file.nSize, strLocal);
          if (nResult == ZK7_OK) {
            file.bSelected = 1;
            bDone = true;
          } else if (nResult == ZK7_ERR_CANCELLED || Cancelled(dev, observer)) {
            return cancelled();
          } else {
            if (strFirstError.empty()) strFirstError = dev.GetLastErrorText();
            if (nAttempt == ZK7_DOWNLOAD_ATTEMPTS) {
              strMessage = strFirstError;
              return false;
            }
          }
        }
      }
    }
  }
  return true;
}

sDownloadSummary CDownloadFiles::Summarize(const std::filesystem::path& destination) const {
  sDownloadSummary summary;
  for (size_t k = 0; k < m_aCategories.size(); ++k) {
    for (const auto& dir : m_aCategories[k]) {
      for (const auto& file : dir.aFiles) {
        if (!file.bSelected) continue;
        ++summary.nTotal;
        if (!IsResultsFileName(file.strName) && !IsLogFileName(file.strName)) continue;
        if (summary.nOpenable++ == 0) {
          std::filesystem::path path = destination / g_aStorageCategories[k].pszDevice;
          if (!dir.strName.empty()) path /= dir.strName;
          summary.firstOpenable = path / file.strName;
        }
      }
    }
  }
  if (summary.nTotal == 0) {
    summary.strMessage = "No file was downloaded.";
  } else if (summary.nTotal == 1) {
    summary.strMessage = "One file has been loaded.";
  } else {
    char sz[64];
    std::snprintf(sz, sizeof sz, "%d files have been dowloaded.", summary.nTotal);
    summary.strMessage = sz;
  }
  summary.aRefused = m_aRefused;
  if (!m_aRefused.empty()) summary.strMessage += "\n";
  for (const auto& strRefusal : m_aRefused) summary.strMessage += "\n" + strRefusal;
  if (summary.nOpenable == 1)
    summary.strQuestion = "Do you want to open it ?";
  else if (summary.nOpenable > 1)
    summary.strQuestion = "Do you want to open one of the loaded files ?";
  return summary;
}

} // namespace zk7
