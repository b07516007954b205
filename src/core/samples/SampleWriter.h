// Writes valid results files of any channel count and length with realistic,
// deterministic signals (tests, zk7-cli make-sample, the demo file, zk7-sim).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "results/ResultsRecord.h"

namespace zk7 {

// Busy signals change every few seconds, so that short files used by tests
// still hold every kind of change and error; a plant's day changes as a real
// installation does: slow drifts, a few switchings an hour, rare alarms and errors.
enum class eSampleStyle { Busy, Plant };

struct sSampleSpec {
  int nChannels = 8;
  int64_t nRecords = 1000;
  int nPeriodMs = 1000;           // time between records
  int nTimeUnit = 100;            // ms per counter step
  int64_t nStartSeconds = 1767225600; // 2026-01-01 00:00:00 UTC
  uint64_t nSeed = 1;
  std::string strConfigName = "Demo plant";
  std::string strModel = "73512";
  eSampleStyle eStyle = eSampleStyle::Busy;
};

class CSampleWriter {
public:
  explicit CSampleWriter(const sSampleSpec& spec);

  const sSampleSpec& GetSpec() const { return m_spec; }
  // The embedded configuration (an acquisition configuration file as well).
  const std::string& GetConfigurationXml() const { return m_strXml; }
  // The header, channel words and configuration: everything before the records.
  std::vector<uint8_t> BuildPrologue() const;
  uint64_t GetDataOffset() const;
  int GetRecordSize() const { return RecordSize(m_spec.nChannels); }

  // Record i into pBuffer (GetRecordSize() bytes): depends only on the sample description and i.
  void BuildRecord(int64_t nIndex, uint8_t* pBuffer) const;

  // Writes records [nFirst, nFirst + nCount) at the current position of f.
  bool WriteRecords(std::FILE* f, int64_t nFirst, int64_t nCount) const;
  // Writes the whole file; false with a text on failure.
  bool WriteFile(const std::string& strPath, std::string* pstrError = nullptr) const;

  // The value and error code that record i holds for channel c.
  void SampleAt(int64_t nIndex, int nChannel, float& fValue, uint16_t& nError, int16_t& nOffset) const;

private:
  void PlantSampleAt(int64_t nIndex, int nChannel, float& fValue, uint16_t& nError) const;

  sSampleSpec m_spec;
  std::string m_strXml;
};

} // namespace zk7
