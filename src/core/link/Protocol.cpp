#include "link/Protocol.h"

#include <openssl/md5.h>
#include <tinyxml.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zk7 {

namespace {

void PutLe32(uint8_t* p, uint32_t n) {
  p[0] = static_cast<uint8_t>(n);
  p[1] = static_cast<uint8_t>(n >> 8);
  p[2] = static_cast<uint8_t>(n >> 16);
  p[3] = static_cast<uint8_t>(n >> 24);
}

uint32_t GetLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

std::array<uint8_t, ZK7_BLOCK_REQUEST_SIZE> EncodeBlockRequest(const sBlockRequest& req) {
  std::array<uint8_t, ZK7_BLOCK_REQUEST_SIZE> a{};
  std::memcpy(a.data(), ZK7_BLOCK_MAGIC, sizeof ZK7_BLOCK_MAGIC);
  PutLe32(a.data() + 8, static_cast<uint32_t>(req.nSession));
  PutLe32(a.data() + 12, static_cast<uint32_t>(req.nCommand));
  PutLe32(a.data() + 16, static_cast<uint32_t>(req.nParameterLength));
  PutLe32(a.data() + 20, req.nHandle);
  PutLe32(a.data() + 24, req.nOffset);
  PutLe32(a.data() + 28, req.nCount);
  return a;
}

bool DecodeBlockRequest(const uint8_t* p, sBlockRequest& req) {
  if (std::memcmp(p, ZK7_BLOCK_MAGIC, sizeof ZK7_BLOCK_MAGIC) != 0) return false;
  req.nSession = static_cast<int32_t>(GetLe32(p + 8));
  req.nCommand = static_cast<int32_t>(GetLe32(p + 12));
  req.nParameterLength = static_cast<int32_t>(GetLe32(p + 16));
  req.nHandle = GetLe32(p + 20);
  req.nOffset = GetLe32(p + 24);
  req.nCount = GetLe32(p + 28);
  return true;
}

std::array<uint8_t, ZK7_BLOCK_REPLY_HEADER_SIZE> EncodeBlockReplyHeader(const sBlockReplyHeader& hdr) {
  std::array<uint8_t, ZK7_BLOCK_REPLY_HEADER_SIZE> a{};
  // The first 16 bytes are not read by the client; the magic makes traces legible.
  std::memcpy(a.data(), ZK7_BLOCK_MAGIC, sizeof ZK7_BLOCK_MAGIC);
  PutLe32(a.data() + 16, static_cast<uint32_t>(hdr.nStatus));
  PutLe32(a.data() + 20, hdr.nMessageLength);
  return a;
}

sBlockReplyHeader DecodeBlockReplyHeader(const uint8_t* p) {
  sBlockReplyHeader hdr;
  hdr.nStatus = static_cast<int32_t>(GetLe32(p + 16));
  hdr.nMessageLength = GetLe32(p + 20);
  return hdr;
}

std::string FormatRequestHeader(size_t nBodyLength) {
  char sz[96];
  std::snprintf(sz, sizeof sz, ZK7_REQUEST_HEADER_FORMAT, static_cast<int>(nBodyLength));
  return sz;
}

std::string PrintXml(const TiXmlDocument& doc) {
  TiXmlPrinter printer;
  printer.SetIndent("\t");
  doc.Accept(&printer);
  return printer.Str();
}

std::string PasswordDigest(const std::string& strPassword, const std::string& strKey) {
  std::string strData = strPassword + strKey;
  unsigned char digest[MD5_DIGEST_LENGTH];
  // The one-shot MD5 is deprecated in OpenSSL 3 only in favour of EVP, which
  // gives the same RFC 1321 digest with more ceremony.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  MD5(reinterpret_cast<const unsigned char*>(strData.data()), strData.size(), digest);
#pragma GCC diagnostic pop
  static const char kHex[] = "0123456789ABCDEF";
  std::string str;
  for (unsigned char b : digest) {
    str += kHex[b >> 4];
    str += kHex[b & 15];
  }
  return str;
}

int64_t ParseDecimal(const std::string& str) {
  size_t i = 0;
  while (i < str.size() && std::isspace(static_cast<unsigned char>(str[i]))) ++i;
  bool bNegative = false;
  if (i < str.size() && (str[i] == '+' || str[i] == '-')) bNegative = str[i++] == '-';
  int64_t n = 0;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  for (; i < str.size() && std::isdigit(static_cast<unsigned char>(str[i])); ++i) {
    int d = str[i] - '0';
    n = n > (kMax - d) / 10 ? kMax : n * 10 + d;
  }
  return bNegative ? -n : n;
}

uint32_t ParseHandle(const std::string& str) {
  size_t i = 0;
  while (i < str.size() && std::isspace(static_cast<unsigned char>(str[i]))) ++i;
  if (i + 1 < str.size() && str[i] == '0' && (str[i + 1] == 'x' || str[i + 1] == 'X') && i + 2 < str.size() &&
      std::isxdigit(static_cast<unsigned char>(str[i + 2])))
    i += 2;
  uint64_t n = 0;
  for (; i < str.size() && std::isxdigit(static_cast<unsigned char>(str[i])); ++i) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(str[i])));
    n = n * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    if (n > 0xFFFFFFFFu) n = 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(n);
}

std::string FormatHandle(uint32_t nHandle) {
  char sz[16];
  std::snprintf(sz, sizeof sz, "%x", nHandle);
  return sz;
}

} // namespace zk7
