// The link, workflow and zk7-cli tests against a zk7-sim of their own.
#pragma once
#include <gtest/gtest.h>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "link/ZK7Dev.h"

namespace zk7 {

constexpr const char* kTestUser = CModuleSim::kUser;
constexpr const char* kTestPassword = CModuleSim::kPassword;

struct SimTest : ::testing::Test {
  std::filesystem::path Root() const { return m_sim.Root(); }
  std::filesystem::path Local() const { return m_sim.Local(); }
  void StartSim(const std::vector<std::string>& aArgs = {}) {
    std::string strError;
    ASSERT_TRUE(m_sim.Start(aArgs, strError)) << strError;
  }
  std::unique_ptr<CZK7Dev> NewDev(const std::string& strPassword = kTestPassword) { return m_sim.Client(strPassword); }
  std::unique_ptr<CZK7Dev> Connect() {
    auto dev = NewDev();
    EXPECT_EQ(dev->Login(), 0) << dev->GetLastErrorText();
    return dev;
  }
  // zk7-cli against this module as the known user, the password in the environment (the last of a name counts).
  sProcessResult Cli(std::vector<std::string> aArgs, std::vector<std::string> aEnv = {}) const {
    aArgs.insert(aArgs.end(), {"--address", m_sim.Host(), "--port", std::to_string(m_sim.Port()), "--user", kTestUser});
    aEnv.insert(aEnv.begin(), std::string("ZK7_PASSWORD=") + kTestPassword);
    return RunProcess(ZK7_CLI_PATH, aArgs, aEnv);
  }
  std::vector<std::string> Sent() const { return m_sim.Traced('C'); }
  std::vector<std::string> Answered() const { return m_sim.Traced('S'); }

  CModuleSim m_sim;
};

// A request as the link frames it.
inline std::string Framed(const std::string& strBody) {
  return "POST /HB3XMLParser\r\nContent-Length: " + std::to_string(strBody.size()) + "\r\n\r\n" + strBody;
}

} // namespace zk7
