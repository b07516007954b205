// Loading, envelope, on-demand windows and drawing selection of the graph
// points (the design is described in GraphPoints.h).
#include "history/GraphPoints.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>

#include "format/Formatting.h"
#include "results/ZK7Doc.h"

namespace zk7 {

namespace {

constexpr int FAN_OUT = 16;          // each upper envelope level is 16 times coarser
constexpr int BASE_BUCKET = 64;      // records per base-level entry while the budget allows
constexpr int PROGRESS_STEP = 5000;  // records between two progress calls
constexpr size_t MB = size_t{1} << 20;
constexpr size_t ENVELOPE_BUDGET = 8 * MB;     // base level; the upper levels add a fifteenth
constexpr size_t VIEW_BUDGET = 48 * MB;        // the view window read for drawing
constexpr size_t RESIDENT_BUDGET = 160 * MB;   // every value of an X-channel plot
constexpr int MAX_VIEW_RECORDS = 262144;
constexpr int NEAR_RECORDS = 4096;
constexpr float NO_MIN = std::numeric_limits<float>::infinity();
constexpr double GAP = std::numeric_limits<double>::quiet_NaN();

constexpr double CACHE_MIN_VALUES = 1e6;   // smaller periods are quick to read again
constexpr uintmax_t CACHE_FOLDER_BUDGET = 256 * MB;
constexpr uint64_t CACHE_MAGIC = 0x3176654e4547374bull;  // "K7GENev1"

uint64_t Fnv1a(const void* p, size_t n, uint64_t h = 1469598103934665603ull) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  return h;
}

// The key of a period's envelope: empty when the file cannot be identified.
std::vector<uint64_t> CacheKey(const CZK7Doc& doc, int nFirst, int nCount, double dTimeBase, int nBucket) {
  struct stat st;
  if (::stat(doc.GetPathName().c_str(), &st) != 0) return {};
  uint64_t nBase;
  std::memcpy(&nBase, &dTimeBase, sizeof nBase);
  return {CACHE_MAGIC,
          static_cast<uint64_t>(st.st_dev),
          static_cast<uint64_t>(st.st_ino),
          static_cast<uint64_t>(st.st_size),
          static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000ull + static_cast<uint64_t>(st.st_mtim.tv_nsec),
          static_cast<uint64_t>(doc.GetRecordSize()),
          static_cast<uint64_t>(doc.GetChannelCount()),
          static_cast<uint64_t>(nFirst),
          static_cast<uint64_t>(nCount),
          nBase,
          static_cast<uint64_t>(nBucket)};
}

std::string CacheFile(const std::vector<uint64_t>& aKey) {
  const char* pszCache = std::getenv("XDG_CACHE_HOME");
  const char* pszHome = std::getenv("HOME");
  std::string strDir;
  if (pszCache && *pszCache == '/')
    strDir = pszCache;
  else if (pszHome && *pszHome == '/')
    strDir = std::string(pszHome) + "/.cache";
  else
    return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(Fnv1a(aKey.data(), aKey.size() * 8)));
  return strDir + "/zk7/graph/" + buf + ".envelope";
}

inline void Widen(float f, float& fMin, float& fMax) {
  if (!std::isfinite(f)) return;
  if (f < fMin) fMin = f;
  if (f > fMax) fMax = f;
}

inline double Drawable(float f) { return std::isfinite(f) ? static_cast<double>(f) : GAP; }

template <class T>
size_t Bytes(const std::vector<T>& a) {
  return a.capacity() * sizeof(T);
}

} // namespace

size_t CGraphPoints::sWindow::Bytes() const {
  size_t n = zk7::Bytes(aX);
  for (const auto& a : aValues) n += zk7::Bytes(a);
  for (const auto& a : aDeltaMs) n += zk7::Bytes(a);
  return n;
}

void CGraphPoints::Clear() {
  m_pDoc = nullptr;
  m_nChannels = 0;
  m_nCount = 0;
  m_nFirst = 0;
  m_nXChannel = -1;
  m_dTimeBase = 0.0;
  m_nBucket = BASE_BUCKET;
  m_nLevelsFrom = 0;
  std::vector<double>().swap(m_aBucketX0);
  std::vector<double>().swap(m_aBucketX1);
  std::vector<sEnvelope>().swap(m_aEnvelopes);
  std::vector<std::vector<float>>().swap(m_aResident);
  m_view = sWindow();
  m_near = sWindow();
}

int CGraphPoints::GetMaxWindowRecords() const {
  const size_t nPerRecord = 8 + 8 * static_cast<size_t>(std::max(m_nChannels, 1));
  return static_cast<int>(std::clamp<size_t>(VIEW_BUDGET / nPerRecord, NEAR_RECORDS, MAX_VIEW_RECORDS));
}

