#include "workflows/FollowFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "format/Formatting.h"
#include "link/DownloadPath.h"
#include "link/ZK7Dev.h"

namespace zk7 {

namespace {

bool IsResultsName(const std::string& strName) {
  if (strName.size() < 3) return false;
  std::string strExt = strName.substr(strName.size() - 3);
  std::transform(strExt.begin(), strExt.end(), strExt.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return strExt == ".zk";
}

bool SameFile(const sFollowTarget& a, const sFollowTarget& b) {
  return a.strDevice == b.strDevice && a.strDir == b.strDir && a.strFile == b.strFile;
}

bool IsLinkFailure(int nResult) {
  return nResult != ZK7_OK && nResult != ZK7_ERR_LOCAL_FILE && nResult != ZK7_ERR_CANCELLED;
}

} // namespace

const std::vector<std::string>& ResultsDevices() {
  static const std::vector<std::string> a = {ZK7_DEVICE_INTERNAL, ZK7_DEVICE_SDCARD, ZK7_DEVICE_USB};
  return a;
}

bool ListResultsFiles(CZK7Dev& dev, std::vector<sFollowTarget>& aFiles) {
  aFiles.clear();
  bool bAny = false;
  std::string strFirstError;
  for (const auto& strDevice : ResultsDevices()) {
    std::vector<sResDir> aDirs;
    if (dev.ListDirectory(strDevice, aDirs) != ZK7_OK) {
      if (strFirstError.empty()) strFirstError = dev.GetLastErrorText();
      continue;
    }
    bAny = true;
    for (const auto& dir : aDirs)
      for (const auto& file : dir.aFiles)
        if (IsResultsName(file.strName) && file.nSize >= 0)
          aFiles.push_back({strDevice, dir.strName, file.strName, file.nSize});
  }
  if (!bAny) dev.SetLastErrorText(strFirstError);
  return bAny;
}

std::vector<sFollowTarget> GrowingFiles(const std::vector<sFollowTarget>& aBefore,
                                        const std::vector<sFollowTarget>& aAfter) {
  std::vector<sFollowTarget> aGrown;
  for (const auto& after : aAfter) {
    auto it = std::find_if(aBefore.begin(), aBefore.end(), [&](const sFollowTarget& b) { return SameFile(b, after); });
    if (it == aBefore.end() ? after.nSize > 0 : after.nSize > it->nSize) aGrown.push_back(after);
  }
  std::stable_sort(aGrown.begin(), aGrown.end(),
                   [](const sFollowTarget& a, const sFollowTarget& b) { return a.strFile > b.strFile; });
  return aGrown;
}

bool PickGrowingFile(const std::vector<sFollowTarget>& aBefore, const std::vector<sFollowTarget>& aAfter,
                     sFollowTarget& target) {
  const std::vector<sFollowTarget> aGrown = GrowingFiles(aBefore, aAfter);
  if (aGrown.empty()) return false;
  target = aGrown.front();
  return true;
}

bool PauseUnlessCancelled(const CZK7Dev& dev, int nMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMs);
  while (!dev.IsCancelRequested() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !dev.IsCancelRequested();
}

bool FindGrowingFiles(CZK7Dev& dev, int nIntervalMs, int nListings, std::vector<sFollowTarget>& aAll,
                      std::vector<sFollowTarget>& aGrown) {
  aGrown.clear();
  if (!ListResultsFiles(dev, aAll)) return false;
  for (int i = 1; i < nListings; ++i) {
    if (!PauseUnlessCancelled(dev, nIntervalMs)) {
      dev.SetLastErrorText(ZK7_MSG_CANCELLED);
      return false;
    }
    std::vector<sFollowTarget> aAfter;
    if (!ListResultsFiles(dev, aAfter)) return false;
    aGrown = GrowingFiles(aAll, aAfter);
    aAll = std::move(aAfter);
    if (!aGrown.empty()) return true;
    int bRunning = 0;
    if (dev.ReadAcquisitionStatus(bRunning) != ZK7_OK) return false;
    if (!bRunning) return true;
  }
  return true;
}

bool ParseModulePath(const std::string& strPath, sFollowTarget& target) {
  std::vector<std::string> aParts;
  size_t nStart = 0;
  for (size_t n; (n = strPath.find('/', nStart)) != std::string::npos; nStart = n + 1)
    aParts.push_back(strPath.substr(nStart, n - nStart));
  aParts.push_back(strPath.substr(nStart));
  if (aParts.size() < 2 || aParts.size() > 3 || aParts.front().empty() || aParts.back().empty()) return false;
  target = sFollowTarget{aParts[0], aParts.size() == 3 ? aParts[1] : "", aParts.back(), 0};
  return aParts.size() == 2 || !aParts[1].empty();
}

CFollowFile::CFollowFile(const sFollowTarget& target, const std::filesystem::path& destination)
    : m_target(target), m_destination(destination) {}

bool CFollowFile::Locate(std::string& strError) {
  m_local = BuildDownloadPath(m_destination, m_target.strDevice, m_target.strDir, m_target.strFile, strError);
  return !m_local.empty();
}

bool CFollowFile::Start(std::string& strError) {
  if (m_local.empty() && !Locate(strError)) return false;
  m_pLock.reset();
  std::error_code ec;
  std::filesystem::create_directories(m_local.parent_path(), ec);
  // Locked before it is emptied: a copy another follower is writing is left as it is.
  const int fd = ::open(m_local.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    strError = "Can't create results file '" + m_local.string() + "'";
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    strError = "'" + m_local.string() + "' is being followed already";
    return false;
  }
  m_pLock = std::shared_ptr<const int>(new int(fd), [](const int* p) {
    ::close(*p);
    delete p;
  });
  if (::ftruncate(fd, 0) != 0) {
    m_pLock.reset();
    strError = "Can't create results file '" + m_local.string() + "'";
    return false;
  }
  m_nLocal = 0;
  m_nFetched = 0;
  m_nDataOffset = -1;
  return true;
}

int CFollowFile::CatchUp(CZK7Dev& dev) {
  std::vector<sResDir> aDirs;
  int nResult = dev.ListDirectory(m_target.strDevice, aDirs);
  if (nResult == ZK7_OK) {
    bool bListed = false;
    for (const auto& dir : aDirs)
      for (const auto& file : dir.aFiles)
        if (dir.strName == m_target.strDir && file.strName == m_target.strFile) {
          m_target.nSize = file.nSize;
          bListed = true;
        }
    if (!bListed) {
      dev.SetLastErrorText("File does not exist");
      return ZK7_ERR_NO_FILE;
    }
    int64_t nAppended = 0, nFetched = 0;
    nResult = dev.AppendFileRange(m_target.strDevice, m_target.strDir, m_target.strFile, m_nLocal, m_target.nSize,
                                  m_local.string(), &nAppended, &nFetched);
    m_nLocal += nAppended;
    m_nFetched += nFetched;
  }
  if (m_nDataOffset < 0 && m_nLocal >= 48) {
    // The layout of the records, from the copy's header: channel count at 40, data offset at 44.
    std::ifstream in(m_local, std::ios::binary);
    uint8_t header[48] = {};
    if (in.read(reinterpret_cast<char*>(header), sizeof header)) {
      int32_t nChannels = 0;
      uint32_t nOffset = 0;
      std::memcpy(&nChannels, header + 40, 4);
      std::memcpy(&nOffset, header + 44, 4);
      if (nChannels > 0) {
        m_nRecordSize = 8 + 8 * static_cast<int64_t>(nChannels);
        m_nDataOffset = nOffset;
      }
    }
  }
  if (IsLinkFailure(nResult)) {
    const std::string strError = dev.GetLastErrorText();
    dev.Reconnect();
    dev.SetLastErrorText(strError);
  }
  return nResult;
}

CFollowFile::eStep CFollowFile::Step(CZK7Dev& dev) {
  int bRunning = 1;
  int nResult = dev.ReadAcquisitionStatus(bRunning);
  const int64_t nBefore = m_nLocal;
  if (nResult == ZK7_OK) {
    nResult = CatchUp(dev);
  } else if (nResult != ZK7_ERR_CANCELLED) {
    const std::string strText = dev.GetLastErrorText();
    dev.Reconnect();
    dev.SetLastErrorText(strText);
  }
  m_nLastResult = nResult;
  if (nResult == ZK7_ERR_LOCAL_FILE || nResult == ZK7_ERR_NO_FILE) return eStep::Failed;
  if (nResult == ZK7_OK) {
    m_nFailures = 0;
    return bRunning ? eStep::Continue : eStep::Finished;
  }
  if (nResult == ZK7_ERR_CANCELLED) return eStep::Continue;
  m_nFailures = m_nLocal > nBefore ? 1 : m_nFailures + 1;
  return m_nFailures >= MAX_FAILURES_IN_A_ROW ? eStep::Failed : eStep::Continue;
}

int64_t CFollowFile::Records() const {
  if (m_nDataOffset < 0 || m_nLocal < m_nDataOffset || m_nRecordSize <= 0) return 0;
  return (m_nLocal - m_nDataOffset) / m_nRecordSize;
}

std::string CFollowFile::ProgressLine() const {
  return m_target.strFile + ": " + std::to_string(Records()) + " records, " + std::to_string(m_nLocal) + " bytes (" +
         std::to_string(m_nFetched) + " fetched)";
}

std::string LiveStatusText(eLiveState state, int64_t nRecords, double dLastTime, const std::string& strError) {
  std::string strCount = std::to_string(nRecords) + " records";
  if (nRecords > 0 && !std::isnan(dLastTime)) strCount += ", last " + FormatDateTime(dLastTime, true, false, 0);
  switch (state) {
    case eLiveState::Starting: return "Live: starting";
    case eLiveState::Following: return "Live: " + strCount;
    case eLiveState::Reconnecting: return "Live, reconnecting: " + strCount;
    case eLiveState::Stopped: return "Live stopped (acquisition ended): " + strCount;
    case eLiveState::Failed: break;
  }
  return "Live failed: " + strError;
}

} // namespace zk7
