// The module protocol's constants, the request framing and the binary block
// layout: one definition shared by the link (CZK7Dev) and zk7-sim.
#pragma once
#include <array>
#include <cstdint>
#include <string>

class TiXmlDocument;

namespace zk7 {

constexpr int ZK7_DEFAULT_PORT = 80;
constexpr int ZK7_WAIT_MS = 60000;  // every readiness wait of the link

constexpr const char* ZK7_REQUEST_HEADER_FORMAT = "POST /HB3XMLParser\r\nContent-Length: %d\r\n\r\n";
constexpr const char* ZK7_REQUEST_LINE = "POST /HB3XMLParser\r\n";
constexpr const char* ZK7_CONTENT_LENGTH = "Content-Length:";
constexpr const char* ZK7_REQUEST_TEMPLATE = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><fieldacq/>";

// Bounds that keep a broken or hostile peer from growing memory without end.
constexpr size_t ZK7_MAX_HEADER_BYTES = 64 * 1024;
constexpr int64_t ZK7_MAX_BODY_BYTES = 256LL * 1024 * 1024;

// Storage devices, as named in the `device` attribute.
constexpr const char* ZK7_DEVICE_CONFIGS = "configs";
constexpr const char* ZK7_DEVICE_LOGS = "logs";
constexpr const char* ZK7_DEVICE_INTERNAL = "internal";
constexpr const char* ZK7_DEVICE_USB = "usb";
constexpr const char* ZK7_DEVICE_SDCARD = "sdcard";

// Binary file blocks.
constexpr char ZK7_BLOCK_MAGIC[8] = {'Z', 'K', 'R', 'F', '\r', '\n', '\r', '\n'};
constexpr int ZK7_BLOCK_REQUEST_SIZE = 32;
constexpr int ZK7_BLOCK_REPLY_HEADER_SIZE = 24;
constexpr int32_t ZK7_BLOCK_COMMAND_READ = 3;
constexpr int32_t ZK7_BLOCK_PARAMETER_LENGTH = 12;
constexpr int32_t ZK7_MAX_BLOCK_BYTES = 50000;

struct sBlockRequest {
  int32_t nSession = 0;
  int32_t nCommand = ZK7_BLOCK_COMMAND_READ;
  int32_t nParameterLength = ZK7_BLOCK_PARAMETER_LENGTH;
  uint32_t nHandle = 0;
  uint32_t nOffset = 0;
  uint32_t nCount = 0;
};

struct sBlockReplyHeader {
  int32_t nStatus = 0;          // 0: the block follows
  uint32_t nMessageLength = 0;  // refusal text that follows
};

std::array<uint8_t, ZK7_BLOCK_REQUEST_SIZE> EncodeBlockRequest(const sBlockRequest& req);
// False when the bytes do not start with the block magic.
bool DecodeBlockRequest(const uint8_t* p, sBlockRequest& req);
std::array<uint8_t, ZK7_BLOCK_REPLY_HEADER_SIZE> EncodeBlockReplyHeader(const sBlockReplyHeader& hdr);
sBlockReplyHeader DecodeBlockReplyHeader(const uint8_t* p);

// The header that precedes a request body of nBodyLength bytes.
std::string FormatRequestHeader(size_t nBodyLength);
// A document as it travels: TiXmlPrinter, one tab per level, LF line ends.
std::string PrintXml(const TiXmlDocument& doc);

// MD5 of password then key, 32 upper-case hex digits.
std::string PasswordDigest(const std::string& strPassword, const std::string& strKey);

// Decimal as the module's texts carry them: leading white space, optional sign,
// digits up to the first non-digit; 0 without digits. Saturates at the int64 range.
int64_t ParseDecimal(const std::string& str);
// File handles: hex in (white space, optional 0x), lower-case hex out.
uint32_t ParseHandle(const std::string& str);
std::string FormatHandle(uint32_t nHandle);

} // namespace zk7
