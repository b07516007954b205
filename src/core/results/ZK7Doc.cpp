#include "results/ZK7Doc.h"

#include <tinyxml.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>

#include "errors/ErrorCatalogue.h"
#include "format/Formatting.h"
#include "results/ResultsFile.h"
#include "results/ZK7Exception.h"
#include "strings/StringTable.h"
#include "xml/XmlGuard.h"

namespace zk7 {

namespace {

constexpr int WINDOW_BYTES = 1000000;
// The longest configuration text read: a module's configurations take a few
// hundred kilobytes at most; anything longer is refused rather than held (the
// parsed document takes some sixty times the text's size in the worst case).
constexpr size_t MAX_XML_BYTES = 2u << 20;
constexpr int DAY_1970 = 25569;  // 1970-01-01 as a day number

uint32_t ReadU32(const uint8_t* p) {
  uint32_t n;
  std::memcpy(&n, p, 4);
  return n;
}

} // namespace

double SecondsToDayNumber(int64_t nSeconds) {
  // Floor division keeps the time of day positive before 1970 as well.
  int64_t nDays = nSeconds / 86400;
  int64_t nRest = nSeconds % 86400;
  if (nRest < 0) {
    nRest += 86400;
    --nDays;
  }
  return static_cast<double>(nDays + DAY_1970) + static_cast<double>(nRest) / 86400.0;
}

CZK7Doc::CZK7Doc() : m_pXml(std::make_unique<TiXmlDocument>()) {}

CZK7Doc::~CZK7Doc() = default;

std::string CZK7Doc::GetTitle() const { return std::filesystem::path(m_strPath).filename().string(); }

bool CZK7Doc::OnOpenDocument(const std::string& strPath, std::string* pstrError, unsigned* pnId) {
  try {
    Open(strPath);
    return true;
  } catch (const CZK7Exception& e) {
    if (pstrError) *pstrError = e.GetText();
    if (pnId) *pnId = e.GetId();
  }
  return false;
}

void CZK7Doc::Open(const std::string& strPath) {
  m_pFile.reset();
  m_strPath = strPath;
  try {
    m_pFile = std::make_unique<CResultsFile>(strPath);
    SetModifiedFlag(true);
    ReadContents();
    SetModifiedFlag(false);
  } catch (...) {
    // A refused file leaves nothing behind; the exception goes on to the caller.
    m_pFile.reset();
    Reset();
    SetModifiedFlag(false);
    throw;
  }
}

void CZK7Doc::Reset() {
  m_nRecordCount = 0;
  m_nChannelCount = 0;
  m_nRecordSize = 0;
  m_nDataOffset = 0;
  m_nTimeUnit = 0;
  m_strConfigName.clear();
  m_aChannelWords.clear();
  m_aChannelWords.shrink_to_fit();
  m_aWindow.clear();
  m_aWindow.shrink_to_fit();
  m_nWindowFirst = 0;
  m_nWindowCapacity = 0;
  m_aChannels.clear();
  m_pXml->Clear();
  m_dFirstTime = 0.0;
  m_dDuration = 0.0;
}

void CZK7Doc::ReadContents() {
  Reset();
  const uint64_t nLength = m_pFile->GetLength();
  if (nLength < RESULTS_HEADER_SIZE) throw CZK7Exception(IDS_NOT_ZK7_FILE);

  uint8_t header[RESULTS_HEADER_SIZE];
  m_pFile->ReadAt(0, header, sizeof header);
  std::memcpy(m_aHeader, header, sizeof m_aHeader);
  int32_t nTimeUnit, nChannels;
  std::memcpy(&nTimeUnit, header + 36, 4);
  std::memcpy(&nChannels, header + 40, 4);
  const uint32_t nDataOffset = ReadU32(header + 44);

  const bool bModelOk = std::memcmp(header + 16, "73512", 6) == 0 || std::memcmp(header + 16, "73541", 6) == 0;
  if (!bModelOk || nLength < nDataOffset || nChannels < 1 || nTimeUnit < 1) throw CZK7Exception(IDS_NOT_ZK7_FILE);
  m_nTimeUnit = nTimeUnit;
  m_nChannelCount = nChannels;
  m_nDataOffset = nDataOffset;

  // The XML region lies between the channel words and the records; a data
  // offset that leaves no room for the channel words cannot be read.
  const int64_t nXmlSize = static_cast<int64_t>(nDataOffset) - RESULTS_HEADER_SIZE - 4 * static_cast<int64_t>(nChannels);
  if (nXmlSize < 0) throw CZK7Exception(IDS_NO_MEMORY_FOR_FILE);
  // Record offsets and window sizes are ints: 2^28 channels and more make a
  // record no int can measure.
  const int64_t nRecordSize = 8 + 8 * static_cast<int64_t>(nChannels);
  if (nRecordSize > std::numeric_limits<int>::max()) throw CZK7Exception(IDS_NO_MEMORY_FOR_FILE);
  std::vector<char> aXml = ReadXmlText(RESULTS_HEADER_SIZE + 4 * static_cast<uint64_t>(nChannels),
                                       static_cast<uint64_t>(nXmlSize));
  std::string strXmlError;
  const bool bXmlOk = ParseUntrustedXml(*m_pXml, std::string_view(aXml.data(), aXml.size() - 1), strXmlError);
  aXml = {};
  if (!bXmlOk) throw CZK7Exception(IDS_XML_ERRONEOUS);

  m_nRecordSize = static_cast<int>(nRecordSize);
  const uint64_t nRecords = (nLength - nDataOffset) / static_cast<uint64_t>(m_nRecordSize);
  if (nRecords < 1) {
    m_nRecordSize = 16;
    m_nRecordCount = 0;
    throw CZK7Exception(IDS_FILE_EMPTY);
  }
  // Record indexes are signed 32-bit: records beyond that cannot be addressed.
  m_nRecordCount = static_cast<int>(std::min<uint64_t>(nRecords, std::numeric_limits<int>::max()));

  // Every channel must be described before the header's count sizes anything:
  // the configuration's length bounds the count, the header alone does not.
  BuildChannelTable(*m_pXml, m_aChannels, m_strConfigName);
  if (static_cast<int>(m_aChannels.size()) != m_nChannelCount) throw CZK7Exception(IDS_CHANNELS_NOT_FOUND);

  try {
    m_aChannelWords.resize(static_cast<size_t>(nChannels));
  } catch (const std::bad_alloc&) {
    throw CZK7Exception(IDS_NO_MEMORY_FOR_FILE);
  }
  m_pFile->ReadAt(RESULTS_HEADER_SIZE, m_aChannelWords.data(), 4 * static_cast<size_t>(nChannels));

  int nCapacity = std::max(1, std::min(WINDOW_BYTES / m_nRecordSize, m_nRecordCount));
  try {
    m_aWindow.resize(static_cast<size_t>(nCapacity) * static_cast<size_t>(m_nRecordSize));
  } catch (const std::bad_alloc&) {
    m_nWindowCapacity = 0;
    throw CZK7Exception(IDS_NO_MEMORY_FOR_FILE);
  }
  m_nWindowCapacity = nCapacity;
  FillWindow(0);

  // The last record's time is read without moving the window, which keeps the
  // first records ready for the list's first page.
  m_dFirstTime = GetRecordTime(0, 0);
  m_dDuration = PeekRecordTime(m_nRecordCount - 1, 0) - m_dFirstTime;
}

int CZK7Doc::CheckGrowth() {
  if (!m_pFile || m_nRecordSize <= 0) return 0;
  const uint64_t nLength = m_pFile->Refresh();
  // The header is what tells this file from another written in its place (a new
  // acquisition under the same name): 48 bytes, read once per check.
  uint8_t header[sizeof m_aHeader];
  m_pFile->ReadAt(0, header, sizeof header);
  if (std::memcmp(header, m_aHeader, sizeof header) != 0)
    throw CZK7Exception(CZK7Exception::FILE_ERROR,
                        "The file '" + m_strPath + "' was replaced while it was open: its header changed.");
  const uint64_t nWhole = (nLength - m_nDataOffset) / static_cast<uint64_t>(m_nRecordSize);
  const int nRecords = static_cast<int>(std::min<uint64_t>(nWhole, std::numeric_limits<int>::max()));
  if (nRecords <= m_nRecordCount) return 0;
  const int nNew = nRecords - m_nRecordCount;
  m_nRecordCount = nRecords;
  // A small file was given a window its own size: let the window grow with the
  // file up to its usual size. Its contents are read again on the next access.
  const int nCapacity = std::max(1, std::min(WINDOW_BYTES / m_nRecordSize, m_nRecordCount));
  if (nCapacity > m_nWindowCapacity) {
    try {
      m_aWindow.resize(static_cast<size_t>(nCapacity) * static_cast<size_t>(m_nRecordSize));
      m_nWindowFirst = -nCapacity - 1;
      m_nWindowCapacity = nCapacity;
    } catch (const std::bad_alloc&) {
      // The old window still serves: records come in smaller steps.
    }
  }
  m_dDuration = PeekRecordTime(m_nRecordCount - 1, 0) - m_dFirstTime;
  return nNew;
}

std::vector<char> CZK7Doc::ReadXmlText(uint64_t nOffset, uint64_t nRegionSize) const {
  // The text ends at the first zero byte: read the region in steps up to it,
  // so that a huge data offset in front of a small text costs nothing.
  constexpr size_t STEP = 64 * 1024;
  std::vector<char> aXml;
  try {
    while (aXml.size() < nRegionSize) {
      if (aXml.size() >= MAX_XML_BYTES) throw CZK7Exception(IDS_NO_MEMORY_FOR_FILE);
      const size_t nOld = aXml.size();
      const size_t nStep = static_cast<size_t>(std::min<uint64_t>(STEP, nRegionSize - nOld));
      aXml.resize(nOld + nStep);
      m_pFile->ReadAt(nOffset + nOld, aXml.data() + nOld, nStep);
      const auto it = std::find(aXml.begin() + static_cast<std::ptrdiff_t>(nOld), aXml.end(), '\0');
      if (it != aXml.end()) {
        aXml.erase(it, aXml.end());
        break;
      }
    }
    aXml.push_back('\0');
  } catch (const std::bad_alloc&) {
    throw CZK7Exception(IDS_NO_MEMORY_FOR_FILE);
  }
  return aXml;
}

void CZK7Doc::FillWindow(int nFirst) const {
  const size_t nBytes = static_cast<size_t>(m_nWindowCapacity) * static_cast<size_t>(m_nRecordSize);
  // Mark the window empty first: after a failed read it must not serve stale records.
  m_nWindowFirst = -m_nWindowCapacity - 1;
  m_pFile->ReadAt(m_nDataOffset + static_cast<uint64_t>(nFirst) * static_cast<uint64_t>(m_nRecordSize),
                  m_aWindow.data(), nBytes);
  m_nWindowFirst = nFirst;
}

const ResultsRecord& CZK7Doc::GetRecord(int nRecord) const {
  if (nRecord < 0) nRecord = 0;
  if (nRecord >= m_nRecordCount) nRecord = m_nRecordCount - 1;
  if (nRecord < m_nWindowFirst || static_cast<int64_t>(nRecord) >= static_cast<int64_t>(m_nWindowFirst) + m_nWindowCapacity) {
    // In 64 bits: near the last of 2^31 - 1 records the window's end passes int.
    int64_t nFirst = static_cast<int64_t>(nRecord) - m_nWindowCapacity / 2;
    if (nFirst < 0) nFirst = 0;
    if (nFirst + m_nWindowCapacity > m_nRecordCount) nFirst = static_cast<int64_t>(m_nRecordCount) - m_nWindowCapacity;
    FillWindow(static_cast<int>(nFirst));
  }
  return *reinterpret_cast<const ResultsRecord*>(m_aWindow.data() + static_cast<size_t>(nRecord - m_nWindowFirst) *
                                                                         static_cast<size_t>(m_nRecordSize));
}

double CZK7Doc::TimeOf(const ResultsRecord& rec, int nChannel) const {
  const uint32_t nMs = static_cast<uint32_t>(m_nTimeUnit) * rec.nCounter;  // wraps modulo 2^32
  const double dMs = static_cast<double>(nMs) + static_cast<double>(rec.Sample(nChannel).nOffset);
  return SecondsToDayNumber(static_cast<int32_t>(rec.nBaseTime)) + dMs * ONE_MS;
}

double CZK7Doc::GetRecordTime(int nRecord, int nChannel) const { return TimeOf(GetRecord(nRecord), nChannel); }

double CZK7Doc::PeekRecordTime(int nRecord, int nChannel) const {
  if (nRecord < 0) nRecord = 0;
  if (nRecord >= m_nRecordCount) nRecord = m_nRecordCount - 1;
  if (nRecord >= m_nWindowFirst && static_cast<int64_t>(nRecord) < static_cast<int64_t>(m_nWindowFirst) + m_nWindowCapacity)
    return GetRecordTime(nRecord, nChannel);
  // Outside the window only the record's times are read: a search by time
  // then costs a few small reads instead of a window refill per probe.
  alignas(8) uint8_t buf[16];
  const uint64_t nPos = m_nDataOffset + static_cast<uint64_t>(nRecord) * static_cast<uint64_t>(m_nRecordSize);
  m_pFile->ReadAt(nPos, buf, 8);
  m_pFile->ReadAt(nPos + 8 + 8 * static_cast<uint64_t>(nChannel), buf + 8, 8);
  ResultsRecord rec;
  std::memcpy(&rec, buf, 8);
  ChannelSample sample;
  std::memcpy(&sample, buf + 8, 8);
  const uint32_t nMs = static_cast<uint32_t>(m_nTimeUnit) * rec.nCounter;
  const double dMs = static_cast<double>(nMs) + static_cast<double>(sample.nOffset);
  return SecondsToDayNumber(static_cast<int32_t>(rec.nBaseTime)) + dMs * ONE_MS;
}

bool CZK7Doc::GetTimeRange(double& dFirst, double& dLast) const {
  dFirst = m_dFirstTime;
  dLast = m_dFirstTime + m_dDuration;
  return true;
}

float CZK7Doc::GetChannelValue(int nChannel, int nRecord, unsigned& nError, double& dTime) const {
  const ResultsRecord& rec = GetRecord(nRecord);
  dTime = TimeOf(rec, nChannel);
  const ChannelSample& s = rec.Sample(nChannel);
  nError = s.nError;
  return s.fValue;
}

void CZK7Doc::AppendChannelValue(int nChannel, const ResultsRecord& rec, std::string& strOut) const {
  const ChannelSample& s = rec.Sample(nChannel);
  if (s.nError == 0) {
    int nDecimals = m_aChannels[static_cast<size_t>(nChannel)].nResolution;
    if (nDecimals > 9) nDecimals = 9;
    AppendNumber(strOut, s.fValue, 9, nDecimals, false);
    return;
  }
  char buf[32];
  int n = std::snprintf(buf, sizeof buf, "Err. %d", static_cast<int>(s.nError));
  strOut.append(buf, static_cast<size_t>(n));
  if (m_eErrorDisplay == ERRORS_NUMBER_AND_MEANING) {
    strOut += " (";
    strOut += GetErrorText(s.nError);
    strOut += ')';
  }
}

std::string CZK7Doc::FormatChannelValue(int nChannel, int nRecord) const {
  std::string str;
  AppendChannelValue(nChannel, GetRecord(nRecord), str);
  return str;
}

int CZK7Doc::FindRecordByTime(double dTime) const {
  if (m_nRecordCount < 1) return -1;
  if (dTime <= m_dFirstTime) return 0;
  if (m_dFirstTime + m_dDuration <= dTime) return m_nRecordCount - 1;
  int nLo = 0, nHi = m_nRecordCount - 1;
  double dLo = m_dFirstTime, dHi = m_dFirstTime + m_dDuration;
  while (nHi > nLo + 1) {
    const int nMid = nLo + (nHi - nLo) / 2;
    const double dMid = PeekRecordTime(nMid, 0);
    if (dMid - dTime <= 0) {
      nLo = nMid;
      dLo = dMid;
    } else {
      nHi = nMid;
      dHi = dMid;
    }
  }
  return (dTime - dLo < dHi - dTime) ? nLo : nHi;
}

std::string CZK7Doc::GetChannelName(int nChannel) const {
  if (nChannel < 0 || nChannel >= m_nChannelCount || nChannel >= static_cast<int>(m_aChannels.size())) return "???";
  return m_aChannels[static_cast<size_t>(nChannel)].strName;
}

std::string CZK7Doc::GetChannelUnit(int nChannel) const {
  if (nChannel < 0 || nChannel >= m_nChannelCount || nChannel >= static_cast<int>(m_aChannels.size())) return "???";
  return m_aChannels[static_cast<size_t>(nChannel)].strUnit;
}

bool CZK7Doc::GetChannelLimit(int nChannel, int nLimit, float& fValue, bool& bHigh) const {
  if (nChannel < 0 || nChannel >= static_cast<int>(m_aChannels.size()) || nLimit < 0 || nLimit > 3) return false;
  const ChannelLimit& l = m_aChannels[static_cast<size_t>(nChannel)].aLimits[static_cast<size_t>(nLimit)];
  fValue = l.fValue;
  bHigh = l.bHigh != 0;
  return l.bOn != 0;
}

bool CZK7Doc::SetErrorDisplayFormat(eErrorDisplay e) {
  if (e == m_eErrorDisplay) return false;
  m_eErrorDisplay = e;
  return true;
}

int64_t CZK7Doc::ForEachRecord(int nFirst, int nCount,
                               const std::function<bool(int, const ResultsRecord&)>& fn) const {
  if (nFirst < 0) {
    nCount += nFirst;
    nFirst = 0;
  }
  if (nCount <= 0 || nFirst >= m_nRecordCount) return 0;
  nCount = std::min(nCount, m_nRecordCount - nFirst);
  const size_t nRecSize = static_cast<size_t>(m_nRecordSize);
  const int nPerChunk = std::max(1, static_cast<int>((4u << 20) / nRecSize));
  std::vector<uint8_t> aChunk(static_cast<size_t>(std::min(nPerChunk, nCount)) * nRecSize);
  int64_t nVisited = 0;
  for (int nDone = 0; nDone < nCount;) {
    const int n = std::min(nPerChunk, nCount - nDone);
    const int nStart = nFirst + nDone;
    m_pFile->ReadAt(m_nDataOffset + static_cast<uint64_t>(nStart) * nRecSize, aChunk.data(),
                    static_cast<size_t>(n) * nRecSize);
    for (int i = 0; i < n; ++i) {
      ++nVisited;
      if (!fn(nStart + i, *reinterpret_cast<const ResultsRecord*>(aChunk.data() + static_cast<size_t>(i) * nRecSize)))
        return nVisited;
    }
    nDone += n;
  }
  return nVisited;
}

std::vector<sInformationLine> GetInformationLines(const sResultsFileInfo& info) {
  return {
      {"Configuration name:", &info.strConfigName},
      {"Acquisition Start date and time:", &info.strAcqStart},
      {"Date and time of first record in this file:", &info.strFirstRecord},
      {"Recorded duration:", &info.strDuration},
      {"Cycles count:", &info.strCycles},
      {"Channels count:", &info.strChannels},
  };
}

sResultsFileInfo CZK7Doc::GetFileInformation() const {
  sResultsFileInfo info;
  char buf[512];
  std::snprintf(buf, sizeof buf, "Informations about fle '%s'", GetTitle().c_str());
  info.strTitle = buf;
  info.strConfigName = m_strConfigName;
  const ResultsRecord& rec0 = GetRecord(0);
  info.strAcqStart = FormatDateTime(SecondsToDayNumber(static_cast<int32_t>(rec0.nBaseTime)), true, false, 1);
  info.strFirstRecord = FormatDateTime(m_dFirstTime, true, true, 3);
  const double dHours = m_dDuration * 24.0;
  const double h = std::floor(dHours);
  const double m = std::floor((dHours - h) * 60.0);
  const double s = ((dHours - h) * 60.0 - m) * 60.0;
  // The seconds are written without the C library's locale: always a point.
  char szSeconds[64];
  const auto r = std::to_chars(szSeconds, szSeconds + sizeof szSeconds - 1, s, std::chars_format::fixed, 3);
  *r.ptr = '\0';
  std::snprintf(buf, sizeof buf, "%d h %d mn %s s", static_cast<int>(h), static_cast<int>(m), szSeconds);
  info.strDuration = buf;
  info.strCycles = std::to_string(m_nRecordCount);
  info.strChannels = std::to_string(m_nChannelCount);
  return info;
}

} // namespace zk7
