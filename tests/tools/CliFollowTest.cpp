// zk7-cli follow against zk7-sim recording live: the copy ends byte-identical
// to the module's file after a stop, with no byte fetched twice, through a link
// that breaks in the middle too.
#include <thread>
#include <chrono>
#include <functional>
#include <regex>

#include "SimTestSupport.h"

namespace zk7 {

struct CliFollow : SimTest {
  // The one results file the module records (the bystander left out).
  std::filesystem::path Recorded() const {
    for (const auto& e : std::filesystem::directory_iterator(Root() / "internal"))
      if (e.path().filename().string().rfind("Default_", 0) == 0) return e.path();
    return {};
  }
  // Waits, boundedly, for fn to hold.
  static bool Eventually(const std::function<bool()>& fn) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fn() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return fn();
  }
};

TEST_F(CliFollow, CopyIsByteIdenticalAfterTheStop) {
  for (const char* pszFault : {"", "drop=100@block#12*1"}) {
    SCOPED_TRACE(pszFault);
    m_sim.Stop();
    for (const auto& dir : {Root() / "internal", Local()}) std::filesystem::remove_all(dir), std::filesystem::create_directories(dir);
    // A results file that does not grow, newer by name than the one that does.
    WriteFileText(Root() / "internal" / "old.zk", Pattern(5000, 1));
    std::vector<std::string> aSim = {"--period", "20"};
    if (*pszFault) aSim.insert(aSim.end(), {"--fault", pszFault});
    StartSim(aSim);
    ASSERT_EQ(Cli({"start"}).nExitCode, 0);

    sProcessResult follow;
    std::thread runner([&] { follow = Cli({"follow", "--dest", Local().string(), "--interval", "0.1", "--duration", "60"}); });
    const std::filesystem::path copy = Local() / "internal" / Recorded().filename();
    std::error_code ec;
    const bool bGrew = Eventually([&] { return std::filesystem::file_size(copy, ec) > 12000 && !ec; });
    EXPECT_EQ(Cli({"stop"}).nExitCode, 0);
    runner.join();
    ASSERT_TRUE(bGrew) << follow.strOut << follow.strErr;
    ASSERT_EQ(follow.nExitCode, 0) << follow.strErr;

    const std::string strModule = ReadFileText(Recorded());
    EXPECT_EQ(ReadFileText(copy), strModule) << "the copy is the module's file, byte for byte";
    std::smatch m;
    const std::regex re(": (\\d+) records, (\\d+) bytes, (\\d+) bytes fetched\n$");
    ASSERT_TRUE(std::regex_search(follow.strOut, m, re)) << follow.strOut;
    EXPECT_EQ(std::stoll(m[2]), static_cast<long long>(strModule.size()));
    // Bytes asked for on the wire: the block the drop broke is paid twice.
    EXPECT_LE(std::stod(m[3]), 1.05 * static_cast<double>(strModule.size()));
    EXPECT_EQ(std::stoll(m[3]) > static_cast<long long>(strModule.size()), *pszFault != 0) << m[3];
    EXPECT_GE(std::count(follow.strOut.begin(), follow.strOut.end(), '\n'), 4) << "a line per catch-up";
    EXPECT_EQ(follow.strErr.find("reconnecting") != std::string::npos, *pszFault != 0) << follow.strErr;
    EXPECT_FALSE(std::filesystem::exists(Local() / "internal" / "old.zk"));
  }
}

TEST_F(CliFollow, NamedFileAndRefusals) {
  WriteFileText(Root() / "internal" / "run" / "still.zk", Pattern(3000, 4));
  StartSim();
  // A named file that does not grow is copied whole; acquisition is not running,
  // so the first catch-up is the last.
  auto named = Cli({"follow", "internal/run/still.zk", "--dest", Local().string(), "--interval", "0.05"});
  ASSERT_EQ(named.nExitCode, 0) << named.strErr;
  const std::filesystem::path copy = Local() / "internal" / "run" / "still.zk";
  EXPECT_EQ(ReadFileText(copy), Pattern(3000, 4));
  // A copy that exists already is replaced only when told: nobody can be asked.
  WriteFileText(copy, "an older copy");
  const auto refused = Cli({"follow", "internal/run/still.zk", "--dest", Local().string(), "--interval", "0.05"});
  EXPECT_EQ(refused.nExitCode, 1);
  EXPECT_NE(refused.strErr.find("'" + copy.string() + "' already exists: give --replace"), std::string::npos) << refused.strErr;
  EXPECT_EQ(ReadFileText(copy), "an older copy");
  ASSERT_EQ(Cli({"follow", "internal/run/still.zk", "--dest", Local().string(), "--interval", "0.05", "--replace"}).nExitCode, 0);
  EXPECT_EQ(ReadFileText(copy), Pattern(3000, 4));
  // Without a file and without acquisition there is nothing to follow: not a success.
  const struct { std::vector<std::string> aArgs; int nExit; const char* pszErr; } cases[] = {
      {{"follow", "--dest", Local().string(), "--interval", "0.05"}, 1, "Acquisition is not running"},
      {{"follow", "internal", "--dest", Local().string()}, 2, ""},
      {{"follow", "internal/none.zk", "--dest", Local().string(), "--duration", "5"}, 1, "File does not exist"}};
  for (const auto& c : cases) {
    const auto r = Cli(c.aArgs);
    EXPECT_EQ(r.nExitCode, c.nExit) << c.aArgs[1];
    EXPECT_NE(r.strErr.find(c.pszErr), std::string::npos) << r.strErr;
  }
}

} // namespace zk7
