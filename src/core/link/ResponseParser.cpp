#include "link/ResponseParser.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdio>

#include "link/Protocol.h"
#include "xml/XmlGuard.h"

namespace zk7 {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithNoCase(std::string_view str, std::string_view prefix) {
  if (str.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(str[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

} // namespace

CResponseHeaderReader::eFeed CResponseHeaderReader::Feed(char c) {
  m_strText += c;
  if (c == '\n') {
    if (m_nLineCount == 0) return eFeed::End;
    m_nLineCount = 0;
  } else if (c != '\r') {
    ++m_nLineCount;
  }
  return m_strText.size() > ZK7_MAX_HEADER_BYTES ? eFeed::TooLong : eFeed::More;
}

sResponseHeader ParseResponseHeader(std::string_view header) {
  sResponseHeader result;
  const std::string_view name = ZK7_CONTENT_LENGTH;
  bool bFound = false;
  size_t nStart = 0;
  while (nStart < header.size()) {
    size_t nEnd = header.find('\n', nStart);
    if (nEnd == std::string_view::npos) nEnd = header.size();
    std::string_view line = header.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    if (!StartsWithNoCase(line, name)) continue;
    std::string_view value = line.substr(name.size());
    while (!value.empty() && (IsBlank(value.back()) || value.back() == '\r')) value.remove_suffix(1);
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    int64_t nLength = 0;
    bool bDigits = !value.empty();
    for (char c : value) {
      if (!std::isdigit(static_cast<unsigned char>(c))) {
        bDigits = false;
        break;
      }
      // Stays above the cap, never overflows.
      if (nLength <= ZK7_MAX_BODY_BYTES) nLength = nLength * 10 + (c - '0');
    }
    if (!bDigits) {
      result.nResult = ZK7_ERR_RESPONSE;
      result.strError = "Bad Content-Length in response header";
      return result;
    }
    if (bFound && nLength != result.nLength) {
      result.nResult = ZK7_ERR_RESPONSE;
      result.strError = "Two different Content-Length fields in response header";
      result.nLength = 0;
      return result;
    }
    bFound = true;
    result.nLength = nLength;
  }
  if (!bFound) {
    result.nResult = ZK7_ERR_NO_LENGTH;
    result.strError = "No Content-Length in response header";
    return result;
  }
  if (result.nLength > ZK7_MAX_BODY_BYTES) {
    char sz[128];
    std::snprintf(sz, sizeof sz, "Response too long: more than %lld bytes announced",
                  static_cast<long long>(ZK7_MAX_BODY_BYTES));
    result.nResult = ZK7_ERR_RESPONSE;
    result.strError = sz;
    result.nLength = 0;
  }
  return result;
}

int CheckResponseStatus(const TiXmlDocument& doc, std::string& strError) {
  const TiXmlElement* pRoot = doc.RootElement();
  if (!pRoot) {
    strError = "Empty Response";
    return ZK7_ERR_RESPONSE;
  }
  const TiXmlElement* pRequest = pRoot->FirstChildElement("request");
  if (!pRequest) {
    strError = "No <request> element in response";
    return ZK7_ERR_RESPONSE;
  }
  const char* pszStatus = pRequest->Attribute("status");
  if (!pszStatus || !*pszStatus || std::string_view(pszStatus) == "ok") return ZK7_OK;
  const TiXmlElement* pError = pRequest->FirstChildElement("error");
  const char* pszMessage = pError ? pError->Attribute("message") : nullptr;
  // A refusal without its message is still a refusal: say what the module answered.
  strError = std::string("Request status Error: ") + (pszMessage ? pszMessage : pszStatus);
  return ZK7_ERR_REFUSED;
}

int ParseResponseBytes(std::string_view bytes, TiXmlDocument& doc, std::string& strError) {
  doc.Clear();
  CResponseHeaderReader reader;
  size_t i = 0;
  for (;;) {
    if (i == bytes.size()) {
      strError = "Connexion closed";
      return ZK7_ERR_RECEIVE;
    }
    CResponseHeaderReader::eFeed feed = reader.Feed(bytes[i++]);
    if (feed == CResponseHeaderReader::eFeed::End) break;
    if (feed == CResponseHeaderReader::eFeed::TooLong) {
      strError = "Response header longer than " + std::to_string(ZK7_MAX_HEADER_BYTES) + " bytes";
      return ZK7_ERR_RESPONSE;
    }
  }
  sResponseHeader header = ParseResponseHeader(reader.Text());
  if (header.nResult != ZK7_OK) {
    strError = header.strError;
    return header.nResult;
  }
  if (bytes.size() - i < static_cast<uint64_t>(header.nLength)) {
    strError = "Connexion closed";
    return ZK7_ERR_RECEIVE;
  }
  if (!ParseUntrustedXml(doc, bytes.substr(i, static_cast<size_t>(header.nLength)), strError))
    return ZK7_ERR_RESPONSE;
  return CheckResponseStatus(doc, strError);
}

sBlockReplyPlan PlanBlockReply(const uint8_t* pHeader) {
  sBlockReplyHeader hdr = DecodeBlockReplyHeader(pHeader);
  sBlockReplyPlan plan;
  if (hdr.nStatus == 0) return plan;
  plan.bRefused = true;
  plan.nTextToKeep = hdr.nMessageLength < ZK7_MAX_REFUSAL_TEXT ? hdr.nMessageLength : ZK7_MAX_REFUSAL_TEXT;
  plan.bTextCut = hdr.nMessageLength > ZK7_MAX_REFUSAL_TEXT;
  return plan;
}

} // namespace zk7