CGraphPoints::eLoadResult CGraphPoints::Load(const CZK7Doc& doc, int nFirst, int nLast, double dTimeBase,
                                             int nXChannel, const ProgressFn& fnProgress) {
  Clear();
  const int nChannels = doc.GetChannelCount();
  if (nFirst < 0) nFirst = 0;
  if (nLast >= doc.GetRecordCount()) nLast = doc.GetRecordCount() - 1;
  // An empty period keeps where and how it starts, for the records appended later.
  m_nFirst = nFirst;
  m_dTimeBase = dTimeBase;
  m_nXChannel = nXChannel >= nChannels ? -1 : nXChannel;
  if (nLast < nFirst || nChannels <= 0) {
    if (fnProgress && !fnProgress(0)) return LOAD_CANCELLED;
    return LOAD_OK;
  }
  if (nXChannel >= nChannels) nXChannel = -1;
  const int nCount = nLast - nFirst + 1;
  if (nXChannel >= 0 && static_cast<size_t>(nCount) * nChannels * sizeof(float) > RESIDENT_BUDGET)
    return LOAD_NO_MEMORY;
  m_pDoc = &doc;
  m_nChannels = nChannels;
  m_nFirst = nFirst;
  m_nXChannel = nXChannel;
  m_dTimeBase = dTimeBase;
  eLoadResult e = LOAD_OK;
  try {
    // Buckets as fine as the budget allows, allocated once.
    const size_t nPerBucket = 16 + 8 * static_cast<size_t>(nChannels);
    auto buckets = [&] { return (static_cast<size_t>(nCount) + m_nBucket - 1) / static_cast<size_t>(m_nBucket); };
    while (buckets() * nPerBucket > ENVELOPE_BUDGET) m_nBucket *= 2;
    m_aBucketX0.reserve(buckets());
    m_aBucketX1.reserve(buckets());
    m_aEnvelopes.resize(static_cast<size_t>(nChannels));
    for (sEnvelope& env : m_aEnvelopes) env.aBase.reserve(2 * buckets());
    if (nXChannel >= 0) {
      m_aResident.resize(static_cast<size_t>(nChannels));
      for (auto& a : m_aResident) a.reserve(static_cast<size_t>(nCount));
    }
    std::string strCache;
    if (nXChannel < 0 && static_cast<double>(nCount) * nChannels >= CACHE_MIN_VALUES) {
      const std::vector<uint64_t> aKey = CacheKey(doc, nFirst, nCount, dTimeBase, m_nBucket);
      if (!aKey.empty()) strCache = CacheFile(aKey);
      if (!strCache.empty() && LoadCache(strCache, nCount)) {
        if (fnProgress && !fnProgress(0)) {
          Clear();
          return LOAD_CANCELLED;
        }
        return LOAD_OK;
      }
    }
    e = Extend(doc, nCount, fnProgress);
    if (e == LOAD_OK && !strCache.empty()) SaveCache(strCache);
  } catch (const std::bad_alloc&) {
    e = LOAD_NO_MEMORY;
  } catch (const std::length_error&) {
    e = LOAD_NO_MEMORY;
  } catch (...) {
    Clear();
    throw;
  }
  if (e != LOAD_OK) Clear();
  return e;
}

CGraphPoints::eLoadResult CGraphPoints::Append(const CZK7Doc& doc, int nLast, const ProgressFn& fnProgress) {
  if (m_nCount == 0 || doc.GetChannelCount() != m_nChannels)
    return Load(doc, m_nFirst, nLast, m_dTimeBase, m_nXChannel, fnProgress);
  m_pDoc = &doc;
  nLast = std::min(nLast, doc.GetRecordCount() - 1);
  const int nRecords = nLast - (m_nFirst + m_nCount) + 1;
  if (nRecords <= 0) return LOAD_OK;
  if (m_nXChannel >= 0 && static_cast<size_t>(m_nCount + nRecords) * m_nChannels * sizeof(float) > RESIDENT_BUDGET)
    return LOAD_NO_MEMORY;
  try {
    return Extend(doc, nRecords, fnProgress);
  } catch (const std::bad_alloc&) {
    Clear();
    return LOAD_NO_MEMORY;
  } catch (const std::length_error&) {
    Clear();
    return LOAD_NO_MEMORY;
  }
}

