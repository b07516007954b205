// The points of the history graph, in memory bounded whatever the file size.
//
// Design. One sequential pass over the plotted records (CZK7Doc::ForEachRecord,
// large pread blocks, no record window) keeps, per channel, only a min/max
// envelope: a base level of one (min, max) pair per bucket of 64 records, and
// above it levels each 16 times coarser, plus the first and last record time
// of every bucket. That is about 8 bytes per channel per 64 records. The base
// level has a small fixed budget (8 MB): a longer period gets wider buckets
// (chosen before the pass, or pairs merge while appending), so a whole file of
// any size costs no more memory than a few million values do. The price is
// that between the view window and the whole file, columns are cut at bucket
// boundaries (at most one bucket off), not at exact record times.
//
// Drawing asks for about two points per pixel column. While the visible range
// holds few enough records (a few hundred thousand at most) those records are
// read from the file at full resolution, with a margin, and kept as the view
// window: zooming within it or panning a little does not read again, and the
// columns are cut at exact record times. Beyond that the columns are cut at
// bucket boundaries and drawn from the envelope level that fits.
// Single points (cursors locked onto points, GetX/GetY, FindPoint) come from
// the view window when it holds them, else from a small window read around
// them on demand. A read failure there never throws out of a drawing call: it
// draws from the envelope instead, or gives NaN for a single point.
//
// A plot against an X channel needs every point (it is not ordered by x), so
// it keeps the values themselves, refused (LOAD_NO_MEMORY) beyond 160 MB.
//
// Bounds: envelope 8.5 MB, view window 48 MB, point window a few hundred KB,
// X-channel values 160 MB: under 256 MB whatever the file and the period.
//
// Append() extends the points with records written since, reading only those.
//
// The envelope of a large time plot is kept in the user's cache folder
// ($XDG_CACHE_HOME/zk7/graph), named by a hash of its key: the file's device,
// inode, size and modification time (ns), the period, the time base and the
// bucket size. A cache is used only when its key matches in full, its checksum
// holds and its first and last record times are those of the file; anything
// else is a full pass (which then writes the cache afresh). Only periods of a
// million values or more are kept, and the folder keeps the newest 256 MB.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
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
  // is 0 or more. After a cancel or a memory failure the points are empty. The
  // document must outlive the points (points are read from it on demand).
  eLoadResult Load(const CZK7Doc& doc, int nFirst, int nLast, double dTimeBase, int nXChannel,
                   const ProgressFn& fnProgress = {});
  // Extends loaded points with the records after them up to nLast, reading only
  // those. A cancel keeps the records appended so far.
  eLoadResult Append(const CZK7Doc& doc, int nLast, const ProgressFn& fnProgress = {});
  void Clear();

  bool IsEmpty() const { return m_nCount == 0; }
  int GetChannelCount() const { return m_nChannels; }
  int GetPointCount() const { return m_nCount; }
  int GetFirstRecord() const { return m_nFirst; }
  int GetXChannel() const { return m_nXChannel; }
  // A point's x and y; NaN when it cannot be read.
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
  // point kept before it is dropped. Empty on a time axis.
  void GetXYDrawPoints(int nChannel, double dXMin, double dXMax, double dYMin, double dYMax, int nColumns,
                       int nRows, std::vector<double>& aX, std::vector<double>& aY) const;

  // Bytes held: envelope, windows read on demand, and the values of an X-channel plot.
  size_t GetMemoryBytes() const;
  // Records summarised by one base-level envelope entry (64, more for huge files).
  int GetBucketSize() const { return m_nBucket; }
  // Records read at full resolution for drawing at most (the view window).
  int GetMaxWindowRecords() const;

private:
  struct sEnvelope {
    std::vector<float> aBase;                // min, max per bucket
    std::vector<std::vector<float>> aLevels; // level k: min, max over 16^(k+1) buckets
  };
  // Records [nFirst, nFirst + nCount) of the points at full resolution.
  struct sWindow {
    int nFirst = 0;
    int nCount = 0;
    std::vector<double> aX;                       // record x (time axis)
    std::vector<std::vector<float>> aValues;      // per channel
    std::vector<std::vector<int32_t>> aDeltaMs;   // per channel, empty while all 0
    bool Holds(int nFrom, int nTo) const { return nCount > 0 && nFrom >= nFirst && nTo <= nFirst + nCount; }
    size_t Bytes() const;
  };

  bool LoadCache(const std::string& strPath, int nCount);
  void SaveCache(const std::string& strPath) const;
  eLoadResult Extend(const CZK7Doc& doc, int nRecords, const ProgressFn& fnProgress);
  void Coarsen();
  void UpdateLevels(sEnvelope& env, size_t nFromBucket);
  void RangeMinMax(const sEnvelope& env, size_t nFrom, size_t nTo, float& fMin, float& fMax) const;
  size_t BucketCount() const { return m_aBucketX0.size(); }
  bool ReadWindow(sWindow& w, int nFrom, int nTo) const;
  const sWindow* WindowFor(int nFrom, int nTo) const;
  double WindowX(const sWindow& w, int nChannel, int k) const;
  void DrawFromEnvelope(int nChannel, double dXMin, double dXMax, int nColumns, std::vector<double>& aX,
                        std::vector<double>& aY) const;
  void DrawFromWindow(const sWindow& w, int nChannel, double dXMin, double dXMax, int nColumns,
                      std::vector<double>& aX, std::vector<double>& aY) const;

  const CZK7Doc* m_pDoc = nullptr;
  int m_nChannels = 0;
  int m_nCount = 0;
  int m_nFirst = 0;
  int m_nXChannel = -1;
  double m_dTimeBase = 0.0;
  int m_nBucket = 64;
  size_t m_nLevelsFrom = 0;            // first bucket whose upper levels are stale
  std::vector<double> m_aBucketX0;     // x of each bucket's first and last record
  std::vector<double> m_aBucketX1;
  std::vector<sEnvelope> m_aEnvelopes; // per channel
  std::vector<std::vector<float>> m_aResident;  // every value, X-channel plots only
  mutable sWindow m_view;              // the visible range, for drawing
  mutable sWindow m_near;              // around the last single point asked for
};

} // namespace zk7
