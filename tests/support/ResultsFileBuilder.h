// Byte-level results files for tests: every field can be set or corrupted one
// at a time, independently of the sample writer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zk7 {

struct sRawSample { int16_t nOffset = 0; uint16_t nError = 0; float fValue = 0.0f; };
struct sRawRecord { uint32_t nBaseTime = 0; uint32_t nCounter = 0; std::vector<sRawSample> aSamples; };

class CResultsFileBuilder {
public:
  CResultsFileBuilder();
  CResultsFileBuilder(int32_t nChannelCount, std::string strConfigXml) : nChannels(nChannelCount), strXml(std::move(strConfigXml)) {}

  // Header fields.
  std::string strModel = "73512";   // written at offset 16, then a zero byte
  int32_t nTimeUnit = 100;
  int32_t nChannels = 2;
  int64_t nDataOffset = -1;         // -1: computed from the layout
  bool bPadToDataOffset = true;     // zero bytes up to an explicit data offset
  // The configuration text; "" writes an empty region.
  std::string strXml;
  bool bXmlZero = true;             // a zero byte after the XML
  std::vector<sRawRecord> aRecords;
  std::string strTrailing;          // bytes after the last record

  // A configuration with one channel element per kind name given.
  static std::string MakeXml(const std::vector<std::string>& aKinds, const std::string& strConfigName = "Test",
                             const std::string& strExtraChannelXml = "");

  // The three channels the history tests share: T1 (\xB0C, one decimal), a
  // numeric channel without unit or decimals, and P (kW, nThirdResolution decimals).
  static std::string ThreeChannelXml(const std::string& strSecondName = "N", int nThirdResolution = 3);
  // The history tests' file: records one second apart from nBase; "T1" (\xB0C,
  // one decimal) = 20 + i/2, "N" = i at +12 ms, "P" (kW, three decimals) = 1.5 at
  // -7 ms with error 12 on record 2; channels beyond the third, "C4"..., hold
  // their number.
  static CResultsFileBuilder HistoryFile(int nRecords, uint32_t nBase = 1767225600u, int nChannels = 3);
  // Appends nRecords records of nChannels samples, nStep counter steps apart
  // from nBaseTime, each sample's value from value(record, channel).
  template <class F>
  void AddRecords(int nRecords, int nChannels, uint32_t nBaseTime, uint32_t nStep, F value) {
    for (int i = 0; i < nRecords; ++i) {
      aRecords.push_back({nBaseTime, nStep * static_cast<uint32_t>(i), {}});
      for (int c = 0; c < nChannels; ++c) aRecords.back().aSamples.push_back(value(i, c));
    }
  }

  std::vector<uint8_t> Build() const;
  void WriteTo(const std::string& strPath) const;
};

// A sparse file of nLength bytes with a header of nChannels and nDataOffset,
// strXml at the start of the XML region (48 + 4 * nChannels) and zeros elsewhere:
// hostile headers without writing gigabytes.
void WriteSparseResultsFile(const std::string& strPath, int32_t nChannels, uint32_t nDataOffset,
                            const std::string& strXml, uint64_t nLength);

// Whole files, byte for byte; a missing file throws, and writing creates the folders.
std::vector<uint8_t> ReadFileBytes(const std::string& strPath);
void WriteFileBytes(const std::string& strPath, const std::vector<uint8_t>& a);
void WriteFileText(const std::string& strPath, const std::string& str);
std::string ReadFileText(const std::string& strPath);

// Bytes that differ from one offset to the next and from one seed to another.
std::string Pattern(size_t nSize, unsigned nSeed);
std::string Pattern(size_t nSize, const std::string& strSeed);

} // namespace zk7