CGraphPoints::eLoadResult CGraphPoints::Extend(const CZK7Doc& doc, int nRecords, const ProgressFn& fnProgress) {
  const size_t nChannels = static_cast<size_t>(m_nChannels);
  const size_t nPerBucket = 16 + 8 * nChannels;
  const bool bTime = m_nXChannel < 0;
  m_nLevelsFrom = std::min(m_nLevelsFrom, BucketCount() ? BucketCount() - 1 : 0);
  int i = 0;
  bool bCancelled = false;
  // Whatever ends the pass, the levels must describe the buckets filled so far.
  auto finishLevels = [this] {
    for (sEnvelope& env : m_aEnvelopes) UpdateLevels(env, m_nLevelsFrom);
    m_nLevelsFrom = BucketCount();
  };
  try {
  doc.ForEachRecord(m_nFirst + m_nCount, nRecords, [&](int, const ResultsRecord& rec) {
    if (i % PROGRESS_STEP == 0 && fnProgress && !fnProgress(i)) {
      bCancelled = true;
      return false;
    }
    const double x = bTime ? doc.GetRecordTime(rec, 0) - m_dTimeBase
                           : static_cast<double>(rec.Sample(m_nXChannel).fValue);
    const size_t k = static_cast<size_t>(m_nCount);
    size_t b = k / static_cast<size_t>(m_nBucket);
    if (b == BucketCount()) {
      if ((b + 1) * nPerBucket > ENVELOPE_BUDGET) {
        Coarsen();
        b = k / static_cast<size_t>(m_nBucket);
      }
      if (b == BucketCount()) {
        m_aBucketX0.push_back(x);
        m_aBucketX1.push_back(x);
        for (sEnvelope& env : m_aEnvelopes) {
          env.aBase.push_back(NO_MIN);
          env.aBase.push_back(-NO_MIN);
        }
      }
    }
    m_aBucketX1[b] = x;
    for (size_t c = 0; c < nChannels; ++c) {
      const float f = rec.Sample(static_cast<int>(c)).fValue;
      float* p = &m_aEnvelopes[c].aBase[2 * b];
      Widen(f, p[0], p[1]);
      if (!m_aResident.empty()) m_aResident[c].push_back(f);
    }
    ++m_nCount;
    ++i;
    return true;
  });
  } catch (...) {
    finishLevels();
    throw;
  }
  finishLevels();
  return bCancelled ? LOAD_CANCELLED : LOAD_OK;
}

// The cache file: the key, the bucket count, the bucket times, each channel's
// base level, and an FNV-1a checksum of all that.
void CGraphPoints::SaveCache(const std::string& strPath) const {
  const std::vector<uint64_t> aKey = CacheKey(*m_pDoc, m_nFirst, m_nCount, m_dTimeBase, m_nBucket);
  if (aKey.empty() || CacheFile(aKey) != strPath) return;  // the file changed while read
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(strPath).parent_path(), ec);
  const std::string strTemp = strPath + "." + std::to_string(::getpid());
  uint64_t h = Fnv1a(nullptr, 0);
  {
    std::ofstream f(strTemp, std::ios::binary | std::ios::trunc);
    auto put = [&](const void* p, size_t n) {
      f.write(static_cast<const char*>(p), static_cast<std::streamsize>(n));
      h = Fnv1a(p, n, h);
    };
    put(aKey.data(), aKey.size() * 8);
    const uint64_t nBuckets = BucketCount();
    put(&nBuckets, 8);
    put(m_aBucketX0.data(), nBuckets * 8);
    put(m_aBucketX1.data(), nBuckets * 8);
    for (const sEnvelope& env : m_aEnvelopes) put(env.aBase.data(), nBuckets * 8);
    f.write(reinterpret_cast<const char*>(&h), 8);
    if (!f.flush()) {
      f.close();
      std::filesystem::remove(strTemp, ec);
      return;
    }
  }
  std::filesystem::rename(strTemp, strPath, ec);
  if (ec) std::filesystem::remove(strTemp, ec);
  // The folder keeps the most recently written envelopes, CACHE_FOLDER_BUDGET at most.
  struct sEntry {
    std::filesystem::file_time_type t;
    uintmax_t nSize;
    std::filesystem::path path;
  };
  std::vector<sEntry> aEntries;
  uintmax_t nTotal = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(strPath).parent_path(), ec)) {
    std::error_code ecEntry;
    const uintmax_t nSize = e.file_size(ecEntry);
    const auto t = e.last_write_time(ecEntry);
    if (ecEntry || e.path().extension() != ".envelope") continue;
    aEntries.push_back({t, nSize, e.path()});
    nTotal += nSize;
  }
  std::sort(aEntries.begin(), aEntries.end(), [](const sEntry& a, const sEntry& b) { return a.t < b.t; });
  for (const sEntry& e : aEntries) {
    if (nTotal <= CACHE_FOLDER_BUDGET || e.path == strPath) break;
    if (std::filesystem::remove(e.path, ec)) nTotal -= e.nSize;
  }
}

