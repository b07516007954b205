#include "FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zk7::fuzz {

void Check(bool bOk, const char* pszCond, const std::string& strWhat) {
  if (bOk) return;
  std::fprintf(stderr, "ZK7 fuzz check failed: %s (%s)\n", pszCond, strWhat.c_str());
  std::abort();
}

CMemoryFile::CMemoryFile(const uint8_t* pData, size_t nSize, uint64_t nLength) {
  m_fd = memfd_create("zk7-fuzz", MFD_CLOEXEC);
  if (m_fd < 0) throw std::runtime_error("memfd_create failed");
  size_t nDone = 0;
  while (nDone < nSize) {
    ssize_t n = ::write(m_fd, pData + nDone, nSize - nDone);
    if (n <= 0) throw std::runtime_error("writing the memory file failed");
    nDone += static_cast<size_t>(n);
  }
  if (nLength > nSize && ::ftruncate(m_fd, static_cast<off_t>(nLength)) != 0)
    throw std::runtime_error("extending the memory file failed");
  m_strPath = "/proc/self/fd/" + std::to_string(m_fd);
}

CMemoryFile::~CMemoryFile() {
  if (m_fd >= 0) ::close(m_fd);
}

void SplitHoleTrailer(const uint8_t* pData, size_t nSize, size_t& nBytes, uint64_t& nLength) {
  nBytes = nSize;
  nLength = nSize;
  if (nSize < HOLE_TRAILER_SIZE ||
      std::memcmp(pData + nSize - sizeof HOLE_TRAILER_MAGIC, HOLE_TRAILER_MAGIC, sizeof HOLE_TRAILER_MAGIC) != 0)
    return;
  nBytes = nSize - HOLE_TRAILER_SIZE;
  uint64_t n;
  std::memcpy(&n, pData + nBytes, 8);
  nLength = n < nBytes ? nBytes : (n > MAX_HOLE_LENGTH ? MAX_HOLE_LENGTH : n);
}

std::vector<uint8_t> WithHoleTrailer(std::vector<uint8_t> aBytes, uint64_t nLength) {
  const size_t nPos = aBytes.size();
  aBytes.resize(nPos + HOLE_TRAILER_SIZE);
  std::memcpy(aBytes.data() + nPos, &nLength, 8);
  std::memcpy(aBytes.data() + nPos + 8, HOLE_TRAILER_MAGIC, 8);
  return aBytes;
}

namespace {

// The next length-prefixed piece of an input, cut short at its end.
std::string Piece(const uint8_t* pData, size_t nSize, size_t& nPos) {
  if (nPos >= nSize) return std::string();
  size_t n = pData[nPos++];
  if (n > nSize - nPos) n = nSize - nPos;
  std::string s(reinterpret_cast<const char*>(pData + nPos), n);
  nPos += n;
  return s;
}

} // namespace

std::string ExpandText(const uint8_t* pData, size_t nSize) {
  if (nSize < 5 || pData[0] != 0xFF || pData[1] != 'R') return std::string(reinterpret_cast<const char*>(pData), nSize);
  const unsigned nCount = pData[2] | (pData[3] << 8) | (pData[4] << 16);
  size_t nPos = 5;
  std::string s = Piece(pData, nSize, nPos);
  const std::string strFragment = Piece(pData, nSize, nPos);
  for (unsigned i = 0; i < nCount && !strFragment.empty() && s.size() + strFragment.size() <= MAX_EXPANDED; ++i)
    s += strFragment;
  s.append(reinterpret_cast<const char*>(pData + nPos), std::min(nSize - nPos, MAX_EXPANDED - std::min(s.size(), MAX_EXPANDED)));
  return s;
}

std::string RepeatInput(const std::string& strHead, const std::string& strFragment, unsigned nCount,
                        const std::string& strTail) {
  std::string s = "\xFFR";
  s += static_cast<char>(nCount & 0xFF);
  s += static_cast<char>((nCount >> 8) & 0xFF);
  s += static_cast<char>((nCount >> 16) & 0xFF);
  s += static_cast<char>(strHead.size());
  s += strHead;
  s += static_cast<char>(strFragment.size());
  return s + strFragment + strTail;
}

const std::vector<CRegionalSettings>& AllRegionalSettings() {
  static const std::vector<CRegionalSettings> a = {
      CRegionalSettings('.', ':', '/', "MM/dd/yyyy"),  // en_US
      CRegionalSettings('.', ':', '/', "dd/MM/yyyy"),  // en_GB
      CRegionalSettings(',', ':', '.', "dd.MM.yyyy"),  // de_DE
      CRegionalSettings('.', ':', '.', "dd.MM.yy"),    // de_CH: one separator for dates and decimals
      CRegionalSettings(',', ':', '/', "dd/MM/yyyy"),  // fr_FR
      CRegionalSettings('.', ':', '/', "yyyy/MM/dd"),  // ja_JP
      CRegionalSettings('.', ':', '-', "yyyy-MM-dd"),  // ISO
      CRegionalSettings('.', ':', ' ', "d MMM yyyy"),  // C.UTF-8: month names
      CRegionalSettings(',', '.', '-', "d-MMM-yy"),    // names, comma decimal, point between hours
      CRegionalSettings('.', ':', '/', "M/d/yy"),      // short fields
  };
  return a;
}

const CRegionalSettings& RegionalSettingsOf(uint8_t nByte) {
  const auto& a = AllRegionalSettings();
  return a[nByte % a.size()];
}

std::vector<uint8_t> SampleFile(const sSampleSpec& spec) {
  const CSampleWriter writer(spec);
  std::vector<uint8_t> a = writer.BuildPrologue();
  const size_t nRecord = static_cast<size_t>(writer.GetRecordSize());
  for (int64_t i = 0; i < spec.nRecords; ++i) {
    const size_t nPos = a.size();
    a.resize(nPos + nRecord);
    writer.BuildRecord(i, a.data() + nPos);
  }
  return a;
}

} // namespace zk7::fuzz
