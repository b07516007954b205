#include "xml/XmlGuard.h"

#include <algorithm>
#include <cctype>

namespace zk7 {

namespace {

// A UTF-8 lead byte announces at most 4 bytes and TinyXML looks a few bytes
// ahead for byte-order marks: 8 NULs leave every look-ahead inside the copy.
constexpr size_t kPadding = 8;

bool IsNameStart(char c) {
  auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) || c == '_' || c == ':' || u >= 0x80;
}

} // namespace

int XmlElementDepth(std::string_view bytes) {
  bytes = bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
  int nDepth = 0;
  int nDeepest = 0;
  size_t i = 0;
  const size_t n = bytes.size();
  auto skipPast = [&](std::string_view end) {
    size_t nEnd = bytes.find(end, i);
    i = nEnd == std::string_view::npos ? n : nEnd + end.size();
  };
  while (i < n) {
    if (bytes[i] != '<') {
      ++i;
      continue;
    }
    std::string_view rest = bytes.substr(i);
    if (rest.starts_with("<!--")) {
      i += 4;
      skipPast("-->");
    } else if (rest.starts_with("<![CDATA[")) {
      i += 9;
      skipPast("]]>");
    } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
      // Declarations, DOCTYPE and processing instructions end at their first '>' for the parser.
      i += 2;
      skipPast(">");
    } else if (rest.starts_with("</")) {
      if (nDepth > 0) --nDepth;
      i += 2;
      skipPast(">");
    } else if (rest.size() > 1 && IsNameStart(rest[1])) {
      // A start tag: quoted values may hold '>' and '/'.
      ++i;
      char cQuote = 0;
      bool bEmpty = false;
      for (; i < n; ++i) {
        char c = bytes[i];
        if (cQuote) {
          if (c == cQuote) cQuote = 0;
        } else if (c == '"' || c == '\'') {
          cQuote = c;
        } else if (c == '>') {
          bEmpty = bytes[i - 1] == '/';
          ++i;
          break;
        }
      }
      // An empty element is one level deeper too, only it closes at once.
      nDeepest = std::max(nDeepest, nDepth + 1);
      if (!bEmpty) ++nDepth;
    } else {
      // Anything else after '<' is an unknown node to the parser, up to its first '>'.
      ++i;
      skipPast(">");
    }
  }
  return nDeepest;
}

bool ParseUntrustedXml(TiXmlDocument& doc, std::string_view bytes, std::string& strError) {
  doc.Clear();
  bytes = bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
  if (XmlElementDepth(bytes) > ZK7_XML_MAX_DEPTH) {
    strError = "XML nested deeper than " + std::to_string(ZK7_XML_MAX_DEPTH) + " levels";
    return false;
  }
  std::string strCopy;
  strCopy.reserve(bytes.size() + kPadding);
  strCopy.append(bytes);
  strCopy.append(kPadding, '\0');
  doc.Parse(strCopy.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (doc.Error()) {
    strError = doc.ErrorDesc();
    return false;
  }
  return true;
}

} // namespace zk7