bool CGraphPoints::LoadCache(const std::string& strPath, int nCount) {
  const std::vector<uint64_t> aExpected = CacheKey(*m_pDoc, m_nFirst, nCount, m_dTimeBase, m_nBucket);
  std::ifstream f(strPath, std::ios::binary);
  if (!f) return false;
  std::vector<uint64_t> aStored(aExpected.size());
  uint64_t h = Fnv1a(nullptr, 0);
  auto get = [&](void* p, size_t n) {
    if (!f.read(static_cast<char*>(p), static_cast<std::streamsize>(n))) return false;
    h = Fnv1a(p, n, h);
    return true;
  };
  if (!get(aStored.data(), aStored.size() * 8)) return false;
  uint64_t nBuckets = 0;
  if (aExpected.empty() || aStored != aExpected || !get(&nBuckets, 8) ||
      nBuckets != (static_cast<uint64_t>(nCount) + m_nBucket - 1) / static_cast<uint64_t>(m_nBucket))
    return false;
  const size_t n = static_cast<size_t>(nBuckets);
  m_aBucketX0.resize(n);
  m_aBucketX1.resize(n);
  bool bOk = get(m_aBucketX0.data(), n * 8) && get(m_aBucketX1.data(), n * 8);
  for (sEnvelope& env : m_aEnvelopes) {
    env.aBase.resize(2 * n);
    bOk = bOk && get(env.aBase.data(), n * 8);
  }
  uint64_t nSum = 0;
  bOk = bOk && f.read(reinterpret_cast<char*>(&nSum), 8) && nSum == h && f.peek() == std::char_traits<char>::eof();
  // The records at both ends must be the ones the file holds now.
  bOk = bOk && n > 0 && m_aBucketX0.front() == m_pDoc->PeekRecordTime(m_nFirst, 0) - m_dTimeBase &&
        m_aBucketX1.back() == m_pDoc->PeekRecordTime(m_nFirst + nCount - 1, 0) - m_dTimeBase;
  if (!bOk) {
    std::vector<double>().swap(m_aBucketX0);
    std::vector<double>().swap(m_aBucketX1);
    for (sEnvelope& env : m_aEnvelopes) std::vector<float>().swap(env.aBase);
    return false;
  }
  m_nCount = nCount;
  for (sEnvelope& env : m_aEnvelopes) UpdateLevels(env, 0);
  m_nLevelsFrom = BucketCount();
  return true;
}

void CGraphPoints::Coarsen() {
  // Pairs of buckets merge: twice the records per entry, half the entries.
  const size_t n = BucketCount(), nHalf = (n + 1) / 2;
  for (size_t j = 0; j < nHalf; ++j) {
    const size_t a = 2 * j, b = std::min(2 * j + 1, n - 1);
    m_aBucketX0[j] = m_aBucketX0[a];
    m_aBucketX1[j] = m_aBucketX1[b];
    for (sEnvelope& env : m_aEnvelopes) {
      const float fMin = std::min(env.aBase[2 * a], env.aBase[2 * b]);
      const float fMax = std::max(env.aBase[2 * a + 1], env.aBase[2 * b + 1]);
      env.aBase[2 * j] = fMin;
      env.aBase[2 * j + 1] = fMax;
    }
  }
  m_aBucketX0.resize(nHalf);
  m_aBucketX1.resize(nHalf);
  for (sEnvelope& env : m_aEnvelopes) env.aBase.resize(2 * nHalf);
  m_nBucket *= 2;
  m_nLevelsFrom = 0;
}

void CGraphPoints::UpdateLevels(sEnvelope& env, size_t nFromBucket) {
  // Each level summarises the one below; only the entries over buckets from
  // nFromBucket on change.
  size_t nBelow = env.aBase.size() / 2;
  size_t nFrom = nFromBucket;
  size_t nLevel = 0;
  while (nBelow > 1) {
    const size_t nEntries = (nBelow + FAN_OUT - 1) / FAN_OUT;
    if (env.aLevels.size() <= nLevel) env.aLevels.emplace_back();
    std::vector<float>& aLevel = env.aLevels[nLevel];
    const std::vector<float>& aBelow = nLevel == 0 ? env.aBase : env.aLevels[nLevel - 1];
    aLevel.resize(2 * nEntries);
    nFrom /= FAN_OUT;
    for (size_t e = nFrom; e < nEntries; ++e) {
      float fMin = NO_MIN, fMax = -NO_MIN;
      const size_t nEnd = std::min(nBelow, (e + 1) * FAN_OUT);
      for (size_t j = e * FAN_OUT; j < nEnd; ++j) {
        fMin = std::min(fMin, aBelow[2 * j]);
        fMax = std::max(fMax, aBelow[2 * j + 1]);
      }
      aLevel[2 * e] = fMin;
      aLevel[2 * e + 1] = fMax;
    }
    nBelow = nEntries;
    ++nLevel;
  }
  env.aLevels.resize(nLevel);
}

