// download_mb_per_s: a 256 MB file from zk7-sim over loopback through the link,
// with cat of the same file beside it for scale.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SimProcess.h"
#include "link/ZK7Dev.h"

int main() {
  using namespace zk7;
  using Clock = std::chrono::steady_clock;
  const int32_t nSize = 256 * 1024 * 1024;
  const std::filesystem::path temp = MakeTempDir("zk7bench");
  const std::filesystem::path source = temp / "module" / "internal" / "big.zk";
  std::filesystem::create_directories(source.parent_path());
  {
    std::ofstream out(source, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 131 + 7);
    for (int i = 0; i < nSize / static_cast<int>(chunk.size()); ++i) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  }
  CSimProcess sim;
  std::string strError;
  if (!sim.Start((temp / "module").string(), {"--user", "bench:bench"}, strError)) {
    std::fprintf(stderr, "bench_download: %s\n", strError.c_str());
    return 1;
  }
  CZK7Dev dev(sim.Port());
  dev.SetParameters(sim.Host(), "bench", "bench");
  if (dev.Login() != 0) {
    std::fprintf(stderr, "bench_download: %s\n", dev.GetLastErrorText().c_str());
    return 1;
  }
  const std::string strLocal = (temp / "big.zk").string();
  auto t0 = Clock::now();
  int nResult = dev.DownloadFile("internal", "", "big.zk", nSize, strLocal);
  double dSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
  if (nResult != 0) {
    std::fprintf(stderr, "bench_download: %s\n", dev.GetLastErrorText().c_str());
    return 1;
  }
  const std::string strCat = "cat '" + source.string() + "' > '" + (temp / "cat.zk").string() + "'";
  t0 = Clock::now();
  int nCat = std::system(strCat.c_str());
  double dCat = std::chrono::duration<double>(Clock::now() - t0).count();
  const double dMb = nSize / 1e6;
  std::printf("download_mb_per_s: %.0f MB/s\n", dMb / dSeconds);
  if (nCat == 0) std::printf("download_cat_mb_per_s: %.0f MB/s\n", dMb / dCat);
  sim.Stop();
  std::filesystem::remove_all(temp);
  return 0;
}
