// Statistics of channels over a range of records: what a user measures between
// the two cursors (values used, records in error, extremes with their times,
// mean, RMS, standard deviation, peak-to-peak and the time integral), and the
// table texts that the window, its copy and zk7-cli stats share.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zk7 {

class CZK7Doc;

struct sChannelStatistics {
  int nChannel = 0;        // 0-based channel index
  int64_t nCount = 0;      // values used
  int64_t nErrors = 0;     // records whose sample holds an error code
  double dMin = 0.0, dMax = 0.0;           // meaningful when nCount > 0
  double dMinTime = 0.0, dMaxTime = 0.0;   // day numbers of the first minimum and maximum
  double dMean = 0.0, dRms = 0.0, dStdDev = 0.0;  // standard deviation of the population
  double dIntegral = 0.0;  // unit x seconds, trapezoids between consecutive valid values
  double PeakToPeak() const { return dMax - dMin; }
};

class CChannelStatistics {
public:
  // Told the records done so far and the total, about every 65536 records;
  // returns false to cancel.
  using ProgressFn = std::function<bool(int64_t nDone, int64_t nTotal)>;

  // Computes the statistics of the channels aChannels (0-based) over records
  // [nFirst, nLast] in one sequential pass. Times are each channel's own sample
  // times (the record's time plus the channel's millisecond offset). A record
  // whose sample holds an error code, or a value that is not a finite number,
  // is not used and breaks the trapezoid of the integral. Returns false when
  // the progress function cancelled; throws CZK7Exception on a read failure.
  static bool Compute(const CZK7Doc& doc, int nFirst, int nLast, const std::vector<int>& aChannels,
                      std::vector<sChannelStatistics>& aResults, const ProgressFn& fnProgress = {});
};

// The statistics as a table: the column titles and, per channel, its cells
// (values with the channel's resolution, times in the user's format).
std::vector<std::string> StatisticsColumnTitles();
std::vector<std::string> StatisticsRowCells(const CZK7Doc& doc, const sChannelStatistics& stats);
// The whole table as TAB-separated lines ending with CR LF (the clipboard's text).
std::string StatisticsTabText(const CZK7Doc& doc, const std::vector<sChannelStatistics>& aResults);
// The whole table with its columns padded to their widths (zk7-cli's text form).
std::string StatisticsAlignedText(const CZK7Doc& doc, const std::vector<sChannelStatistics>& aResults);
// One line per channel for programs: C-locale numbers with full float precision.
std::string StatisticsTsvText(const CZK7Doc& doc, const std::vector<sChannelStatistics>& aResults);

} // namespace zk7
