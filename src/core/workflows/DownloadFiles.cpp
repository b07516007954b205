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

int CDownloadFiles::List(CZK7Dev& dev, const std::string& strAddress, CDownloadObserver& observer) {
  for (auto& a : m_aCategories) a.clear();
  observer.SetTitle(ListingTitle(strAddress));
  observer.SetRange(ZK7_CATEGORY_COUNT);
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k) {
    if (k > 0 && observer.IsCancelled()) break;
    observer.SetPosition(k + 1);
    char sz[32];
    std::snprintf(sz, sizeof sz, "%d / %d", k + 1, ZK7_CATEGORY_COUNT);
    observer.SetStatus(sz);
    const std::string strDevice = g_aStorageCategories[static_cast<size_t>(k)].pszDevice;
    int nResult = ZK7_OK;
    for (int nAttempt = 0; nAttempt < ZK7_LIST_ATTEMPTS; ++nAttempt) {
      nResult = dev.ListDirectory(strDevice, m_aCategories[static_cast<size_t>(k)]);
      if (nResult == ZK7_ERR_REFUSED && IsRemovable(strDevice)) nResult = ZK7_OK;  // not plugged in
      if (nResult == ZK7_OK) break;
    }
    if (nResult != ZK7_OK) return nResult;
  }
  return ZK7_OK;
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
  observer.SetRange(2 * CountSelected());
  int nPos = 0;
  CReplacePolicy policy;
  dev.SetBlockCallback([&observer](int64_t nDone, int64_t nTotal) { return observer.OnBlock(nDone, nTotal); });
  struct sResetCallback {
    CZK7Dev& dev;
    ~sResetCallback() { dev.SetBlockCallback(nullptr); }
  } reset{dev};

  for (size_t k = 0; k < m_aCategories.size(); ++k) {
    const std::string strDevice = g_aStorageCategories[k].pszDevice;
    for (auto& dir : m_aCategories[k]) {
      for (auto& file : dir.aFiles) {
        if (!file.bSelected) continue;
        std::string strRefusal;
        std::filesystem::path local = BuildDownloadPath(destination, strDevice, dir.strName, file.strName, strRefusal);
        if (strRefusal.empty()) strRefusal = CheckModuleSize(file.strName, file.nSize);
        if (!strRefusal.empty()) {
          // Refused names and sizes would be refused again: no further attempt.
          file.bSelected = 0;
          strMessage = strRefusal;
          return false;
        }
        const std::filesystem::path category = destination / strDevice;
        const std::filesystem::path folder = local.parent_path();
        bool bDone = false;
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
          if (observer.IsCancelled()) return false;
          if (nAttempt == 1) observer.SetPosition(nPos++);
          std::error_code ec;
          if (std::filesystem::exists(local, ec)) {
            CReplacePolicy::eDecision decision = policy.Decide(local.string(), observer);
            if (decision == CReplacePolicy::eDecision::Cancel) {
              strMessage.clear();
              return false;
            }
            if (decision == CReplacePolicy::eDecision::Skip) break;
          }
          int nResult = dev.DownloadFile(strDevice, dir.strName, file.strName, file.nSize, local.string());
          if (nResult == ZK7_OK) {
            file.bSelected = 1;
            bDone = true;
          } else if (nResult == ZK7_ERR_CANCELLED) {
            strMessage.clear();
            return false;
          } else {
            strMessage = dev.GetLastErrorText();
            if (nAttempt == ZK7_DOWNLOAD_ATTEMPTS) return false;
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
  if (summary.nOpenable == 1)
    summary.strQuestion = "Do you want to open it ?";
  else if (summary.nOpenable > 1)
    summary.strQuestion = "Do you want to open one of the loaded files ?";
  return summary;
}

} // namespace zk7
