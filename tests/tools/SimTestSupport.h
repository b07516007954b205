// A zk7-sim in its own process over a fresh storage folder, for the link,
// workflow and zk7-cli tests.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "link/ZK7Dev.h"

namespace zk7 {

constexpr const char* kTestUser = "operator";
constexpr const char* kTestPassword = "s3cret&";

class SimTest : public ::testing::Test {
protected:
  void TearDown() override {
    m_sim.Stop();
    std::error_code ec;
    std::filesystem::remove_all(m_strTemp, ec);
  }

  std::filesystem::path Root() const { return std::filesystem::path(m_strTemp) / "module"; }
  std::filesystem::path Local() const { return std::filesystem::path(m_strTemp) / "local"; }
  std::string TracePath() const { return m_strTemp + "/trace"; }

  void StartSim(std::vector<std::string> aArgs = {}) {
    std::filesystem::create_directories(Root());
    std::filesystem::create_directories(Local());
    for (const char* psz : {"configs", "logs", "internal"}) std::filesystem::create_directories(Root() / psz);
    aArgs.insert(aArgs.end(), {"--user", std::string(kTestUser) + ":" + kTestPassword, "--trace", TracePath()});
    std::string strError;
    ASSERT_TRUE(m_sim.Start(Root().string(), aArgs, strError)) << strError;
  }

  std::unique_ptr<CZK7Dev> NewDev(const std::string& strPassword = kTestPassword) {
    auto dev = std::make_unique<CZK7Dev>(m_sim.Port());
    dev->SetParameters(m_sim.Host(), kTestUser, strPassword);
    return dev;
  }

  std::unique_ptr<CZK7Dev> Connect() {
    auto dev = NewDev();
    int nResult = dev->Login();
    EXPECT_EQ(nResult, 0) << dev->GetLastErrorText();
    return dev;
  }

  // What the client sent, one entry per request.
  std::vector<std::string> Sent() {
    std::vector<std::string> a;
    for (auto& rec : ReadTrace(TracePath()))
      if (rec.cSide == 'C') a.push_back(rec.strBytes);
    return a;
  }
  std::vector<std::string> Answered() {
    std::vector<std::string> a;
    for (auto& rec : ReadTrace(TracePath()))
      if (rec.cSide == 'S') a.push_back(rec.strBytes);
    return a;
  }

  std::string m_strTemp = MakeTempDir("zk7link");
  CSimProcess m_sim;
};

// A request as the link frames it.
inline std::string Framed(const std::string& strBody) {
  return "POST /HB3XMLParser\r\nContent-Length: " + std::to_string(strBody.size()) + "\r\n\r\n" + strBody;
}

} // namespace zk7