void CGraphPoints::RangeMinMax(const sEnvelope& env, size_t lo, size_t hi, float& fMin, float& fMax) const {
  fMin = NO_MIN;
  fMax = -NO_MIN;
  hi = std::min(hi, env.aBase.size() / 2);
  // Walk up the levels: the ragged ends at each level, the aligned middle above.
  int nLevel = -1;
  while (lo < hi) {
    const std::vector<float>& l = nLevel < 0 ? env.aBase : env.aLevels[static_cast<size_t>(nLevel)];
    auto scan = [&](size_t a, size_t b) {
      for (size_t j = a; j < b; ++j) {
        fMin = std::min(fMin, l[2 * j]);
        fMax = std::max(fMax, l[2 * j + 1]);
      }
    };
    const bool bTop = nLevel + 1 >= static_cast<int>(env.aLevels.size());
    const size_t loA = (lo + FAN_OUT - 1) / FAN_OUT * FAN_OUT;
    const size_t hiA = hi / FAN_OUT * FAN_OUT;
    if (bTop || hi - lo < 2 * FAN_OUT || loA >= hiA) {
      scan(lo, hi);
      break;
    }
    scan(lo, loA);
    scan(hiA, hi);
    lo = loA / FAN_OUT;
    hi = hiA / FAN_OUT;
    ++nLevel;
  }
}

bool CGraphPoints::ReadWindow(sWindow& w, int nFrom, int nTo) const {
  nFrom = std::max(nFrom, 0);
  nTo = std::min(nTo, m_nCount);
  // The buffers are kept from one read to the next: no fresh pages each time.
  w.nFirst = 0;
  w.nCount = 0;
  if (!m_pDoc || nTo <= nFrom) return false;
  const size_t nCount = static_cast<size_t>(nTo - nFrom);
  const size_t nChannels = static_cast<size_t>(m_nChannels);
  try {
    w.aX.resize(nCount);
    w.aValues.resize(nChannels);
    for (auto& a : w.aValues) a.resize(nCount);
    w.aDeltaMs.resize(nChannels);
    for (auto& a : w.aDeltaMs) a.clear();
    size_t k = 0;
    const int64_t nRead = m_pDoc->ForEachRecord(m_nFirst + nFrom, static_cast<int>(nCount), [&](int, const ResultsRecord& rec) {
      const double t0 = m_pDoc->GetRecordTime(rec, 0);
      w.aX[k] = t0 - m_dTimeBase;
      // A channel's time differs from channel 0's by the difference of their
      // offsets in ms, exactly.
      const int32_t nOffset0 = rec.Sample(0).nOffset;
      for (size_t c = 0; c < nChannels; ++c) {
        const ChannelSample& sample = rec.Sample(static_cast<int>(c));
        w.aValues[c][k] = sample.fValue;
        const int32_t nDelta = static_cast<int32_t>(sample.nOffset) - nOffset0;
        if (nDelta == 0) continue;
        std::vector<int32_t>& aDelta = w.aDeltaMs[c];
        if (aDelta.empty()) aDelta.assign(nCount, 0);
        aDelta[k] = nDelta;
      }
      ++k;
      return true;
    });
    if (nRead != static_cast<int64_t>(nCount)) return false;
  } catch (const std::exception&) {
    // A file that cannot be read here shows what the envelope holds.
    w.nCount = 0;
    return false;
  }
  w.nFirst = nFrom;
  w.nCount = static_cast<int>(nCount);
  return true;
}

const CGraphPoints::sWindow* CGraphPoints::WindowFor(int nFrom, int nTo) const {
  nFrom = std::max(nFrom, 0);
  nTo = std::min(nTo, m_nCount);
  if (m_view.Holds(nFrom, nTo)) return &m_view;
  if (m_near.Holds(nFrom, nTo)) return &m_near;
  const int nSpan = std::max(NEAR_RECORDS, nTo - nFrom + 8);
  const int nMid = nFrom + (nTo - nFrom) / 2;
  int a = std::max(0, nMid - nSpan / 2);
  const int b = std::min(m_nCount, a + nSpan);
  a = std::max(0, b - nSpan);
  return ReadWindow(m_near, a, b) && m_near.Holds(nFrom, nTo) ? &m_near : nullptr;
}

double CGraphPoints::WindowX(const sWindow& w, int nChannel, int k) const {
  const std::vector<int32_t>& aDelta = w.aDeltaMs[static_cast<size_t>(nChannel)];
  const double dX = w.aX[static_cast<size_t>(k)];
  return aDelta.empty() ? dX : dX + aDelta[static_cast<size_t>(k)] * ONE_MS;
}

