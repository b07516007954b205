// Writing a block of record lines as the export file and the clipboard hold them:
// the title line then one line per row, TAB between cells, CR LF after every line.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "history/RecordSelection.h"

namespace zk7 {

class CHistRowText;

// Where the lines go: a file or a growing text.
class IRecordSink {
public:
  virtual ~IRecordSink() = default;
  virtual bool Write(const char* p, size_t n) = 0;  // false: a write error
};

class CFileRecordSink : public IRecordSink {
public:
  explicit CFileRecordSink(std::FILE* f) : m_f(f) {}
  bool Write(const char* p, size_t n) override { return std::fwrite(p, 1, n, m_f) == n; }

private:
  std::FILE* m_f;
};

// The lines in memory (the clipboard's copy). A write that would take the text
// beyond nLimit bytes fails and leaves the text as it was.
class CStringRecordSink : public IRecordSink {
public:
  explicit CStringRecordSink(size_t nLimit = SIZE_MAX) : m_nLimit(nLimit) {}
  bool Write(const char* p, size_t n) override {
    if (n > m_nLimit - m_str.size()) return false;
    m_str.append(p, n);
    return true;
  }
  const std::string& Text() const { return m_str; }
  std::string TakeText() { return std::move(m_str); }

private:
  size_t m_nLimit;
  std::string m_str;
};

// Called every 64 written rows with the count written and the total; returns
// false to cancel (the lines written so far stay).
using ExportProgress = std::function<bool(int64_t nWritten, int64_t nTotal)>;

enum : unsigned { EXPORT_ROWS_PER_PROGRESS = 64 };

// Result of WriteRecordLines: 0, or a write error whose text is EXPORT_WRITE_ERROR_TEXT.
enum : unsigned { EXPORT_WRITE_ERROR = 1 };
inline constexpr const char* EXPORT_WRITE_ERROR_TEXT = "Cannot write records to file.";

// Writes the title line and rows [nFirst, nFirst + nCount).
unsigned WriteRecordLines(const CHistRowText& rows, int nFirst, int nCount, IRecordSink& sink,
                          const ExportProgress& progress = {}, int64_t* pnWritten = nullptr);
// The same for the rows of several blocks, in the order given; progress counts
// the rows of all blocks together.
unsigned WriteRecordLines(const CHistRowText& rows, const std::vector<sRowBlock>& aBlocks, IRecordSink& sink,
                          const ExportProgress& progress = {}, int64_t* pnWritten = nullptr);

// The file name proposed for an export: the document title cut before its last
// ".", then before any of \ / : * ? " < > |, then ".txt".
std::string ProposeExportFileName(const std::string& strDocTitle);

} // namespace zk7
