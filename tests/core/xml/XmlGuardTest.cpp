// The guard in front of the XML parser: nesting limit and a buffer it cannot run past.

#include <gtest/gtest.h>
#include <cstring>
#include "xml/XmlGuard.h"

namespace zk7 {

std::string Nested(int nDepth) {
  std::string str;
  for (int i = 0; i < nDepth; ++i) str += "<a>";
  for (int i = 0; i < nDepth; ++i) str += "</a>";
  return str;
}

TEST(XmlGuard, RefusesDeepNestingAndKeepsTheParserInsideItsBuffer) {
  TiXmlDocument doc;
  std::string strError;
  EXPECT_TRUE(ParseUntrustedXml(doc, Nested(ZK7_XML_MAX_DEPTH), strError)) << strError;
  // The second deep enough to exhaust the stack if it reached the parser.
  for (int nDepth : {ZK7_XML_MAX_DEPTH + 1, 200000}) {
    EXPECT_FALSE(ParseUntrustedXml(doc, Nested(nDepth), strError));
    EXPECT_EQ(strError, "XML nested deeper than 256 levels");
  }

  // A lead byte announcing three more at the very end, in a buffer of exactly
  // its size (run under AddressSanitizer, a read past it would be reported).
  for (const char* pszTail : {"\xF0", "\xE0", "\xC3", "\xEF", "\xEF\xBB"}) {
    std::string str = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>x") + pszTail;
    auto exact = std::make_unique<char[]>(str.size());
    std::memcpy(exact.get(), str.data(), str.size());
    EXPECT_TRUE(!ParseUntrustedXml(doc, std::string_view(exact.get(), str.size()), strError) && !strError.empty()) << pszTail;
  }
  // The text ends at its first NUL, for the parser as for the guard.
  ASSERT_TRUE(ParseUntrustedXml(doc, std::string_view("<a/>\0<b>", 8), strError)) << strError;
  EXPECT_STREQ(doc.RootElement()->Value(), "a");

  // The depth counts elements only.
  struct { const char* pszText; int nDepth; } cases[] = {
      {"<a><b/><c><d x=\"1\"/></c></a>", 3},
      {"<?xml version=\"1.0\"?><!DOCTYPE a><a><!-- <b><c><d> --><![CDATA[<e><f>]]></a>", 1},
      {"<a t=\"<b><c>\" u='/>'><d/></a>", 2},
      {"<a></a><a></a><a></a>", 1},
      // Closing tags hidden where the parser does not see them do not lower the count.
      {"<a><!-- </a></a> --><b><c></c></b></a>", 3},
      {"<a><#</a>><b></b></a>", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlElementDepth(c.pszText), c.nDepth) << c.pszText;
  EXPECT_EQ(XmlElementDepth(std::string_view("<a><b>\0<c><d><e>", 16)), 2) << "the text ends at its first NUL";
}

} // namespace zk7