double CGraphPoints::GetX(int nChannel, int nPoint) const {
  if (nPoint < 0 || nPoint >= m_nCount || nChannel < 0 || nChannel >= m_nChannels) return GAP;
  const size_t k = static_cast<size_t>(nPoint);
  if (m_nXChannel >= 0) return static_cast<double>(m_aResident[static_cast<size_t>(m_nXChannel)][k]);
  const sWindow* w = WindowFor(nPoint, nPoint + 1);
  return w ? WindowX(*w, nChannel, nPoint - w->nFirst) : GAP;
}

double CGraphPoints::GetY(int nChannel, int nPoint) const {
  if (nPoint < 0 || nPoint >= m_nCount || nChannel < 0 || nChannel >= m_nChannels) return GAP;
  const size_t k = static_cast<size_t>(nPoint);
  if (m_nXChannel >= 0) return static_cast<double>(m_aResident[static_cast<size_t>(nChannel)][k]);
  const sWindow* w = WindowFor(nPoint, nPoint + 1);
  return w ? static_cast<double>(w->aValues[static_cast<size_t>(nChannel)][static_cast<size_t>(nPoint - w->nFirst)])
           : GAP;
}

int CGraphPoints::FindPoint(int nChannel, double dX) const {
  if (m_nCount == 0 || nChannel < 0 || nChannel >= m_nChannels) return -1;
  int nBest = -1;
  double dBest = 0;
  auto consider = [&](int i, double x) {
    const double d = std::fabs(x - dX);
    if (nBest < 0 || d <= dBest) {
      nBest = i;
      dBest = d;
    }
  };
  if (m_nXChannel >= 0) {
    const std::vector<float>& a = m_aResident[static_cast<size_t>(m_nXChannel)];
    for (int i = 0; i < m_nCount; ++i) consider(i, static_cast<double>(a[static_cast<size_t>(i)]));
    return nBest;
  }
  // The record found by time lies in the bucket that starts at or before x, or
  // is the first of the next one; the channel's own offsets are small beside
  // the record spacing, so its neighbours are enough.
  const size_t b = static_cast<size_t>(
      std::max<ptrdiff_t>(0, std::upper_bound(m_aBucketX0.begin(), m_aBucketX0.end(), dX) - m_aBucketX0.begin() - 1));
  const int nFrom = std::max(0, static_cast<int>(b) * m_nBucket - 2);
  const int nTo = std::min(m_nCount, static_cast<int>(b + 1) * m_nBucket + 2);
  const sWindow* w = WindowFor(nFrom, nTo);
  if (!w) return -1;
  const int i = nFrom + static_cast<int>(std::lower_bound(w->aX.begin() + (nFrom - w->nFirst),
                                                          w->aX.begin() + (nTo - w->nFirst), dX) -
                                         (w->aX.begin() + (nFrom - w->nFirst)));
  for (int j = std::max(0, i - 2); j <= std::min(m_nCount - 1, i + 1); ++j) {
    if (j < w->nFirst || j >= w->nFirst + w->nCount) continue;
    consider(j, WindowX(*w, nChannel, j - w->nFirst));
  }
  return nBest;
}

bool CGraphPoints::GetValueRange(int nChannel, double& dMin, double& dMax) const {
  if (nChannel < 0 || nChannel >= m_nChannels || m_nCount == 0) return false;
  float fMin, fMax;
  RangeMinMax(m_aEnvelopes[static_cast<size_t>(nChannel)], 0, BucketCount(), fMin, fMax);
  if (fMin > fMax) return false;
  dMin = fMin;
  dMax = fMax;
  return true;
}

bool CGraphPoints::GetXRange(double& dMin, double& dMax) const {
  if (m_nCount == 0) return false;
  if (m_nXChannel >= 0) return GetValueRange(m_nXChannel, dMin, dMax);
  dMin = m_aBucketX0.front();
  dMax = m_aBucketX1.back();
  return true;
}

