// CZK7Doc: one open results file: header, embedded configuration, record window
// and the record-access operations the panes use.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "results/ChanInfos.h"
#include "results/ResultsRecord.h"

class TiXmlDocument;

namespace zk7 {

class CResultsFile;

// The six values of the results-file information dialog.
struct sResultsFileInfo {
  std::string strTitle;          // "Informations about fle '%s'"
  std::string strConfigName;
  std::string strAcqStart;
  std::string strFirstRecord;
  std::string strDuration;
  std::string strCycles;
  std::string strChannels;
};

// The labels of the information dialog with their values, in the dialog's order.
struct sInformationLine {
  const char* pszLabel;
  const std::string* pstrValue;
};
std::vector<sInformationLine> GetInformationLines(const sResultsFileInfo& info);

class CZK7Doc {
public:
  enum eErrorDisplay { ERRORS_NUMBER_ONLY = 0, ERRORS_NUMBER_AND_MEANING = 1 };

  CZK7Doc();
  ~CZK7Doc();
  CZK7Doc(const CZK7Doc&) = delete;
  CZK7Doc& operator=(const CZK7Doc&) = delete;

  // Opens and reads a results file. On refusal returns false with the message in
  // *pstrError (nId receives the string-table id, 0 for a file-layer failure);
  // nothing of the refused file survives.
  bool OnOpenDocument(const std::string& strPath, std::string* pstrError = nullptr, unsigned* pnId = nullptr);
  // The same, throwing CZK7Exception.
  void Open(const std::string& strPath);
  bool OnNewDocument() { return false; }
  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool bModified) { m_bModified = bModified; }

  const std::string& GetPathName() const { return m_strPath; }
  // The file name as the window title shows it.
  std::string GetTitle() const;

  // Growth: a results file being recorded or copied gains records at its end.
  // Takes the file's length again and counts the whole records that arrived
  // since the last call (a record still being written is not counted until it
  // is whole); returns how many did (0 when none). Nothing before the old end is
  // read again. A file cut short, replaced by another or whose header changed
  // throws CZK7Exception (FILE_ERROR): the document then keeps the records it
  // had, and its caller reports the read error as for any other.
  int CheckGrowth();

  // Record access. Record indexes are clamped; a read failure while moving the
  // record window throws CZK7Exception (FILE_ERROR).
  int GetRecordCount() const { return m_nRecordCount; }
  int GetChannelCount() const { return m_nChannelCount; }
  bool GetTimeRange(double& dFirst, double& dLast) const;
  const ResultsRecord& GetRecord(int nRecord) const;
  double GetRecordTime(int nRecord, int nChannel) const;
  // The same for a record handed out by ForEachRecord.
  double GetRecordTime(const ResultsRecord& rec, int nChannel) const { return TimeOf(rec, nChannel); }
  float GetChannelValue(int nChannel, int nRecord, unsigned& nError, double& dTime) const;
  std::string FormatChannelValue(int nChannel, int nRecord) const;
  // Appends the same text to strOut (no allocation on the hot path).
  void AppendChannelValue(int nChannel, const ResultsRecord& rec, std::string& strOut) const;
  int FindRecordByTime(double dTime) const;
  std::string GetChannelName(int nChannel) const;
  std::string GetChannelUnit(int nChannel) const;
  bool GetChannelLimit(int nChannel, int nLimit, float& fValue, bool& bHigh) const;
  const std::string& GetConfigurationName() const { return m_strConfigName; }
  const std::vector<CChanInfos>& GetChannels() const { return m_aChannels; }

  // Sequential pass over records [nFirst, nFirst + nCount): the callback gets each
  // record in order and returns false to stop. Reads large blocks without moving
  // the record window. Returns the number of records visited.
  int64_t ForEachRecord(int nFirst, int nCount,
                        const std::function<bool(int nRecord, const ResultsRecord& rec)>& fn) const;

  // Error display format of this document (number only at open).
  eErrorDisplay GetErrorDisplayFormat() const { return m_eErrorDisplay; }
  // Returns true when the format changed (the views then redraw).
  bool SetErrorDisplayFormat(eErrorDisplay e);

  // Information dialog values.
  sResultsFileInfo GetFileInformation() const;

  // Layout facts, for tests and tools.
  int GetTimeUnit() const { return m_nTimeUnit; }
  uint64_t GetDataOffset() const { return m_nDataOffset; }
  int GetRecordSize() const { return m_nRecordSize; }
  int GetWindowCapacity() const { return m_nWindowCapacity; }
  int GetWindowFirst() const { return m_nWindowFirst; }
  double GetFirstRecordTime() const { return m_dFirstTime; }
  double GetRecordedDuration() const { return m_dDuration; }
  const std::vector<uint32_t>& GetChannelWords() const { return m_aChannelWords; }
  const TiXmlDocument& GetXmlDocument() const { return *m_pXml; }

  // Time of a record without moving the record window (used by the search).
  double PeekRecordTime(int nRecord, int nChannel) const;

private:
  void Reset();
  void ReadContents();
  void FillWindow(int nFirst) const;
  // The configuration text of the XML region, up to its first zero byte, with a
  // zero after it; refused (1153) beyond a sane length.
  std::vector<char> ReadXmlText(uint64_t nOffset, uint64_t nRegionSize) const;
  double TimeOf(const ResultsRecord& rec, int nChannel) const;

  std::string m_strPath;
  std::unique_ptr<CResultsFile> m_pFile;
  bool m_bModified = false;
  int m_nChannelCount = 0;
  int m_nRecordCount = 0;
  int m_nRecordSize = 0;
  int m_nTimeUnit = 0;
  uint64_t m_nDataOffset = 0;
  std::vector<uint32_t> m_aChannelWords;
  std::unique_ptr<TiXmlDocument> m_pXml;
  std::string m_strConfigName;
  std::vector<CChanInfos> m_aChannels;
  uint8_t m_aHeader[48] = {};  // as read at open: a change means another file
  double m_dFirstTime = 0.0;
  double m_dDuration = 0.0;
  eErrorDisplay m_eErrorDisplay = ERRORS_NUMBER_ONLY;

  // The record window.
  mutable std::vector<uint8_t> m_aWindow;
  mutable int m_nWindowFirst = 0;
  int m_nWindowCapacity = 0;
};

// Day-number date (days since 1899-12-30) of a count of seconds since 1970,
// in the plain UTC calendar; works for negative counts too.
double SecondsToDayNumber(int64_t nSeconds);

} // namespace zk7
