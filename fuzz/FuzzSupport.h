// What the fuzz targets share: files made from the fuzzer's bytes, texts that
// end right before an unreadable page, the regional conventions to try, and
// the valid files the seeds are made from.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/RegionalSettings.h"
#include "samples/SampleWriter.h"

namespace zk7::fuzz {

// A property that must hold for every input: a failure aborts, which the fuzzer
// records as a finding with its input.
#define ZK7_FUZZ_CHECK(cond, what) ::zk7::fuzz::Check((cond), #cond, (what))
void Check(bool bOk, const char* pszCond, const std::string& strWhat);

// A file in memory with a path the reader can open (/proc/self/fd/N), so that
// no run touches the disk. Optionally extended by a hole, which reads as zeros
// and costs nothing: huge files stay cheap.
class CMemoryFile {
public:
  CMemoryFile(const uint8_t* pData, size_t nSize, uint64_t nLength = 0);
  ~CMemoryFile();
  CMemoryFile(const CMemoryFile&) = delete;
  CMemoryFile& operator=(const CMemoryFile&) = delete;
  const std::string& GetPath() const { return m_strPath; }

private:
  int m_fd = -1;
  std::string m_strPath;
};

// The results target's input is the file's bytes, optionally followed by this
// trailer: the file's whole length (u64, little-endian) then the 8 bytes below.
// The bytes before the trailer start the file; the rest is a hole.
constexpr char HOLE_TRAILER_MAGIC[8] = {'\0', 'Z', 'K', 'H', 'O', 'L', 'E', '\0'};
constexpr size_t HOLE_TRAILER_SIZE = 16;
constexpr uint64_t MAX_HOLE_LENGTH = 1ULL << 40;
// Splits an input into the bytes and the length of the file it stands for.
void SplitHoleTrailer(const uint8_t* pData, size_t nSize, size_t& nBytes, uint64_t& nLength);
std::vector<uint8_t> WithHoleTrailer(std::vector<uint8_t> aBytes, uint64_t nLength);

// Inputs of the XML targets may grow a text from a fragment, so that deeply
// nested or very long documents are a few mutations away: an input that starts
// with 0xFF 'R' holds a repeat count (u24, little-endian), a head and a fragment
// (each a length byte and the bytes), then a tail; the text is the head, the
// fragment repeated, then the tail. Any other input is the text itself. The
// text is capped at MAX_EXPANDED bytes.
constexpr size_t MAX_EXPANDED = 256u << 10;
std::string ExpandText(const uint8_t* pData, size_t nSize);
// The input that ExpandText grows into that text (head and fragment < 256 bytes).
std::string RepeatInput(const std::string& strHead, const std::string& strFragment, unsigned nCount,
                        const std::string& strTail);

// The regional conventions a target tries, chosen by one input byte: point and
// comma decimals, day-, month- and year-first dates, two- and four-digit years,
// month names, and a date separator equal to the decimal one.
const std::vector<CRegionalSettings>& AllRegionalSettings();
const CRegionalSettings& RegionalSettingsOf(uint8_t nByte);

// A whole valid results file from the sample writer.
std::vector<uint8_t> SampleFile(const sSampleSpec& spec);

} // namespace zk7::fuzz
