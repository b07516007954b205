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
  CTempDir dir("zk7conf");
  const std::string strDir = dir.Path();
  CZK7Dev dev(80);
  ASSERT_EQ(dev.LoadConfiguration(Write(strDir, "Plant A.old.xml", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "Plant A");
  ASSERT_EQ(dev.LoadConfiguration(Write(strDir, "nodot", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "");  // no dot: an empty name
}

TEST(Configuration, AnExistingNameKeepsItsPlace) {
  CTempDir dir("zk7conf");
  const std::string strDir = dir.Path();
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

TEST(Configuration, LineEndsOfTheFileDoNotReachTheRequest) {
  CTempDir dir("zk7conf"), dir2("zk7conf");
  const std::string strDir = dir.Path(), strDir2 = dir2.Path();
  CZK7Dev lf(80), crlf(80);
  ASSERT_EQ(lf.LoadConfiguration(Write(strDir, "c.xml", "<f>\n<session><t>x\ny</t></session>\n</f>\n")), 0);
  ASSERT_EQ(crlf.LoadConfiguration(Write(strDir2, "c.xml", "<f>\r\n<session><t>x\ry</t></session>\r\n</f>\r\n")), 0);
  EXPECT_EQ(PrintXml(crlf.GetConfiguration()), PrintXml(lf.GetConfiguration()));
}

TEST(Configuration, RefusedFiles) {
  CTempDir dir("zk7conf");
  const std::string strDir = dir.Path();
  CZK7Dev dev(80);
  std::string strBad = Write(strDir, "bad.xml", "<fieldacq><session>");
  EXPECT_EQ(dev.LoadConfiguration(strBad), 5);
  EXPECT_EQ(dev.GetLastErrorText().rfind("Can't read config file '" + strBad + "'\nError: ", 0), 0u)
      << dev.GetLastErrorText();
  std::string strNoSession = Write(strDir, "ns.xml", "<fieldacq><channels/></fieldacq>");
  EXPECT_EQ(dev.LoadConfiguration(strNoSession), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "'" + strNoSession + "': Wrong configuration file. No <session> element");
  std::string strDeep = "<fieldacq><session>";
  for (int i = 0; i < 100000; ++i) strDeep += "<a>";
  std::string strDeepPath = Write(strDir, "deep.xml", strDeep);
  EXPECT_EQ(dev.LoadConfiguration(strDeepPath), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "Can't read config file '" + strDeepPath + "'\nError: XML nested deeper than 256 levels");
  std::string strMissing = strDir + "/missing.xml";
  EXPECT_EQ(dev.LoadConfiguration(strMissing), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "Can't read config file '" + strMissing + "'\nError: Failed to open file");
  // Nothing usable loaded: refused before any login is tried.
  EXPECT_EQ(dev.SendConfiguration(), 13);
  EXPECT_EQ(dev.GetLastErrorText(), "XML Config is empty");
}

} // namespace
} // namespace zk7
