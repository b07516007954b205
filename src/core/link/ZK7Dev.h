// CZK7Dev: the client side of one TCP connection to one ZK7 module; every
// operation returns a result code and leaves its failure text in m_strError.
#pragma once
#include <tinyxml.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/ModuleFiles.h"
#include "link/Protocol.h"

namespace zk7 {

// Result codes of the link's operations.
enum : int {
  ZK7_OK = 0,
  ZK7_ERR_SOCKET = 1,
  ZK7_ERR_SEND = 2,
  ZK7_ERR_RECEIVE = 4,
  ZK7_ERR_RESPONSE = 5,
  ZK7_ERR_REFUSED = 6,
  ZK7_ERR_EMPTY_KEY = 8,
  ZK7_ERR_NO_LENGTH = 10,
  ZK7_ERR_BLOCK_SIZE = 12,
  ZK7_ERR_NO_CONFIG = 13,
  ZK7_ERR_NO_FILE = 15,
  ZK7_ERR_BLOCK_REFUSED = 16,
  ZK7_ERR_NO_MEMORY = 17,
  ZK7_ERR_LOCAL_FILE = 18,
  ZK7_ERR_CANCELLED = 19,  // the transfer's progress callback asked to stop
};

class CZK7Dev {
public:
  explicit CZK7Dev(int nPort);
  ~CZK7Dev();
  CZK7Dev(const CZK7Dev&) = delete;
  CZK7Dev& operator=(const CZK7Dev&) = delete;

  void SetParameters(const std::string& strAddress, const std::string& strUser, const std::string& strPassword);
  std::string GetLastErrorText() const { return m_strError; }
  bool IsLogged() const { return m_bLogged != 0; }
  const std::string& GetLogId() const { return m_strLogId; }
  const std::string& GetAddress() const { return m_strAddress; }
  int GetPort() const { return m_nPort; }

  // Every readiness wait, the connect included, ends after this many ms.
  void SetWaitMs(int nWaitMs) { m_nWaitMs = nWaitMs; }
  int GetWaitMs() const { return m_nWaitMs; }

  // From any thread: the running wait ends with ZK7_ERR_CANCELLED and the
  // connection is dropped; later waits end at once until ClearCancel.
  void RequestCancel();
  void ClearCancel();
  bool IsCancelRequested() const;
  // Closes the connection, opens it again and logs in with the stored credentials.
  int Reconnect();

  // Transport.
  int OpenSocket();
  void CloseSocket();
  int SendRequest();
  int ReadResponseHeader(int64_t& nLength);
  int ReadResponseBody(int64_t nLength);
  int SendBytes(const void* pBuffer, int nLength);
  int ReceiveBytes(void* pBuffer, int nLength);

  // Requests and session.
  TiXmlElement* NewRequest();
  TiXmlElement* AddLogin();
  TiXmlElement* AddSession();
  TiXmlElement* AddCommand();
  int ReadResponse();
  int ReadEncryptionKey();
  int Login();

  // Storage listing and file transfer.
  int ListDirectory(const std::string& strDevice, std::vector<sResDir>& aDirs);
  int DownloadFile(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                   int32_t nSize, const std::string& strLocalPath);
  // Called after each block with the bytes written so far; false stops the transfer.
  using BlockCallback = std::function<bool(int64_t nDone, int64_t nTotal)>;
  void SetBlockCallback(BlockCallback cb) { m_blockCallback = std::move(cb); }

  // Configuration and acquisition.
  int LoadConfiguration(const std::string& strPath);
  int SendConfiguration();
  int ReadAcquisitionStatus(int& bRunning);
  int SetAcquisition(int bStart, int nDataMode);
  const TiXmlDocument& GetConfiguration() const { return m_docConfig; }

  // The documents of the last exchange, for callers that read an answer.
  const TiXmlDocument& GetRequest() const { return m_docRequest; }
  const TiXmlDocument& GetResponse() const { return m_docResponse; }

private:
  bool WaitReady(bool bWrite);
  int ReceiveFileBlocks(uint32_t nHandle, int32_t nSize, const std::string& strLocalPath);
  void SetConfigurationName(const std::string& strName);

  std::string m_strAddress;
  int m_nPort;
  std::string m_strUser;
  std::string m_strPassword;
  TiXmlDocument m_docRequest;
  TiXmlDocument m_docResponse;
  TiXmlDocument m_docConfig;
  int m_socket = -1;
  int m_bLogged = 0;
  std::string m_strKey;
  std::string m_strLogId;
  std::string m_strError;
  int m_nWaitMs = ZK7_WAIT_MS;
  BlockCallback m_blockCallback;
  std::atomic<bool> m_bCancel{false};
};

} // namespace zk7
