// CZK7Dev: the client side of one TCP connection to one ZK7 module; every
// operation returns a result code and leaves its failure text in m_strError.
#pragma once
#include <tinyxml.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/ModuleFiles.h"
#include "link/Protocol.h"
#include "link/ResultCodes.h"

namespace zk7 {

class CZK7Dev {
public:
  explicit CZK7Dev(int nPort);
  ~CZK7Dev();
  CZK7Dev(const CZK7Dev&) = delete;
  CZK7Dev& operator=(const CZK7Dev&) = delete;

  void SetParameters(const std::string& strAddress, const std::string& strUser, const std::string& strPassword);
  // A second link to the same module as the same user (its own session): the
  // parameters and the wait of other, not its connection.
  void SetParametersOf(const CZK7Dev& other);
  std::string GetLastErrorText() const { return m_strError; }
  // For a caller that retried: the text of the first cause, not of the last attempt.
  void SetLastErrorText(const std::string& strError) { m_strError = strError; }
  bool IsLogged() const { return m_bLogged != 0; }
  const std::string& GetLogId() const { return m_strLogId; }
  const std::string& GetAddress() const { return m_strAddress; }
  int GetPort() const { return m_nPort; }

  // One deadline, this many ms, for each connect, each request sent, each whole
  // response (header and body) and each block reply; not renewed by a byte.
  void SetWaitMs(int nWaitMs) { m_nWaitMs = nWaitMs; }
  int GetWaitMs() const { return m_nWaitMs; }

  // Callable from any thread while an operation runs: the running wait, or the
  // next one, ends within 200 ms with ZK7_ERR_CANCELLED and drops the connection.
  // The request stands until ClearCancel.
  void RequestCancel() { m_bCancel.store(true); }
  void ClearCancel() { m_bCancel.store(false); }
  bool IsCancelRequested() const { return m_bCancel.load(); }

  // Closes the connection, opens it again and logs in with the parameters of
  // SetParameters: what a retry does after a failure.
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
  // A transfer that broke off keeps its bytes: the next DownloadFile of the same
  // file, listed size and local path continues at that offset. The bytes kept
  // for that file (0 when none); DiscardPartial removes them.
  int64_t PartialBytes(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                       int32_t nSize, const std::string& strLocalPath) const;
  void DiscardPartial();
  // Following a file that grows: fetches bytes [nFrom, nSize) of the module's
  // file with offset block reads and appends them to strLocalPath, which must be
  // nFrom bytes long (a longer one is cut back to nFrom: bytes past the point
  // the caller trusts are not kept). Each block is written as it arrives, so
  // after a failure the local file's length is where the next call resumes.
  // *pnAppended receives the bytes appended by this call, failure or not, and
  // *pnFetched the data bytes asked of the module (blocks lost on the way included).
  int AppendFileRange(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                      int64_t nFrom, int32_t nSize, const std::string& strLocalPath, int64_t* pnAppended = nullptr,
                      int64_t* pnFetched = nullptr);
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
  enum class eWait { Ready, TimedOut, Cancelled, Failed };
  struct sPartial {
    std::string strDevice, strDir, strFile, strLocalPath;
    int32_t nSize = 0;
    std::filesystem::path temp;
    int64_t nDone = 0;
  };

  void StartDeadline();
  eWait WaitReady(bool bWrite);
  eWait SendAll(const void* pBuffer, size_t nLength);
  // Failure of a send: sets the text, closes the connection, returns the code.
  int SendFailure(eWait wait);
  // Failure of a wait while receiving: sets the text, closes the connection and
  // returns ZK7_ERR_CANCELLED or nTimeoutResult (its text: strTimeoutText).
  int WaitFailure(eWait wait, int nTimeoutResult, const std::string& strTimeoutText);
  // Exactly nLength bytes before the deadline; else the connection is closed and
  // ZK7_ERR_CANCELLED or ZK7_ERR_BLOCK_SIZE returned.
  int ReceiveExact(void* pBuffer, int nLength);
  int ReadResponseChecked();
  int LoginOnce();
  int OpenModuleFile(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                     uint32_t& nHandle);
  void CloseModuleFile(const std::string& strDevice, uint32_t nHandle);
  // Block reads [nFrom, nSize) of an open handle, each block handed to write.
  int ReadBlocks(uint32_t nHandle, int64_t nFrom, int32_t nSize,
                 const std::function<bool(const uint8_t* p, int32_t n)>& write, int64_t& nDone, int64_t& nAsked);
  int ReceiveFileBlocks(uint32_t nHandle, int32_t nSize, const std::string& strLocalPath, const sPartial& resume);
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
  std::chrono::steady_clock::time_point m_deadline{};
  std::atomic<bool> m_bCancel{false};
  std::optional<sPartial> m_partial;
  BlockCallback m_blockCallback;
};

} // namespace zk7
