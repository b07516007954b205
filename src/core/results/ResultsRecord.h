// The on-disk record of a results file and its per-channel sample (little-endian).
#pragma once
#include <bit>
#include <cstdint>

namespace zk7 {

static_assert(std::endian::native == std::endian::little,
              "results records are read in place: a little-endian host is required");

struct ChannelSample {
  int16_t nOffset;   // time offset of the sample, in ms
  uint16_t nError;   // 0: value valid, else a catalogue error number
  float fValue;      // measured value in the channel's unit
};
static_assert(sizeof(ChannelSample) == 8);

struct ResultsRecord {
  uint32_t nBaseTime;  // seconds since 1970-01-01, read as signed
  uint32_t nCounter;   // cycle counter
  // n ChannelSample follow in the file and in memory.
  const ChannelSample& Sample(int nChannel) const {
    return reinterpret_cast<const ChannelSample*>(this + 1)[nChannel];
  }
};
static_assert(sizeof(ResultsRecord) == 8);

constexpr int RESULTS_HEADER_SIZE = 48;
constexpr int RecordSize(int nChannels) { return 8 + 8 * nChannels; }

} // namespace zk7
