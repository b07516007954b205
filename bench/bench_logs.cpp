// Memory and time of opening a log file: log_open_rss_ratio (peak memory of the
// open document over the file's size; budget below 4), log_open_ms.
// Usage: bench_logs DATA_DIR
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "format/RegionalSettings.h"
#include "logs/ZK7LogDoc.h"

using namespace zk7;
using Clock = std::chrono::steady_clock;

namespace {

std::string MakeJournal(const std::string& strDir, uint64_t nBytes) {
  const std::string strPath = strDir + "/journal.log";
  if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) >= nBytes) return strPath;
  std::ofstream out(strPath, std::ios::binary);
  uint64_t n = 0;
  for (long i = 1; n < nBytes; ++i) {
    char buf[160];
    const int k = std::snprintf(buf, sizeof buf, "%ld\t2026-%02ld-%02ld\t%02ld:%02ld:%02ld\tAcquisition\tadmin\tfile_%ld.zk\tok\r\n", i,
                                1 + i / 100000 % 12, 1 + i / 5000 % 28, i / 3600 % 24, i / 60 % 60, i % 60, i);
    out.write(buf, k);
    n += static_cast<uint64_t>(k);
  }
  return strPath;
}

std::string MakeEmptyLines(const std::string& strDir, uint64_t nBytes) {
  const std::string strPath = strDir + "/empty-lines.log";
  if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) == nBytes) return strPath;
  std::ofstream out(strPath, std::ios::binary);
  const std::string strChunk(1 << 20, '\n');
  for (uint64_t n = 0; n < nBytes; n += strChunk.size()) out.write(strChunk.data(), static_cast<std::streamsize>(strChunk.size()));
  return strPath;
}

// Peak resident memory in KB of a child that opens the file (or not), and its time.
long ChildPeakKb(const std::string& strPath, bool bOpen, double& dMs) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    double ms = 0;
    if (bOpen) {
      const auto t0 = Clock::now();
      CZK7LogDoc doc;
      if (!doc.OnOpenDocument(strPath)) ::_exit(1);
      ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    }
    if (::write(fds[1], &ms, sizeof ms) != sizeof ms) ::_exit(2);
    ::_exit(0);
  }
  ::close(fds[1]);
  if (::read(fds[0], &dMs, sizeof dMs) != sizeof dMs) dMs = -1;
  ::close(fds[0]);
  int nStatus = 0;
  struct rusage ru {};
  ::wait4(pid, &nStatus, 0, &ru);
  return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0 ? ru.ru_maxrss : -1;
}

void Bench(const std::string& strLabel, const std::string& strPath) {
  double dMs = 0;
  const long nBase = ChildPeakKb(strPath, false, dMs);
  const long nPeak = ChildPeakKb(strPath, true, dMs);
  const double dFileKb = static_cast<double>(std::filesystem::file_size(strPath)) / 1024.0;
  std::printf("log_open_rss_ratio: %.2f x (%s, %.0f MB peak over %.0f MB)\n", static_cast<double>(nPeak - nBase) / dFileKb,
              strLabel.c_str(), static_cast<double>(nPeak - nBase) / 1024.0, dFileKb / 1024.0);
  std::printf("log_open_ms: %.0f ms (%s)\n", dMs, strLabel.c_str());
}

} // namespace

int main(int argc, char** argv) {
  const std::string strDir = argc > 1 ? argv[1] : ".";
  std::filesystem::create_directories(strDir);
  GetRegionalSettings();  // read before the baseline, as the program has
  Bench("100 MB journal", MakeJournal(strDir, 100ull << 20));
  Bench("20 MB of empty lines", MakeEmptyLines(strDir, 20ull << 20));
  return 0;
}