void CGraphPoints::GetDrawPoints(int nChannel, double dXMin, double dXMax, int nColumns, std::vector<double>& aX,
                                 std::vector<double>& aY) const {
  aX.clear();
  aY.clear();
  if (m_nCount == 0 || nChannel < 0 || nChannel >= m_nChannels || nColumns <= 0 || m_nXChannel >= 0) return;
  if (dXMax < dXMin) std::swap(dXMin, dXMax);
  // The records that can be visible: from the first bucket ending at or after
  // dXMin to the first bucket starting after dXMax, one neighbour each side.
  const size_t b0 = static_cast<size_t>(std::lower_bound(m_aBucketX1.begin(), m_aBucketX1.end(), dXMin) - m_aBucketX1.begin());
  const size_t bEnd = static_cast<size_t>(std::upper_bound(m_aBucketX0.begin(), m_aBucketX0.end(), dXMax) - m_aBucketX0.begin());
  const int nFrom = std::max(0, static_cast<int>(b0) * m_nBucket - 1);
  const int nTo = static_cast<int>(std::min<size_t>(static_cast<size_t>(m_nCount), bEnd * static_cast<size_t>(m_nBucket) + 1));
  const int nMax = GetMaxWindowRecords();
  if (nTo - nFrom <= nMax) {
    if (!m_view.Holds(nFrom, nTo)) {
      // A margin of half the span each side: small pans and zooms read nothing.
      const int nSpan = std::min(nMax, 2 * (nTo - nFrom) + 2 * m_nBucket);
      int a = std::max(0, nFrom - (nSpan - (nTo - nFrom)) / 2);
      const int b = std::min(m_nCount, a + nSpan);
      a = std::max(0, b - nSpan);
      if (!ReadWindow(m_view, a, b) || !m_view.Holds(nFrom, nTo)) m_view.nCount = 0;
    }
    if (m_view.Holds(nFrom, nTo)) {
      DrawFromWindow(m_view, nChannel, dXMin, dXMax, nColumns, aX, aY);
      return;
    }
  }
  DrawFromEnvelope(nChannel, dXMin, dXMax, nColumns, aX, aY);
}

void CGraphPoints::DrawFromWindow(const sWindow& w, int nChannel, double dXMin, double dXMax, int nColumns,
                                  std::vector<double>& aX, std::vector<double>& aY) const {
  const std::vector<float>& aValues = w.aValues[static_cast<size_t>(nChannel)];
  // Window-local indexes from here on.
  const int n = w.nCount;
  auto lowerBound = [&](double dX) {
    return static_cast<int>(std::lower_bound(w.aX.begin(), w.aX.end(), dX) - w.aX.begin());
  };
  const int i0 = lowerBound(dXMin);
  const int iEnd = static_cast<int>(std::upper_bound(w.aX.begin(), w.aX.end(), dXMax) - w.aX.begin());
  auto pushPoint = [&](int i) {
    aX.push_back(WindowX(w, nChannel, i));
    aY.push_back(Drawable(aValues[static_cast<size_t>(i)]));
  };
  const int nFrom = std::max(0, i0 - 1), nTo = std::min(n, iEnd + 1);
  if (iEnd - i0 <= 2 * nColumns) {
    aX.reserve(static_cast<size_t>(std::max(0, nTo - nFrom)));
    aY.reserve(static_cast<size_t>(std::max(0, nTo - nFrom)));
    for (int i = nFrom; i < nTo; ++i) pushPoint(i);
    return;
  }
  aX.reserve(2 * static_cast<size_t>(nColumns) + 2);
  aY.reserve(2 * static_cast<size_t>(nColumns) + 2);
  if (nFrom < i0) pushPoint(nFrom);
  const double dWidth = (dXMax - dXMin) / nColumns;
  double dPrev = aY.empty() ? GAP : aY.back();
  int s = i0;
  for (int k = 0; k < nColumns && s < iEnd; ++k) {
    const int e = k + 1 == nColumns ? iEnd : std::max(s, lowerBound(dXMin + (k + 1) * dWidth));
    if (e <= s) continue;
    float fMin = NO_MIN, fMax = -NO_MIN;
    for (int j = s; j < e; ++j) Widen(aValues[static_cast<size_t>(j)], fMin, fMax);
    const double dFirstX = w.aX[static_cast<size_t>(s)], dLastX = w.aX[static_cast<size_t>(e - 1)];
    if (fMin > fMax) {
      aX.push_back(dFirstX);
      aY.push_back(GAP);
    } else {
      // Enter the column at the extreme nearer the line coming in.
      double a = fMin, b = fMax;
      if (!std::isnan(dPrev) && std::fabs(dPrev - fMax) < std::fabs(dPrev - fMin)) std::swap(a, b);
      aX.push_back(dFirstX);
      aY.push_back(a);
      aX.push_back(dLastX);
      aY.push_back(b);
    }
    dPrev = aY.back();
    s = e;
  }
  if (iEnd < nTo) pushPoint(iEnd);
}

