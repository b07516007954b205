#include "history/ChannelStatistics.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "format/Formatting.h"
#include "results/ZK7Doc.h"

namespace zk7 {

namespace {

// Running sums of one channel. Sums are taken about the first value used, so
// that a large steady level (a temperature near 400 degrees) does not swamp
// the variance in rounding.
struct sAccumulator {
  int64_t nCount = 0;
  int64_t nErrors = 0;
  double dShift = 0.0;
  double dSum = 0.0;
  double dSumSq = 0.0;
  double dMin = 0.0, dMax = 0.0;
  double dMinTime = 0.0, dMaxTime = 0.0;  // seconds from the range's first record
  double dIntegral = 0.0;
  bool bPrevious = false;  // the previous record held a value: the trapezoid runs on
  double dPrevTime = 0.0, dPrevValue = 0.0;
};

constexpr int PROGRESS_STEP = 65536;

void AppendCell(std::string& strOut, const std::string& strCell, size_t nWidth) {
  strOut += strCell;
  if (strCell.size() < nWidth) strOut.append(nWidth - strCell.size(), ' ');
}

// printf's "%.9g" in the C locale, whatever LC_NUMERIC says.
std::string ProgramNumber(double d) {
  if (std::isnan(d)) return "nan";
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 9);
  return std::string(buf, res.ptr);
}

// A name or unit in a TAB-separated line: no TAB or line break of its own.
std::string TsvField(std::string s) {
  std::replace_if(s.begin(), s.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return s;
}

} // namespace

bool CChannelStatistics::Compute(const CZK7Doc& doc, int nFirst, int nLast, const std::vector<int>& aChannels,
                                 std::vector<sChannelStatistics>& aResults, const ProgressFn& fnProgress) {
  aResults.clear();
  std::vector<int> aUsed;
  for (int c : aChannels)
    if (c >= 0 && c < doc.GetChannelCount()) aUsed.push_back(c);
  nFirst = std::max(nFirst, 0);
  nLast = std::min(nLast, doc.GetRecordCount() - 1);
  std::vector<sAccumulator> aAcc(aUsed.size());
  const int64_t nTotal = nLast >= nFirst ? static_cast<int64_t>(nLast) - nFirst + 1 : 0;
  bool bCancelled = false;
  if (nTotal > 0) {
    const uint32_t nTimeUnit = static_cast<uint32_t>(doc.GetTimeUnit());
    int64_t nBase0 = 0;
    bool bFirst = true;
    int64_t nDone = 0;
    if (fnProgress && !fnProgress(0, nTotal)) return false;
    doc.ForEachRecord(nFirst, static_cast<int>(nTotal), [&](int, const ResultsRecord& rec) {
      const int64_t nBase = static_cast<int32_t>(rec.nBaseTime);
      if (bFirst) {
        nBase0 = nBase;
        bFirst = false;
      }
      const uint32_t nMs = nTimeUnit * rec.nCounter;  // wraps as the record's own time does
      const double dRecTime = static_cast<double>(nBase - nBase0) + static_cast<double>(nMs) * 0.001;
      for (size_t i = 0; i < aUsed.size(); ++i) {
        const ChannelSample& s = rec.Sample(aUsed[i]);
        sAccumulator& a = aAcc[i];
        const double dValue = s.fValue;
        if (s.nError != 0 || !std::isfinite(dValue)) {
          if (s.nError != 0) ++a.nErrors;
          a.bPrevious = false;
          continue;
        }
        const double dTime = dRecTime + s.nOffset * 0.001;
        if (a.nCount == 0) {
          a.dShift = dValue;
          a.dMin = a.dMax = dValue;
          a.dMinTime = a.dMaxTime = dTime;
        } else if (dValue < a.dMin) {
          a.dMin = dValue;
          a.dMinTime = dTime;
        } else if (dValue > a.dMax) {
          a.dMax = dValue;
          a.dMaxTime = dTime;
        }
        ++a.nCount;
        const double d = dValue - a.dShift;
        a.dSum += d;
        a.dSumSq += d * d;
        if (a.bPrevious) a.dIntegral += (dTime - a.dPrevTime) * (dValue + a.dPrevValue) * 0.5;
        a.bPrevious = true;
        a.dPrevTime = dTime;
        a.dPrevValue = dValue;
      }
      if (++nDone % PROGRESS_STEP == 0 && fnProgress && !fnProgress(nDone, nTotal)) {
        bCancelled = true;
        return false;
      }
      return true;
    });
    if (bCancelled) return false;
    const double dDay0 = SecondsToDayNumber(nBase0);
    for (size_t i = 0; i < aUsed.size(); ++i) {
      const sAccumulator& a = aAcc[i];
      sChannelStatistics st;
      st.nChannel = aUsed[i];
      st.nCount = a.nCount;
      st.nErrors = a.nErrors;
      st.dIntegral = a.dIntegral;
      if (a.nCount > 0) {
        const double n = static_cast<double>(a.nCount);
        const double dMeanShifted = a.dSum / n;
        const double dVariance = std::max(0.0, a.dSumSq / n - dMeanShifted * dMeanShifted);
        st.dMean = a.dShift + dMeanShifted;
        st.dStdDev = std::sqrt(dVariance);
        st.dRms = std::sqrt(dVariance + st.dMean * st.dMean);
        st.dMin = a.dMin;
        st.dMax = a.dMax;
        st.dMinTime = dDay0 + a.dMinTime / 86400.0;
        st.dMaxTime = dDay0 + a.dMaxTime / 86400.0;
      }
      aResults.push_back(st);
    }
    if (fnProgress) fnProgress(nTotal, nTotal);
    return true;
  }
  for (int c : aUsed) {
    sChannelStatistics st;
    st.nChannel = c;
    aResults.push_back(st);
  }
  return true;
}

std::vector<std::string> StatisticsColumnTitles() {
  return {"Channel", "Name", "Unit", "Count", "Errors", "Min", "Time of min", "Max", "Time of max",
          "Mean", "RMS", "Std dev", "Peak-peak", "Integral (unit.s)"};
}

std::vector<std::string> StatisticsRowCells(const CZK7Doc& doc, const sChannelStatistics& st) {
  const int nDecimals = std::min(doc.GetChannels()[static_cast<size_t>(st.nChannel)].nResolution, 9);
  auto value = [&](double d) { return st.nCount > 0 ? FormatNumber(d, 9, nDecimals, true) : std::string(); };
  auto time = [&](double d) { return st.nCount > 0 ? FormatDateTime(d, true, true, 3) : std::string(); };
  return {std::to_string(st.nChannel + 1),
          doc.GetChannelName(st.nChannel),
          doc.GetChannelUnit(st.nChannel),
          std::to_string(st.nCount),
          std::to_string(st.nErrors),
          value(st.dMin),
          time(st.dMinTime),
          value(st.dMax),
          time(st.dMaxTime),
          value(st.dMean),
          value(st.dRms),
          value(st.dStdDev),
          value(st.PeakToPeak()),
          st.nCount > 1 ? FormatNumber(st.dIntegral, 9, nDecimals, true) : std::string()};
}

std::string StatisticsTabText(const CZK7Doc& doc, const std::vector<sChannelStatistics>& aResults) {
  std::string strOut;
  auto line = [&](const std::vector<std::string>& aCells) {
    for (size_t i = 0; i < aCells.size(); ++i) {
      if (i) strOut += '\t';
      strOut += aCells[i];
    }
    strOut += "\r\n";
  };
  line(StatisticsColumnTitles());
  for (const sChannelStatistics& st : aResults) line(StatisticsRowCells(doc, st));
  return strOut;
}

std::string StatisticsAlignedText(const CZK7Doc& doc, const std::vector<sChannelStatistics>& aResults) {
  std::vector<std::vector<std::string>> aRows{StatisticsColumnTitles()};
  for (const sChannelStatistics& st : aResults) aRows.push_back(StatisticsRowCells(doc, st));
  std::vector<size_t> aWidths(aRows[0].size(), 0);
  for (const auto& aRow : aRows)
    for (size_t i = 0; i < aRow.size(); ++i) aWidths[i] = std::max(aWidths[i], aRow[i].size());
  std::string strOut;
  for (const auto& aRow : aRows) {
    std::string strLine;
    for (size_t i = 0; i < aRow.size(); ++i) AppendCell(strLine, aRow[i], i + 1 < aRow.size() ? aWidths[i] + 2 : 0);
    strOut += strLine + "\n";
  }
  return strOut;
}

std::string StatisticsTsvText(const CZK7Doc& doc, const std::vector<sChannelStatistics>& aResults) {
  std::string strOut = "channel\tname\tunit\tcount\terrors\tmin\tmax\tmean\trms\tstddev\tintegral_s\n";
  const double dNan = std::numeric_limits<double>::quiet_NaN();
  for (const sChannelStatistics& st : aResults) {
    const bool b = st.nCount > 0;
    strOut += std::to_string(st.nChannel + 1) + '\t' + TsvField(doc.GetChannelName(st.nChannel)) + '\t' +
              TsvField(doc.GetChannelUnit(st.nChannel)) + '\t' + std::to_string(st.nCount) + '\t' +
              std::to_string(st.nErrors);
    for (double d : {b ? st.dMin : dNan, b ? st.dMax : dNan, b ? st.dMean : dNan, b ? st.dRms : dNan,
                     b ? st.dStdDev : dNan, st.dIntegral})
      strOut += '\t' + ProgramNumber(d);
    strOut += '\n';
  }
  return strOut;
}

} // namespace zk7
