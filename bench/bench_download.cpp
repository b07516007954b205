// download_mb_per_s: a 256 MB file from zk7-sim over loopback through the link,
// with cat of the same file beside it for scale. Usage: bench_download [DATA_DIR].
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/ZK7Dev.h"

namespace {

// zk7-sim of the same build tree: <build>/src/tools/sim/zk7-sim beside <build>/bench/.
std::filesystem::path SimPath() {
  auto self = std::filesystem::read_symlink("/proc/self/exe");
  return self.parent_path().parent_path() / "src" / "tools" / "sim" / "zk7-sim";
}

} // namespace

int main(int argc, char** argv) {
  using namespace zk7;
  using Clock = std::chrono::steady_clock;
  const int32_t nSize = 256 * 1024 * 1024;
  const std::filesystem::path data = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
  const std::filesystem::path work = data / "download";
  const std::filesystem::path source = work / "module" / "internal" / "big.zk";
  std::filesystem::create_directories(source.parent_path());
  if (!std::filesystem::exists(source) || std::filesystem::file_size(source) != static_cast<uintmax_t>(nSize)) {
    std::ofstream out(source, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 131 + 7);
    for (int i = 0; i < nSize / static_cast<int>(chunk.size()); ++i)
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  }

  int fds[2];
  if (pipe(fds) != 0) return 1;
  const std::string strSim = SimPath().string(), strRoot = (work / "module").string();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl(strSim.c_str(), strSim.c_str(), "--root", strRoot.c_str(), "--listen", "127.0.0.1:0", "--user", "bench:bench",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string strLine;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') strLine += c;
  close(fds[0]);
  size_t nColon = strLine.rfind(':');
  if (strLine.rfind("listening on ", 0) != 0 || nColon == std::string::npos) {
    std::fprintf(stderr, "bench_download: %s did not start\n", strSim.c_str());
    return 1;
  }

  CZK7Dev dev(std::atoi(strLine.c_str() + nColon + 1));
  dev.SetParameters("127.0.0.1", "bench", "bench");
  int nResult = dev.Login();
  const std::string strLocal = (work / "copy.zk").string();
  auto t0 = Clock::now();
  if (nResult == 0) nResult = dev.DownloadFile("internal", "", "big.zk", nSize, strLocal);
  const double dSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  if (nResult != 0) {
    std::fprintf(stderr, "bench_download: %s\n", dev.GetLastErrorText().c_str());
    return 1;
  }
  const std::string strCat = "cat '" + source.string() + "' > '" + (work / "cat.zk").string() + "'";
  t0 = Clock::now();
  const int nCat = std::system(strCat.c_str());
  const double dCat = std::chrono::duration<double>(Clock::now() - t0).count();
  const double dMb = nSize / 1e6;
  std::printf("download_mb_per_s: %.0f MB/s\n", dMb / dSeconds);
  if (nCat == 0) std::printf("download_cat_mb_per_s: %.0f MB/s\n", dMb / dCat);
  std::filesystem::remove(work / "copy.zk");
  std::filesystem::remove(work / "cat.zk");
  return 0;
}
