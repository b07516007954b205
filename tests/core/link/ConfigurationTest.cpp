#include <gtest/gtest.h>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "link/ZK7Dev.h"

namespace zk7 {
namespace {

class Configuration : public ::testing::Test {
protected:
  CTempDir m_dir{"zk7conf"};
  std::string Write(const std::string& strName, const std::string& strText) {
    WriteFileText(m_dir.Path() + "/" + strName, strText);
    return m_dir.Path() + "/" + strName;
  }
};

std::string NameOf(const CZK7Dev& dev) {
  const TiXmlElement* p = dev.GetConfiguration().RootElement();
  for (const char* psz : {"session", "command", "configuration", "name"}) p = p ? p->FirstChildElement(psz) : nullptr;
  return p && p->GetText() ? p->GetText() : "<none>";
}

TEST_F(Configuration, NamedAfterTheFileUpToItsFirstDot) {
  CZK7Dev dev(80);
  ASSERT_EQ(dev.LoadConfiguration(Write("Plant A.old.xml", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "Plant A");
  ASSERT_EQ(dev.LoadConfiguration(Write("nodot", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "");  // no dot: an empty name
}

TEST_F(Configuration, AnExistingNameKeepsItsPlace) {
  std::string strPath = Write("New.xml",
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

TEST_F(Configuration, LineEndsOfTheFileDoNotReachTheRequest) {
  CZK7Dev lf(80), crlf(80);
  ASSERT_EQ(lf.LoadConfiguration(Write("c.xml", "<f>\n<session><t>x\ny</t></session>\n</f>\n")), 0);
  ASSERT_EQ(crlf.LoadConfiguration(Write("crlf/c.xml", "<f>\r\n<session><t>x\ry</t></session>\r\n</f>\r\n")), 0);
  EXPECT_EQ(PrintXml(crlf.GetConfiguration()), PrintXml(lf.GetConfiguration()));
}

TEST_F(Configuration, RefusedFiles) {
  CZK7Dev dev(80);
  std::string strBad = Write("bad.xml", "<fieldacq><session>");
  EXPECT_EQ(dev.LoadConfiguration(strBad), 5);
  EXPECT_EQ(dev.GetLastErrorText().rfind("Can't read config file '" + strBad + "'\nError: ", 0), 0u)
      << dev.GetLastErrorText();
  std::string strNoSession = Write("ns.xml", "<fieldacq><channels/></fieldacq>");
  EXPECT_EQ(dev.LoadConfiguration(strNoSession), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "'" + strNoSession + "': Wrong configuration file. No <session> element");
  std::string strDeep = "<fieldacq><session>";
  for (int i = 0; i < 100000; ++i) strDeep += "<a>";
  std::string strDeepPath = Write("deep.xml", strDeep);
  EXPECT_EQ(dev.LoadConfiguration(strDeepPath), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "Can't read config file '" + strDeepPath + "'\nError: XML nested deeper than 256 levels");
  std::string strMissing = m_dir.Path() + "/missing.xml";
  EXPECT_EQ(dev.LoadConfiguration(strMissing), 5);
  EXPECT_EQ(dev.GetLastErrorText(), "Can't read config file '" + strMissing + "'\nError: Failed to open file");
  // Nothing usable loaded: refused before any login is tried.
  EXPECT_EQ(dev.SendConfiguration(), 13);
  EXPECT_EQ(dev.GetLastErrorText(), "XML Config is empty");
}

} // namespace
} // namespace zk7
