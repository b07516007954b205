// The rules for what a module answers, apart from the socket: the response
// header, the body's XML and its status, and the block reply header. The link
// applies them as bytes arrive; tests and fuzz targets call them on bytes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "link/ResultCodes.h"

class TiXmlDocument;

namespace zk7 {

// Refusal text of a block kept at most; a longer text spends the connection.
constexpr uint32_t ZK7_MAX_REFUSAL_TEXT = 64 * 1024;

// Collects a response header one byte at a time, so that no byte of the body is
// taken with it. It ends at the first empty line, whatever the line ends: LF,
// CR LF or a mix (a CR never counts as a character of a line).
class CResponseHeaderReader {
public:
  enum class eFeed { More, End, TooLong };
  eFeed Feed(char c);
  const std::string& Text() const { return m_strText; }

private:
  std::string m_strText;
  int m_nLineCount = 0;
};

struct sResponseHeader {
  int nResult = ZK7_OK;  // ZK7_OK, ZK7_ERR_NO_LENGTH or ZK7_ERR_RESPONSE
  int64_t nLength = 0;   // the body's announced length
  std::string strError;
};

// The body length of a complete header: a "Content-Length:" field at the start
// of any line, its name in any case, its value decimal digits between blanks.
// The status line is not examined. Missing: ZK7_ERR_NO_LENGTH; a value that is
// not a number, two different values or more than the body cap: ZK7_ERR_RESPONSE.
sResponseHeader ParseResponseHeader(std::string_view header);

// The answer's verdict: ZK7_OK (status "ok", empty or missing), ZK7_ERR_RESPONSE
// without a root or a <request>, ZK7_ERR_REFUSED with "Request status Error: %s".
int CheckResponseStatus(const TiXmlDocument& doc, std::string& strError);

// One whole response as it would arrive: header, exactly the announced body,
// guarded XML, status. Bytes that end too early give ZK7_ERR_RECEIVE
// ("Connexion closed"). Leaves the parsed body in doc.
int ParseResponseBytes(std::string_view bytes, TiXmlDocument& doc, std::string& strError);

struct sBlockReplyPlan {
  bool bRefused = false;
  uint32_t nTextToKeep = 0;  // refusal text to read and keep
  bool bTextCut = false;     // more text announced than kept: the connection cannot go on
};
// What to do after the 24-byte reply header of a block request.
sBlockReplyPlan PlanBlockReply(const uint8_t* pHeader);

} // namespace zk7
