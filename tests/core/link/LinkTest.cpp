// The link's rules without a socket: the request and block layouts, the
// module's answers, the paths of downloaded files and the configuration sent.

#include <gtest/gtest.h>
#include <cstring>
#include <tinyxml.h>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "link/DownloadPath.h"
#include "link/Protocol.h"
#include "link/ResponseParser.h"
#include "link/ZK7Dev.h"

namespace zk7 {

TEST(Protocol, DigestRequestAndReplyBytes) {
  EXPECT_EQ(PasswordDigest("", ""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(PasswordDigest("secret", "K3y&<"), "353378BBD9BCFA7444889B331CA8A132");
  // No separator: only the concatenation counts.
  EXPECT_EQ(PasswordDigest("secretK3y", "&<"), PasswordDigest("secret", "K3y&<"));
  // An empty password digests the key alone.
  EXPECT_EQ(PasswordDigest("", "secretK3y&<"), "353378BBD9BCFA7444889B331CA8A132");

  // The block request.
  auto bytes = EncodeBlockRequest({.nSession = 42, .nHandle = 0x1A2B, .nOffset = 50000, .nCount = 1});
  const uint8_t expected[32] = {'Z', 'K', 'R', 'F', '\r', '\n', '\r', '\n', 42, 0, 0, 0, 3, 0, 0, 0,
                                12,  0,   0,   0,   0x2B, 0x1A, 0,    0,    0x50, 0xC3, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(bytes.data(), expected, 32));
  sBlockRequest back;
  ASSERT_TRUE(DecodeBlockRequest(bytes.data(), back));
  EXPECT_EQ(std::pair(back.nSession, back.nOffset), std::pair(42, 50000u));
  bytes[3] = 'G';
  EXPECT_FALSE(DecodeBlockRequest(bytes.data(), back));

  // The block reply header: status and message length at their offsets.
  uint8_t raw[24] = {};
  raw[16] = 7, raw[20] = 0x10, raw[21] = 0x27;
  sBlockReplyHeader hdr = DecodeBlockReplyHeader(raw);
  EXPECT_EQ(std::pair(hdr.nStatus, hdr.nMessageLength), std::pair(7, 10000u));
  auto enc = EncodeBlockReplyHeader(hdr);
  EXPECT_EQ(0, std::memcmp(enc.data() + 16, raw + 16, 8));

  // The request header.
  EXPECT_EQ(FormatRequestHeader(0) + FormatRequestHeader(1234),
            "POST /HB3XMLParser\r\nContent-Length: 0\r\n\r\nPOST /HB3XMLParser\r\nContent-Length: 1234\r\n\r\n");
}

TEST(Protocol, NumbersAsTheModuleWritesThem) {
  struct { const char* psz; int64_t n; } decimals[] = {{"00042", 42}, {"  17x", 17}, {"-5", -5}, {"+8", 8}, {"", 0}, {"abc", 0}, {"2147483648", 2147483648LL}};
  for (const auto& c : decimals) EXPECT_EQ(ParseDecimal(c.psz), c.n) << c.psz;
  struct { const char* psz; uint32_t n; } handles[] = {{"1A2b", 0x1A2B}, {" 0x1f", 0x1F}, {"ffz1", 0xFF}, {"zz", 0}, {"0", 0}, {"FFFFFFFF", 0xFFFFFFFFu}};
  for (const auto& c : handles) EXPECT_EQ(ParseHandle(c.psz), c.n) << c.psz;
  EXPECT_EQ(FormatHandle(0x1A2B) + "|" + FormatHandle(0x0F) + "|" + FormatHandle(0), "1a2b|f|0");
}

// Feeds the bytes as the link does, one at a time; the header text and how many bytes it took.
std::pair<std::string, size_t> ReadHeader(const std::string& str) {
  CResponseHeaderReader reader;
  for (size_t i = 0; i < str.size(); ++i)
    if (reader.Feed(str[i]) != CResponseHeaderReader::eFeed::More) return {reader.Text(), i + 1};
  return {reader.Text(), str.size()};
}

TEST(ResponseParser, HeaderEndsAtTheFirstEmptyLineWhateverTheLineEnds) {
  const char* kBody = "<x/>";
  for (const char* pszHeader : {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n", "HTTP/1.0 200 OK\nContent-Length: 4\n\n",
                                "HTTP/1.0 200 OK\nContent-Length: 4\r\n\n", "HTTP/1.0 200 OK\r\nContent-Length: 4\n\r\n"}) {
    // Not one byte of the body is taken.
    EXPECT_EQ(ReadHeader(std::string(pszHeader) + kBody), std::pair(std::string(pszHeader), std::string(pszHeader).size()));
  }
  CResponseHeaderReader reader;
  CResponseHeaderReader::eFeed feed = CResponseHeaderReader::eFeed::More;
  for (size_t i = 0; i <= ZK7_MAX_HEADER_BYTES && feed == CResponseHeaderReader::eFeed::More; ++i) feed = reader.Feed('x');
  EXPECT_EQ(feed, CResponseHeaderReader::eFeed::TooLong);
}

TEST(ResponseParser, ContentLengthRules) {
  const std::string kOk = "HTTP/1.0 200 OK\r\n", kLength = kOk + "Content-Length: ";
  const char* kNone = "No Content-Length in response header";
  const char* kBad = "Bad Content-Length in response header";
  const char* kLong = "Response too long: more than 268435456 bytes announced";
  const struct { std::string strHeader; int nResult; int64_t nLength; const char* pszError; } cases[] = {
      {kLength + "12\r\n\r\n", ZK7_OK, 12, ""}, {kOk + "content-length: 12\r\n\r\n", ZK7_OK, 12, ""},
      {kOk + "CONTENT-LENGTH:12 \r\n\r\n", ZK7_OK, 12, ""}, {"Content-Length: 7\n\n", ZK7_OK, 7, ""},
      {kLength + "0\r\n\r\n", ZK7_OK, 0, ""}, {"HTTP/1.0 404 Whatever\r\nContent-Length: 3\r\nContent-Length: 3\r\n\r\n", ZK7_OK, 3, ""},
      {kOk + "Content-Type: text/xml\r\n\r\n", ZK7_ERR_NO_LENGTH, 0, kNone}, {"", ZK7_ERR_NO_LENGTH, 0, kNone},
      {kOk + "X-Content-Length: 5\r\n\r\n", ZK7_ERR_NO_LENGTH, 0, kNone}, {kOk + "Content-Length:\r\n\r\n", ZK7_ERR_RESPONSE, 0, kBad},
      {kLength + "-5\r\n\r\n", ZK7_ERR_RESPONSE, 0, kBad}, {kLength + "12abc\r\n\r\n", ZK7_ERR_RESPONSE, 0, kBad},
      {kLength + "3\r\nContent-Length: 4\r\n\r\n", ZK7_ERR_RESPONSE, 0,
       "Two different Content-Length fields in response header"},
      {kLength + "268435456\r\n\r\n", ZK7_OK, 268435456, ""}, {kLength + "268435457\r\n\r\n", ZK7_ERR_RESPONSE, 0, kLong},
      {kLength + "99999999999999999999999999\r\n\r\n", ZK7_ERR_RESPONSE, 0, kLong},
  };
  for (const auto& c : cases) {
    const sResponseHeader h = ParseResponseHeader(c.strHeader);
    EXPECT_EQ(std::tuple(h.nResult, h.nLength, h.strError), std::tuple(c.nResult, c.nLength, std::string(c.pszError))) << c.strHeader;
  }
}

TEST(ResponseParser, WholeResponsesAndBlockRefusals) {
  auto framed = [](const std::string& strBody) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(strBody.size()) + "\r\n\r\n" + strBody;
  };
  struct { std::string strBytes; int nResult; const char* pszError; } cases[] = {  // pszError: the text's start
      {framed("<fieldacq><request status=\"ok\"/></fieldacq>"), ZK7_OK, ""},
      {framed("<fieldacq><request/></fieldacq>"), ZK7_OK, ""},
      {framed("<fieldacq><request status=\"\"/></fieldacq>"), ZK7_OK, ""},
      {framed("<fieldacq><request status=\"OK\"/></fieldacq>"), ZK7_ERR_REFUSED, "Request status Error: OK"},
      {framed("<f><request status=\"error\"><error message=\"Busy\"/></request></f>"), ZK7_ERR_REFUSED,
       "Request status Error: Busy"},
      {framed("<fieldacq/>"), ZK7_ERR_RESPONSE, "No <request> element in response"},
      {framed("<!-- nothing -->"), ZK7_ERR_RESPONSE, "Empty Response"},
      {framed(""), ZK7_ERR_RESPONSE, "Error document empty."},
      {framed("<fieldacq><request status=\"ok\">"), ZK7_ERR_RESPONSE, "Error"},
      {"HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\n<fieldacq/>", ZK7_ERR_RECEIVE, "Connexion closed"},
      {"HTTP/1.0 200 OK\r\nContent-Le", ZK7_ERR_RECEIVE, "Connexion closed"},
      {"HTTP/1.0 200 OK\r\n\r\n<fieldacq/>", ZK7_ERR_NO_LENGTH, "No Content-Length"},
  };
  for (const auto& c : cases) {
    TiXmlDocument doc;
    std::string strError;
    EXPECT_EQ(ParseResponseBytes(c.strBytes, doc, strError), c.nResult) << c.strBytes;
    EXPECT_EQ(strError.rfind(c.pszError, 0), 0u) << strError;
  }
  // Only the announced length is the answer: what follows belongs to nobody.
  TiXmlDocument doc;
  std::string strError;
  ASSERT_EQ(ParseResponseBytes(framed("<a><request/></a>") + "<b/>", doc, strError), ZK7_OK);
  EXPECT_STREQ(doc.RootElement()->Value(), "a");

  // A block refusal text is capped.
  const uint32_t kMax = ZK7_MAX_REFUSAL_TEXT;
  struct { int32_t nStatus; uint32_t nLength; bool bRefused; uint32_t nKeep; bool bCut; } blocks[] = {
      {0, 99, false, 0, false}, {1, 0, true, 0, false}, {-1, 10, true, 10, false}, {1, kMax, true, kMax, false},
      {1, kMax + 1, true, kMax, true}, {1, 0xFFFFFFFFu, true, kMax, true}};
  for (const auto& c : blocks) {
    const sBlockReplyPlan plan = PlanBlockReply(EncodeBlockReplyHeader(sBlockReplyHeader{c.nStatus, c.nLength}).data());
    EXPECT_EQ(std::tuple(plan.bRefused, plan.nTextToKeep, plan.bTextCut), std::tuple(c.bRefused, c.nKeep, c.bCut)) << c.nLength;
  }
}

TEST(DownloadPath, LayoutUnderTheDestinationAndNamesFromTheModuleAreNotPaths) {
  const std::string kFile = "Refused file name from the module: '", kDir = "Refused directory name from the module: '";
  // Latin-1 letters and spaces, and dots inside a name, are names.
  const struct { std::string strDir, strFile, strRefusal; } cases[] = {
      {"", "../x.zk", kFile + "../x.zk'"},  {"", "a/b.zk", kFile + "a/b.zk'"}, {"", "a\\b.zk", kFile + "a\\b.zk'"},
      {"", "..", kFile + "..'"},            {"", ".", kFile + ".'"},           {"", "", kFile + "'"},
      {"", std::string("nul\0.zk", 7), kFile + "nul\\0.zk'"},  {"", "bell\a.zk", kFile + "bell\\x07.zk'"},
      {"", "line\nbreak.zk", kFile + "line\\x0Abreak.zk'"},     {"", "\x1B[2Jx.zk", kFile + "\\x1B[2Jx.zk'"},
      {"", "del\x7F.zk", kFile + "del\\x7F.zk'"},              {"tab\tdir", "x.zk", kDir + "tab\\x09dir'"},
      {"", "caf\xE9 \xA0.zk", ""},   {"..", "x.zk", kDir + "..'"}, {".", "x.zk", kDir + ".'"},
      {"/etc", "x.zk", kDir + "/etc'"}, {"run1", "..x.zk", ""},
  };
  std::string strError;
  for (const auto& c : cases) {
    const bool bEmpty = BuildDownloadPath("/d", "internal", c.strDir, c.strFile, strError).empty();
    EXPECT_EQ(std::pair(strError, bEmpty), std::pair(c.strRefusal, !c.strRefusal.empty())) << c.strDir << " | " << c.strFile;
  }
  EXPECT_EQ(CheckModuleSize("n.zk", -5) + CheckModuleSize("n.zk", 0), "Refused size -5 of 'n.zk' from the module");

  // The layout under the destination.
  EXPECT_EQ(BuildDownloadPath("/d", "internal", "run1", "a.zk", strError), "/d/internal/run1/a.zk");
  EXPECT_EQ(strError, "");
  // The unnamed directory adds no level.
  EXPECT_EQ(BuildDownloadPath("/d", "configs", "", "p.xml", strError), "/d/configs/p.xml");
  EXPECT_EQ(DefaultDownloadDestination("/home/u/Documents", "10.0.0.7").string() + "|" + DefaultDownloadDestination("/home/u/Documents", "").string(),
            "/home/u/Documents/ZK7/10.0.0.7|/home/u/Documents/ZK7");
}

struct Configuration : ::testing::Test {
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

TEST_F(Configuration, NamedAfterTheFileUpToItsFirstDotInTheNamesPlace) {
  CZK7Dev dev(80);
  ASSERT_EQ(dev.LoadConfiguration(Write("Plant A.old.xml", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "Plant A");
  ASSERT_EQ(dev.LoadConfiguration(Write("nodot", "<fieldacq><session/></fieldacq>")), 0);
  EXPECT_EQ(NameOf(dev), "");  // no dot: an empty name
  // An existing name keeps its place.
  ASSERT_EQ(dev.LoadConfiguration(Write("New.xml", "<cfg><session><command><configuration><name>Old</name><x/>"
                                                   "</configuration></command><channels/></session></cfg>")), 0);
  const TiXmlElement* pConf =
      dev.GetConfiguration().RootElement()->FirstChildElement("session")->FirstChildElement("command")->FirstChildElement(
          "configuration");
  EXPECT_EQ(std::string(pConf->FirstChildElement()->Value()) + "|" + pConf->FirstChildElement()->GetText(), "name|New");

  // Line ends of the file do not reach the request.
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
  while (strDeep.size() < 300000) strDeep += "<a>";
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

} // namespace zk7
