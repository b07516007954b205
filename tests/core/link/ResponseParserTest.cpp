// The rules for the module's answers, without a socket: header, body, status
// and the block reply header.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "link/Protocol.h"
#include "link/ResponseParser.h"

namespace zk7 {
namespace {

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
    SCOPED_TRACE(pszHeader);
    auto [strText, nTaken] = ReadHeader(std::string(pszHeader) + kBody);
    EXPECT_EQ(strText, pszHeader) << "not one byte of the body is taken";
    EXPECT_EQ(nTaken, std::string(pszHeader).size());
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
  const struct {
    std::string strHeader;
    int nResult;
    int64_t nLength;
    const char* pszError;
  } cases[] = {
      {kLength + "12\r\n\r\n", ZK7_OK, 12, ""}, {kOk + "content-length: 12\r\n\r\n", ZK7_OK, 12, ""},
      {kOk + "CONTENT-LENGTH:12 \r\n\r\n", ZK7_OK, 12, ""}, {"Content-Length: 7\n\n", ZK7_OK, 7, ""},
      {kLength + "0\r\n\r\n", ZK7_OK, 0, ""},
      {"HTTP/1.0 404 Whatever\r\nContent-Length: 3\r\nContent-Length: 3\r\n\r\n", ZK7_OK, 3, ""},
      {kOk + "Content-Type: text/xml\r\n\r\n", ZK7_ERR_NO_LENGTH, 0, kNone}, {"", ZK7_ERR_NO_LENGTH, 0, kNone},
      {kOk + "X-Content-Length: 5\r\n\r\n", ZK7_ERR_NO_LENGTH, 0, kNone},
      {kOk + "Content-Length:\r\n\r\n", ZK7_ERR_RESPONSE, 0, kBad}, {kLength + "-5\r\n\r\n", ZK7_ERR_RESPONSE, 0, kBad},
      {kLength + "12abc\r\n\r\n", ZK7_ERR_RESPONSE, 0, kBad},
      {kLength + "3\r\nContent-Length: 4\r\n\r\n", ZK7_ERR_RESPONSE, 0,
       "Two different Content-Length fields in response header"},
      {kLength + "268435456\r\n\r\n", ZK7_OK, 268435456, ""}, {kLength + "268435457\r\n\r\n", ZK7_ERR_RESPONSE, 0, kLong},
      {kLength + "99999999999999999999999999\r\n\r\n", ZK7_ERR_RESPONSE, 0, kLong},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.strHeader);
    sResponseHeader header = ParseResponseHeader(c.strHeader);
    EXPECT_EQ(header.nResult, c.nResult);
    EXPECT_EQ(header.nLength, c.nLength);
    EXPECT_EQ(header.strError, c.pszError);
  }
}

TEST(ResponseParser, WholeResponses) {
  auto framed = [](const std::string& strBody) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(strBody.size()) + "\r\n\r\n" + strBody;
  };
  struct {
    std::string strBytes;
    int nResult;
    const char* pszError;  // start of the text
  } cases[] = {
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
    SCOPED_TRACE(c.strBytes);
    TiXmlDocument doc;
    std::string strError;
    EXPECT_EQ(ParseResponseBytes(c.strBytes, doc, strError), c.nResult);
    EXPECT_EQ(strError.rfind(c.pszError, 0), 0u) << strError;
  }
  // Only the announced length is the answer: what follows belongs to nobody.
  TiXmlDocument doc;
  std::string strError;
  ASSERT_EQ(ParseResponseBytes(framed("<a><request/></a>") + "<b/>", doc, strError), ZK7_OK);
  EXPECT_STREQ(doc.RootElement()->Value(), "a");
}

TEST(ResponseParser, BlockRefusalTextIsCapped) {
  const uint32_t kMax = ZK7_MAX_REFUSAL_TEXT;
  struct {
    int32_t nStatus;
    uint32_t nLength;
    bool bRefused;
    uint32_t nKeep;
    bool bCut;
  } cases[] = {{0, 99, false, 0, false},         {1, 0, true, 0, false},           {-1, 10, true, 10, false},
               {1, kMax, true, kMax, false},     {1, kMax + 1, true, kMax, true}, {1, 0xFFFFFFFFu, true, kMax, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nLength);
    auto bytes = EncodeBlockReplyHeader(sBlockReplyHeader{c.nStatus, c.nLength});
    sBlockReplyPlan plan = PlanBlockReply(bytes.data());
    EXPECT_EQ(plan.bRefused, c.bRefused);
    EXPECT_EQ(plan.nTextToKeep, c.nKeep);
    EXPECT_EQ(plan.bTextCut, c.bCut);
  }
}

} // namespace
} // namespace zk7