void CGraphPoints::DrawFromEnvelope(int nChannel, double dXMin, double dXMax, int nColumns, std::vector<double>& aX,
                                    std::vector<double>& aY) const {
  // Columns are cut at bucket boundaries: a bucket belongs to the column in
  // which its first record lies. Each neighbour beyond the edges is drawn as
  // its bucket's extremes.
  const sEnvelope& env = m_aEnvelopes[static_cast<size_t>(nChannel)];
  const size_t nBuckets = BucketCount();
  auto firstAtOrAfter = [&](size_t nFrom, double dX) {
    return static_cast<size_t>(std::lower_bound(m_aBucketX0.begin() + static_cast<ptrdiff_t>(nFrom), m_aBucketX0.end(), dX) -
                               m_aBucketX0.begin());
  };
  const size_t s0 = firstAtOrAfter(0, dXMin);
  const size_t sEnd = static_cast<size_t>(std::upper_bound(m_aBucketX0.begin(), m_aBucketX0.end(), dXMax) - m_aBucketX0.begin());
  aX.reserve(2 * static_cast<size_t>(nColumns) + 4);
  aY.reserve(2 * static_cast<size_t>(nColumns) + 4);
  double dPrev = GAP;
  auto pushColumn = [&](size_t s, size_t e) {
    float fMin, fMax;
    RangeMinMax(env, s, e, fMin, fMax);
    if (fMin > fMax) {
      aX.push_back(m_aBucketX0[s]);
      aY.push_back(GAP);
    } else {
      double a = fMin, b = fMax;
      if (!std::isnan(dPrev) && std::fabs(dPrev - fMax) < std::fabs(dPrev - fMin)) std::swap(a, b);
      aX.push_back(m_aBucketX0[s]);
      aY.push_back(a);
      aX.push_back(m_aBucketX1[e - 1]);
      aY.push_back(b);
    }
    dPrev = aY.back();
  };
  if (s0 > 0) pushColumn(s0 - 1, s0);
  const double dWidth = (dXMax - dXMin) / nColumns;
  size_t s = s0;
  for (int k = 0; k < nColumns && s < sEnd; ++k) {
    const size_t e = k + 1 == nColumns ? sEnd : std::max(s, firstAtOrAfter(s, dXMin + (k + 1) * dWidth));
    if (e <= s) continue;
    pushColumn(s, std::min(e, sEnd));
    s = e;
  }
  if (sEnd < nBuckets) pushColumn(sEnd, sEnd + 1);
}

void CGraphPoints::GetXYDrawPoints(int nChannel, double dXMin, double dXMax, double dYMin, double dYMax, int nColumns,
                                   int nRows, std::vector<double>& aX, std::vector<double>& aY) const {
  aX.clear();
  aY.clear();
  if (m_nCount == 0 || m_aResident.empty() || nChannel < 0 || nChannel >= m_nChannels || nColumns <= 0 || nRows <= 0)
    return;
  const double sx = dXMax > dXMin ? nColumns / (dXMax - dXMin) : 0.0;
  const double sy = dYMax > dYMin ? nRows / (dYMax - dYMin) : 0.0;
  auto cell = [](double v) {
    constexpr double LIMIT = 1e12;  // far outside any screen, inside int64
    return static_cast<int64_t>(std::floor(std::clamp(v, -LIMIT, LIMIT)));
  };
  const std::vector<float>& aXs = m_aResident[static_cast<size_t>(m_nXChannel)];
  const std::vector<float>& aYs = m_aResident[static_cast<size_t>(nChannel)];
  bool bHave = false, bGap = false;
  int64_t cxLast = 0, cyLast = 0;
  for (int i = 0; i < m_nCount; ++i) {
    const double x = aXs[static_cast<size_t>(i)], y = aYs[static_cast<size_t>(i)];
    if (!std::isfinite(x) || !std::isfinite(y)) {
      if (!bGap && bHave) {
        aX.push_back(GAP);
        aY.push_back(GAP);
      }
      bGap = true;
      bHave = false;
      continue;
    }
    const int64_t cx = cell((x - dXMin) * sx);
    const int64_t cy = cell((y - dYMin) * sy);
    const bool bLast = i + 1 == m_nCount;
    if (bHave && cx == cxLast && cy == cyLast && !bLast) continue;
    aX.push_back(x);
    aY.push_back(y);
    cxLast = cx;
    cyLast = cy;
    bHave = true;
    bGap = false;
  }
}

size_t CGraphPoints::GetMemoryBytes() const {
  size_t n = Bytes(m_aBucketX0) + Bytes(m_aBucketX1) + Bytes(m_aEnvelopes) + Bytes(m_aResident);
  for (const sEnvelope& env : m_aEnvelopes) {
    n += Bytes(env.aBase) + Bytes(env.aLevels);
    for (const std::vector<float>& l : env.aLevels) n += Bytes(l);
  }
  for (const std::vector<float>& a : m_aResident) n += Bytes(a);
  return n + m_view.Bytes() + m_near.Bytes();
}

} // namespace zk7
