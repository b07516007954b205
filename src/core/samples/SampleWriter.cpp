#include "samples/SampleWriter.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace zk7 {

namespace {

const char* const KINDS[5] = {"inputchan", "numchan", "outputchan", "relaychan", "calcchan"};

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// Uniform in [0, 1), a pure function of its arguments.
double Noise(uint64_t nSeed, int64_t nIndex, int nChannel, uint64_t nSalt) {
  uint64_t h = Mix(nSeed ^ Mix(static_cast<uint64_t>(nIndex) * 0x100000001B3ULL ^ Mix(static_cast<uint64_t>(nChannel) + nSalt)));
  return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

int TimeUnitFor(int nPeriodMs) {
  if (nPeriodMs % 100 == 0) return 100;
  if (nPeriodMs % 10 == 0) return 10;
  return 1;
}

void PutU32(std::vector<uint8_t>& a, size_t nPos, uint32_t n) { std::memcpy(a.data() + nPos, &n, 4); }

struct sChannelLook {
  const char* pszName;
  const char* pszUnit;
  const char* pszResolution;
};

// What channel c measures: temperatures and voltages on inputs, a digital
// counter, a current output, a relay and a calculated channel.
sChannelLook LookOf(int c) {
  switch (c % 5) {
    case 0: return ((c / 5) % 2 == 0) ? sChannelLook{"Oven", "\xB0" "C", "1"} : sChannelLook{"Supply", "V", "auto"};
    case 1: return {"Counter", "", "0"};
    case 2: return {"Valve", "mA", "3"};
    case 3: return {"Relay", "", "0"};
    default: return {"Power", "kW", "auto"};
  }
}

} // namespace

CSampleWriter::CSampleWriter(const sSampleSpec& spec) : m_spec(spec) {
  if (m_spec.nChannels < 1) m_spec.nChannels = 1;
  if (m_spec.nPeriodMs < 1) m_spec.nPeriodMs = 1;
  if (m_spec.nTimeUnit < 1 || m_spec.nPeriodMs % m_spec.nTimeUnit != 0) m_spec.nTimeUnit = TimeUnitFor(m_spec.nPeriodMs);

  std::string x = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<fieldacq>\n\t<session>\n";
  x += "\t\t<command>\n\t\t\t<configuration>\n\t\t\t\t<name>" + m_spec.strConfigName +
       "</name>\n\t\t\t</configuration>\n\t\t</command>\n";
  x += "\t\t<task period=\"" + std::to_string(m_spec.nPeriodMs) + "\" />\n";
  for (int c = 0; c < m_spec.nChannels; ++c) {
    const sChannelLook look = LookOf(c);
    const char* pszKind = KINDS[c % 5];
    x += std::string("\t\t<") + pszKind + " id=\"" + std::to_string(c + 1) + "\">\n";
    x += "\t\t\t<name>" + std::string(look.pszName) + " " + std::to_string(c / 5 + 1) + "</name>\n";
    x += "\t\t\t<unit>" + std::string(look.pszUnit) + "</unit>\n";
    x += "\t\t\t<display resolution=\"" + std::string(look.pszResolution) + "\" />\n";
    if (c % 5 == 0 && (c / 5) % 2 == 1) {  // a supply voltage: a narrow band around 24 V
      x += "\t\t\t<limit number=\"1\" onoff=\"on\" level=\"high\" value=\"24.5\" />\n";
      x += "\t\t\t<limit number=\"2\" onoff=\"on\" level=\"low\" value=\"23.5\" />\n";
    } else if (c % 5 == 0) {
      x += "\t\t\t<limit number=\"1\" onoff=\"on\" level=\"high\" value=\"28.5\" />\n";
      x += "\t\t\t<limit number=\"2\" onoff=\"on\" level=\"low\" value=\"12.25\" />\n";
      x += "\t\t\t<limit number=\"3\" onoff=\"off\" level=\"high\" value=\"40\" />\n";
    } else if (c % 5 == 2) {
      x += "\t\t\t<limit number=\"4\" onoff=\"on\" level=\"high\" value=\"19.5\" />\n";
    }
    x += std::string("\t\t</") + pszKind + ">\n";
  }
  x += "\t</session>\n</fieldacq>\n";
  m_strXml = x;
}

uint64_t CSampleWriter::GetDataOffset() const {
  return RESULTS_HEADER_SIZE + 4ULL * static_cast<uint64_t>(m_spec.nChannels) + m_strXml.size() + 1;
}

std::vector<uint8_t> CSampleWriter::BuildPrologue() const {
  std::vector<uint8_t> a(static_cast<size_t>(GetDataOffset()), 0);
  const char szTag[] = "ZK7 results\x1a";
  std::memcpy(a.data(), szTag, sizeof szTag - 1);
  std::memcpy(a.data() + 16, m_spec.strModel.c_str(), std::min<size_t>(m_spec.strModel.size(), 19));
  PutU32(a, 36, static_cast<uint32_t>(m_spec.nTimeUnit));
  PutU32(a, 40, static_cast<uint32_t>(m_spec.nChannels));
  PutU32(a, 44, static_cast<uint32_t>(GetDataOffset()));
  for (int c = 0; c < m_spec.nChannels; ++c) PutU32(a, 48 + 4 * static_cast<size_t>(c), 0x100u + static_cast<uint32_t>(c));
  std::memcpy(a.data() + 48 + 4 * static_cast<size_t>(m_spec.nChannels), m_strXml.data(), m_strXml.size());
  return a;  // the zero byte after the XML is already there
}

void CSampleWriter::SampleAt(int64_t i, int c, float& fValue, uint16_t& nError, int16_t& nOffset) const {
  const uint64_t s = m_spec.nSeed;
  const double t = static_cast<double>(i) * m_spec.nPeriodMs / 1000.0;  // seconds since start
  const double n = Noise(s, i, c, 1) - 0.5;
  const double phase = Noise(s, 0, c, 2) * 6.283185307179586;
  nError = 0;
  nOffset = static_cast<int16_t>(c == 0 ? 0 : (c * 3) % 40 + static_cast<int>(Noise(s, i, c, 3) * 3));
  if (m_spec.eStyle == eSampleStyle::Plant) {
    PlantSampleAt(i, c, fValue, nError);
    return;
  }
  double v;
  switch (c % 5) {
    case 0:
      if ((c / 5) % 2 == 0)  // a slowly drifting temperature
        v = 20.0 + 6.0 * std::sin(t / 3600.0 + phase) + 1.5 * std::sin(t / 517.0 + 2 * phase) + 0.08 * n;
      else  // a supply voltage with ripple
        v = 24.0 + 0.4 * std::sin(t / 60.0 + phase) + 0.02 * n;
      break;
    case 1: v = std::fmod(std::floor(t / 37.0 + phase), 16.0); break;  // a counter stepping through 0..15
    case 2: v = 12.0 + 8.0 * std::sin(t / 90.0 + phase) + 0.01 * n; break;  // 4..20 mA
    case 3: v = std::fmod(std::floor(t / 300.0 + phase), 2.0); break;  // a relay
    default: {  // power from the first temperature and the supply
      v = 1.2 * (20.0 + 6.0 * std::sin(t / 3600.0 + phase)) + 0.05 * n;
      break;
    }
  }
  // Now and then an input breaks off or overloads.
  if (c % 5 == 0 || c % 5 == 2) {
    const double e = Noise(s, i, c, 4);
    if (e < 0.0015) {
      static const uint16_t ERRORS[] = {6, 7, 12};
      nError = ERRORS[static_cast<int>(e * 2000) % 3];
      v = 0.0;
    }
  }
  fValue = static_cast<float>(v);
}

void CSampleWriter::PlantSampleAt(int64_t i, int c, float& fValue, uint16_t& nError) const {
  const uint64_t s = m_spec.nSeed;
  const double t = static_cast<double>(i) * m_spec.nPeriodMs / 1000.0;
  const double n = Noise(s, i, c, 1) - 0.5;
  const double phase = Noise(s, 0, c, 2) * 6.283185307179586;
  constexpr double DAY = 86400.0, TWO_PI = 6.283185307179586;
  // A value that holds over slots of nSlot seconds: slot k's own random number.
  auto slotNoise = [&](double nSlot, uint64_t nSalt, double dShift = 0.0) {
    return Noise(s, static_cast<int64_t>(std::floor((t + dShift) / nSlot)), c, nSalt);
  };
  // Now and then a bump of nHeight over nWidth seconds, once in a slot of nSlot
  // seconds with probability dChance: the alarm excursions.
  auto excursion = [&](double nSlot, double dChance, double nWidth, double nHeight) {
    const int64_t k = static_cast<int64_t>(std::floor(t / nSlot));
    if (Noise(s, k, c, 10) >= dChance) return 0.0;
    const double dStart = static_cast<double>(k) * nSlot + Noise(s, k, c, 11) * (nSlot - nWidth);
    if (t < dStart || t >= dStart + nWidth) return 0.0;
    const double x = std::sin((t - dStart) / nWidth * 3.141592653589793);
    return nHeight * x * x;
  };
  nError = 0;
  double v;
  switch (c % 5) {
    case 0:
      if ((c / 5) % 2 == 0) {  // a temperature following the day, overshooting its high limit now and then
        v = 20.0 + 4.0 * std::sin(TWO_PI * t / DAY + phase) + 1.2 * std::sin(t / 2500.0 + 2 * phase) + 0.05 * n;
        v += (31.0 - v) * excursion(8 * 3600.0, 0.7, 1500.0, 1.0);
      }
      else  // a supply voltage, dipping below its low limit once in a while
        v = 24.0 + 0.12 * std::sin(t / 1800.0 + phase) + 0.02 * n - excursion(6 * 3600.0, 0.5, 180.0, 0.9);
      break;
    case 1: v = std::fmod(std::floor(t / 300.0 + phase), 16.0); break;  // a counter stepping every five minutes
    case 2: {  // a valve's set point moving every twenty minutes, the current settling in about a minute
      const double dSlot = 1200.0;
      const double dNew = 4.0 + 16.0 * slotNoise(dSlot, 12);
      const double dOld = 4.0 + 16.0 * slotNoise(dSlot, 12, -dSlot);
      const double dSince = std::fmod(t, dSlot);
      v = dNew + (dOld - dNew) * std::exp(-dSince / 60.0) + 0.005 * n;
      break;
    }
    case 3: v = slotNoise(900.0, 13) < 0.5 ? 0.0 : 1.0; break;  // a relay, switching a few times an hour
    default: v = 1.2 * (20.0 + 4.0 * std::sin(TWO_PI * t / DAY + phase)) + 0.03 * n; break;  // a calculated power
  }
  // Inputs break off for a few seconds, a few times a day.
  if (c % 5 == 0 || c % 5 == 2) {
    const int64_t k = static_cast<int64_t>(std::floor(t / 7200.0));
    if (Noise(s, k, c, 14) < 0.25) {
      const double dStart = static_cast<double>(k) * 7200.0 + Noise(s, k, c, 15) * 7000.0;
      if (t >= dStart && t < dStart + 3.0 + Noise(s, k, c, 16) * 17.0) {
        static const uint16_t ERRORS[] = {6, 7, 12};
        nError = ERRORS[k % 3];
        v = 0.0;
      }
    }
  }
  fValue = static_cast<float>(v);
}

void CSampleWriter::BuildRecord(int64_t i, uint8_t* p) const {
  // Base times restart every hour so that the counter stays small.
  const int64_t nMs = i * m_spec.nPeriodMs;
  const int64_t nHours = nMs / 3600000;
  const uint32_t nBase = static_cast<uint32_t>(m_spec.nStartSeconds + nHours * 3600);
  const uint32_t nCounter = static_cast<uint32_t>((nMs - nHours * 3600000) / m_spec.nTimeUnit);
  std::memcpy(p, &nBase, 4);
  std::memcpy(p + 4, &nCounter, 4);
  for (int c = 0; c < m_spec.nChannels; ++c) {
    ChannelSample sample;
    SampleAt(i, c, sample.fValue, sample.nError, sample.nOffset);
    std::memcpy(p + 8 + 8 * static_cast<size_t>(c), &sample, 8);
  }
}

bool CSampleWriter::WriteRecords(std::FILE* f, int64_t nFirst, int64_t nCount) const {
  const size_t nSize = static_cast<size_t>(GetRecordSize());
  const int64_t nPerBlock = std::max<int64_t>(1, static_cast<int64_t>((1u << 20) / nSize));
  std::vector<uint8_t> a(static_cast<size_t>(std::min(nPerBlock, std::max<int64_t>(nCount, 1))) * nSize);
  for (int64_t nDone = 0; nDone < nCount;) {
    const int64_t n = std::min(nPerBlock, nCount - nDone);
    for (int64_t k = 0; k < n; ++k) BuildRecord(nFirst + nDone + k, a.data() + static_cast<size_t>(k) * nSize);
    if (std::fwrite(a.data(), nSize, static_cast<size_t>(n), f) != static_cast<size_t>(n)) return false;
    nDone += n;
  }
  return true;
}

bool CSampleWriter::WriteFile(const std::string& strPath, std::string* pstrError) const {
  std::FILE* f = std::fopen(strPath.c_str(), "wb");
  if (!f) {
    if (pstrError) *pstrError = "Cannot create '" + strPath + "': " + std::strerror(errno);
    return false;
  }
  const std::vector<uint8_t> a = BuildPrologue();
  bool bOk = std::fwrite(a.data(), 1, a.size(), f) == a.size() && WriteRecords(f, 0, m_spec.nRecords);
  bOk = (std::fclose(f) == 0) && bOk;
  if (!bOk && pstrError) *pstrError = "Cannot write '" + strPath + "': " + std::strerror(errno);
  return bOk;
}

} // namespace zk7
