// The points of the history graph: compact per-channel arrays filled in one pass
// over the plotted records, and the min/max envelope that draws them at any zoom.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace zk7 {

class CZK7Doc;

class CGraphPoints {
public:
  enum eLoadResult { LOAD_OK, LOAD_CANCELLED, LOAD_NO_MEMORY };
  // Told the number of records read so far, every 5000 records from 0 on;
  // returns false to cancel the loading.
  using ProgressFn = std::function<bool(int nDone)>;

  // Reads records [nFirst, nLast] of every channel in one sequential pass. X is
  // the channel's time less dTimeBase, or the value of channel nXChannel when it
  // is 0 or more. After a cancel or a memory failure the points are empty.
  eLoadResult Load(const CZK7Doc& doc, int nFirst, int nLast, double dTimeBase, int nXChannel,
                   const ProgressFn& fnProgress = {});
  void Clear();

  bool IsEmpty() const { return m_nCount == 0; }
  int GetChannelCount() const { return m_nChannels; }
  int GetPointCount() const { return m_nCount; }
  int GetFirstRecord() const { return m_nFirst; }
  int GetXChannel() const { return m_nXChannel; }
  double GetX(int nChannel, int nPoint) const;
  double GetY(int nChannel, int nPoint) const;
  // The point of the channel nearest to x (the later one on a tie), -1 when empty.
  // With an X channel the points are not ordered by x: nearest by a full scan.
  int FindPoint(int nChannel, double dX) const;
  // Smallest and largest finite value of the channel; false when it has none.
  bool GetValueRange(int nChannel, double& dMin, double& dMax) const;
  // Smallest and largest x over all points; false when empty.
  bool GetXRange(double& dMin, double& dMax) const;

  // The points to draw for the visible x range [dXMin, dXMax] spread over
  // nColumns pixel columns: the points themselves while there are few, else for
  // each column its smallest and largest value, so that every extreme of every
  // record still shows. One neighbour beyond each edge keeps the lines running
  // off the plot. Values that are not finite leave a gap (NaN).
  void GetDrawPoints(int nChannel, double dXMin, double dXMax, int nColumns, std::vector<double>& aX,
                     std::vector<double>& aY) const;
  // The same for a plot against an X channel, on an nColumns x nRows pixel grid
  // over [dXMin, dXMax] x [dYMin, dYMax]: a point that falls on the pixel of the
  // point kept before it is dropped.
  void GetXYDrawPoints(int nChannel, double dXMin, double dXMax, double dYMin, double dYMax, int nColumns,
                       int nRows, std::vector<double>& aX, std::vector<double>& aY) const;

  // Bytes held for nChannels x nPoints values (arrays and envelope).
  size_t GetMemoryBytes() const;

private:
  struct sChannel {
    std::vector<float> aValues;
    std::vector<int32_t> aDeltaMs;           // x - record x in ms; empty while all are 0
    std::vector<std::vector<float>> aLevels; // level k: min, max pairs of 16^(k+1) values
  };
  void BuildEnvelope(sChannel& ch);
  void RangeMinMax(const sChannel& ch, int nFrom, int nTo, float& fMin, float& fMax) const;
  int LowerBoundX(double dX) const;

  int m_nChannels = 0;
  int m_nCount = 0;
  int m_nFirst = 0;
  int m_nXChannel = -1;
  std::vector<double> m_aRecordX;  // time of channel 0 less the base (time axis only)
  std::vector<sChannel> m_aChannels;
};

} // namespace zk7
