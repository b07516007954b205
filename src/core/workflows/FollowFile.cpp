#include "workflows/FollowFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>

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

bool PickGrowingFile(const std::vector<sFollowTarget>& aBefore, const std::vector<sFollowTarget>& aAfter,
                     sFollowTarget& target) {
  bool bFound = false;
  for (const auto& after : aAfter) {
    auto it = std::find_if(aBefore.begin(), aBefore.end(), [&](const sFollowTarget& b) { return SameFile(b, after); });
    const bool bGrew = it == aBefore.end() ? after.nSize > 0 : after.nSize > it->nSize;
    if (bGrew && (!bFound || after.strFile > target.strFile)) {
      target = after;
      bFound = true;
    }
  }
  return bFound;
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

bool CFollowFile::Start(std::string& strError) {
  m_local = BuildDownloadPath(m_destination, m_target.strDevice, m_target.strDir, m_target.strFile, strError);
  if (m_local.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(m_local.parent_path(), ec);
  std::ofstream out(m_local, std::ios::binary | std::ios::trunc);
  if (!out) {
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

int64_t CFollowFile::Records() const {
  if (m_nDataOffset < 0 || m_nLocal < m_nDataOffset || m_nRecordSize <= 0) return 0;
  return (m_nLocal - m_nDataOffset) / m_nRecordSize;
}

std::string CFollowFile::ProgressLine() const {
  return m_target.strFile + ": " + std::to_string(Records()) + " records, " + std::to_string(m_nLocal) + " bytes (" +
         std::to_string(m_nFetched) + " fetched)";
}

} // namespace zk7
