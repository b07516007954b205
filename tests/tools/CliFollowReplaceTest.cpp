// zk7-cli follow into a copy that exists already: refused without --replace
// when nobody can be asked (the copy untouched), replaced with it.
#include "SimTestSupport.h"

namespace zk7 {
namespace {

TEST_F(SimTest, CliFollowReplacesAnExistingCopyOnlyWhenTold) {
  WriteFileText(Root() / "internal" / "still.zk", Pattern(3000, 4));
  StartSim();
  const std::filesystem::path copy = Local() / "internal" / "still.zk";
  std::filesystem::create_directories(copy.parent_path());
  WriteFileText(copy, "an older copy");
  auto follow = [this](std::vector<std::string> aMore) {
    std::vector<std::string> a = {"follow", "internal/still.zk", "--dest", Local().string(), "--interval", "0.05",
                                  "--address", m_sim.Host(), "--port", std::to_string(m_sim.Port()), "--user",
                                  kTestUser};
    a.insert(a.end(), aMore.begin(), aMore.end());
    return RunProcess(ZK7_CLI_PATH, a, {std::string("ZK7_PASSWORD=") + kTestPassword});
  };
  const sProcessResult refused = follow({});
  EXPECT_EQ(refused.nExitCode, 1);
  EXPECT_NE(refused.strErr.find("'" + copy.string() + "' already exists: give --replace"), std::string::npos)
      << refused.strErr;
  EXPECT_EQ(ReadFileText(copy.string()), "an older copy");
  const sProcessResult replaced = follow({"--replace"});
  EXPECT_EQ(replaced.nExitCode, 0) << replaced.strErr;
  EXPECT_EQ(ReadFileText(copy.string()), Pattern(3000, 4));
}

} // namespace
} // namespace zk7
