// One client connection of zk7-sim, which is one session: it reads XML requests
// and binary block requests from the socket and answers them as a module does.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

namespace zk7 {

class CSimModule;

class CSimConnection {
public:
  CSimConnection(CSimModule& module, int nSocket);
  ~CSimConnection();
  // Serves requests until the client closes or breaks the protocol.
  void Run();

private:
  struct sOpenFile {
    int nFd;
    int64_t nSize;
  };

  bool ReadExact(void* p, size_t n);
  bool SendAll(const void* p, size_t n);
  // The reply as it goes out, with the faults for strRequest applied; false once
  // the connection is to end.
  bool Reply(const std::string& strRequest, const std::string& strBytes);
  bool ReplyXml(const std::string& strRequest, TiXmlDocument& doc);
  bool ReplyText(const std::string& strRequest, std::string strBody);
  bool ReplyRefusal(const std::string& strRequest, const std::string& strMessage);
  bool HandleXml();
  bool HandleBlock();
  bool HandleLogin(const TiXmlElement* pLogin);
  bool HandleSession(const TiXmlElement* pRoot, const TiXmlElement* pSession);
  bool HandleDisk(const TiXmlElement* pDisk);
  bool HandleList(const std::string& strDevice);
  bool HandleOpen(const std::string& strDevice, const TiXmlElement* pOpen);
  bool HandleClose(const TiXmlElement* pClose);
  bool HandleConfiguration(const TiXmlElement* pRoot);

  CSimModule& m_module;
  int m_nSocket;
  std::vector<uint8_t> m_inBuffer;
  size_t m_nInStart = 0;
  std::string m_strKey;
  std::string m_strLogId;  // empty until logged in
  int32_t m_nSession = 0;
  uint32_t m_nNextHandle = 0x1A2B;
  std::map<uint32_t, sOpenFile> m_aOpen;
  std::vector<uint8_t> m_blockBuffer;
};

} // namespace zk7
