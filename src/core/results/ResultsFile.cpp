#include "results/ResultsFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "results/ZK7Exception.h"

namespace zk7 {

CResultsFile::CResultsFile(const std::string& strPath) : m_strPath(strPath) {
  m_fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (m_fd < 0)
    throw CZK7Exception(CZK7Exception::FILE_ERROR,
                        "Cannot open the file '" + strPath + "': " + std::strerror(errno));
  struct stat st {};
  if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int nErr = errno;
    ::close(m_fd);
    m_fd = -1;
    throw CZK7Exception(CZK7Exception::FILE_ERROR,
                        "Cannot open the file '" + strPath + "': " +
                            (S_ISREG(st.st_mode) ? std::strerror(nErr) : "not a regular file"));
  }
  // Writers are kept out where the platform honours it: a shared lock tells
  // cooperating writers (our own downloads among them) that the file is in use.
  ::flock(m_fd, LOCK_SH | LOCK_NB);
  m_nLength = static_cast<uint64_t>(st.st_size);
  m_nDevice = static_cast<uint64_t>(st.st_dev);
  m_nInode = static_cast<uint64_t>(st.st_ino);
}

uint64_t CResultsFile::Refresh() {
  struct stat st {};
  if (::fstat(m_fd, &st) != 0)
    throw CZK7Exception(CZK7Exception::FILE_ERROR,
                        "A read error occurred on '" + m_strPath + "': " + std::strerror(errno));
  struct stat byName {};
  if (::stat(m_strPath.c_str(), &byName) != 0 || static_cast<uint64_t>(byName.st_dev) != m_nDevice ||
      static_cast<uint64_t>(byName.st_ino) != m_nInode)
    throw CZK7Exception(CZK7Exception::FILE_ERROR,
                        "The file '" + m_strPath + "' was replaced or removed while it was open.");
  const uint64_t nLength = static_cast<uint64_t>(st.st_size);
  if (nLength < m_nLength)
    throw CZK7Exception(CZK7Exception::FILE_ERROR, "The file '" + m_strPath + "' became shorter while it was open (" +
                                                       std::to_string(m_nLength) + " bytes, now " +
                                                       std::to_string(nLength) + ").");
  m_nLength = nLength;
  return nLength;
}

CResultsFile::~CResultsFile() {
  if (m_fd >= 0) ::close(m_fd);
}

size_t CResultsFile::ReadSome(uint64_t nOffset, void* pBuffer, size_t nBytes) const {
  size_t nDone = 0;
  auto* p = static_cast<uint8_t*>(pBuffer);
  while (nDone < nBytes) {
    ssize_t n = ::pread(m_fd, p + nDone, nBytes - nDone, static_cast<off_t>(nOffset + nDone));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw CZK7Exception(CZK7Exception::FILE_ERROR,
                          "A read error occurred on '" + m_strPath + "': " + std::strerror(errno));
    }
    if (n == 0) break;
    nDone += static_cast<size_t>(n);
  }
  return nDone;
}

void CResultsFile::ReadAt(uint64_t nOffset, void* pBuffer, size_t nBytes) const {
  if (ReadSome(nOffset, pBuffer, nBytes) != nBytes)
    throw CZK7Exception(CZK7Exception::FILE_ERROR,
                        "An attempt was made to read past the end of '" + m_strPath + "'.");
}

} // namespace zk7
