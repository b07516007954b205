// The open results file: read-only access with 64-bit positions.
#pragma once
#include <cstdint>
#include <string>

namespace zk7 {

class CResultsFile {
public:
  // Throws CZK7Exception (FILE_ERROR) when the file cannot be opened.
  explicit CResultsFile(const std::string& strPath);
  ~CResultsFile();
  CResultsFile(const CResultsFile&) = delete;
  CResultsFile& operator=(const CResultsFile&) = delete;

  uint64_t GetLength() const { return m_nLength; }
  // A results file grows while it is recorded or copied: takes the file's length
  // again from the open descriptor and returns it. The file stays what was
  // opened only while the path still names the same device and inode and the
  // length never goes down; a file replaced (renamed over, deleted) or cut short
  // throws CZK7Exception (FILE_ERROR), since the records already shown would no
  // longer be the file's.
  uint64_t Refresh();
  // Reads exactly nBytes at nOffset; throws CZK7Exception (FILE_ERROR) on a
  // read failure or a short read.
  void ReadAt(uint64_t nOffset, void* pBuffer, size_t nBytes) const;
  // Reads as much as there is, up to nBytes; returns the count (throws on errors).
  size_t ReadSome(uint64_t nOffset, void* pBuffer, size_t nBytes) const;

private:
  std::string m_strPath;
  int m_fd = -1;
  uint64_t m_nLength = 0;
  uint64_t m_nDevice = 0;
  uint64_t m_nInode = 0;
};

} // namespace zk7
