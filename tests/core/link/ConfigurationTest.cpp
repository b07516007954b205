#include <gtest/gtest.h>

#include <fstream>

#include "SimProcess.h"
#include "link/ZK7Dev.h"

namespace zk7 {
namespace {

std::string Write(const std::string& strDir, const std::string& strName, const std::string& strText) {
  std::string strPath = strDir + "/" + strName;
  std::ofstream(strPath, std::ios::binary) << strText;
  return strPath;
}

std::string NameOf(const CZK7Dev& dev) {
  const TiXmlElement* p = dev.GetConfiguration().RootElement();
  for (const char* psz : {"session", "command", "configuration", "name"}) p = p ? p->FirstChildElement(psz) : nullptr;
  return p && p->GetText() ? p->GetText() : "<none>";
}

TEST(Configuration, NamedAfterTheFileUpToItsFirstDot) {
  std::string strDir = MakeTempDir("zk7conf");
  CZK7Dev dev(80);
  ASSERT_EQ(dev.LoadConfiguration(Write(strDir, "Plant A.old.xml", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "Plant A");
  ASSERT_EQ(dev.LoadConfiguration(Write(strDir, "nodot", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "");  // no dot: an empty name
}

TEST(Configuration, AnExistingNameKeepsItsPlace) {
  std::string strDir = MakeTempDir("zk7conf");
  std::string strPath = Write(strDir, "New.xml",
                              "<cfg><session><command><configuration><name>Old</name><x/></configuration>"
                              "</command><channels/></session></cfg>");
  CZK7Dev dev(80);
  ASSERT_EQ(dev.LoadConfiguration(strPath), 0);
  const TiXmlElement* pConf =
      dev.GetConfiguration().RootElement()->FirstChildElement("session")->FirstChildElement("command")->FirstChildElement(
          "configuration");
  EXPECT_STREQ(pConf->FirstChildElement()->Value(), "name");
  EXPECT_STREQ(pConf->FirstChildElement()->GetText(), "New");
  EXPECT_EQ(NameOf(dev), "New");
}

TEST(Configuration, RefusedFiles) {
  std::string strDir = MakeTempDir("zk7conf");
  CZK7Dev dev(80);
  std::string strBad = Write(strDir, "bad.xml", "<fieldacq><session>");
  EXPECT_EQ(dev.LoadConfiguration(strBad), 5);
  EXPECT_EQ(dev.GetLastErrorText().rfind("Can't read config file '" + strBad + "'\nError: ", 0), 0u)
      << dev.GetLastErrorText();
  std::string strNoSession = Write(strDir, "ns.xml", "<fieldacq><channels/></fieldacq>");
  EXPECT_EQ(dev.LoadConfiguration(strNoSession), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "'" + strNoSession + "': Wrong configuration file. No <session> element");
  // Nothing usable loaded: refused before any login is tried.
  EXPECT_EQ(dev.SendConfiguration(), 13);
  EXPECT_EQ(dev.GetLastErrorText(), "XML Config is empty");
}

} // namespace
} // namespace zk7
