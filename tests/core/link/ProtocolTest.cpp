#include <gtest/gtest.h>

#include <cstring>

#include "link/Protocol.h"

namespace zk7 {
namespace {

TEST(Protocol, PasswordDigestIsUpperCaseMd5OfPasswordThenKey) {
  EXPECT_EQ(PasswordDigest("", ""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(PasswordDigest("secret", "K3y&<"), "353378BBD9BCFA7444889B331CA8A132");
  // No separator: only the concatenation counts.
  EXPECT_EQ(PasswordDigest("secretK3y", "&<"), PasswordDigest("secret", "K3y&<"));
  // An empty password digests the key alone.
  EXPECT_EQ(PasswordDigest("", "secretK3y&<"), "353378BBD9BCFA7444889B331CA8A132");
}

TEST(Protocol, BlockRequestLayout) {
  sBlockRequest req;
  req.nSession = 42;
  req.nHandle = 0x1A2B;
  req.nOffset = 50000;
  req.nCount = 1;
  auto bytes = EncodeBlockRequest(req);
  const uint8_t expected[32] = {'Z', 'K', 'R', 'F', '\r', '\n', '\r', '\n', 42, 0, 0, 0, 3, 0, 0, 0,
                                12,  0,   0,   0,   0x2B, 0x1A, 0,    0,    0x50, 0xC3, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(bytes.data(), expected, 32));
  sBlockRequest back;
  ASSERT_TRUE(DecodeBlockRequest(bytes.data(), back));
  EXPECT_EQ(std::pair(back.nSession, back.nOffset), std::pair(42, 50000u));
  bytes[3] = 'G';
  EXPECT_FALSE(DecodeBlockRequest(bytes.data(), back));
}

TEST(Protocol, BlockReplyHeaderReadsStatusAndMessageLengthAtTheirOffsets) {
  uint8_t raw[24] = {};
  raw[16] = 7;
  raw[20] = 0x10;
  raw[21] = 0x27;
  sBlockReplyHeader hdr = DecodeBlockReplyHeader(raw);
  EXPECT_EQ(std::pair(hdr.nStatus, hdr.nMessageLength), std::pair(7, 10000u));
  auto enc = EncodeBlockReplyHeader(hdr);
  EXPECT_EQ(0, std::memcmp(enc.data() + 16, raw + 16, 8));
}

TEST(Protocol, RequestHeaderBytes) {
  EXPECT_EQ(FormatRequestHeader(0), "POST /HB3XMLParser\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(FormatRequestHeader(1234), "POST /HB3XMLParser\r\nContent-Length: 1234\r\n\r\n");
}

TEST(Protocol, NumbersAsTheModuleWritesThem) {
  struct {
    const char* psz;
    int64_t n;
  } decimals[] = {{"00042", 42}, {"  17x", 17}, {"-5", -5}, {"+8", 8}, {"", 0}, {"abc", 0}, {"2147483648", 2147483648LL}};
  for (const auto& c : decimals) EXPECT_EQ(ParseDecimal(c.psz), c.n) << c.psz;
  struct {
    const char* psz;
    uint32_t n;
  } handles[] = {{"1A2b", 0x1A2B}, {" 0x1f", 0x1F}, {"ffz1", 0xFF}, {"zz", 0}, {"0", 0}, {"FFFFFFFF", 0xFFFFFFFFu}};
  for (const auto& c : handles) EXPECT_EQ(ParseHandle(c.psz), c.n) << c.psz;
  EXPECT_EQ(FormatHandle(0x1A2B) + "|" + FormatHandle(0x0F) + "|" + FormatHandle(0), "1a2b|f|0");
}

} // namespace
} // namespace zk7
