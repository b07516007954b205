// CZK7Dev transport: socket, readiness waits, request framing, response header and body.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "link/ResponseParser.h"
#include "link/ZK7Dev.h"
#include "xml/XmlGuard.h"

namespace zk7 {

namespace {

std::string ConnectFailureText(const std::string& strAddress, int nPort) {
  char sz[64];
  std::snprintf(sz, sizeof sz, "\r\nPort: %d", nPort);
  return "Can't Establish connexion with following parameters:\r\nIP Address: " + strAddress + sz;
}

// Cancel is looked at this often while a wait runs.
constexpr int kSliceMs = 200;

std::string SecondsText(int nMs) {
  char sz[32];
  if (nMs % 1000 == 0)
    std::snprintf(sz, sizeof sz, "%d s", nMs / 1000);
  else
    std::snprintf(sz, sizeof sz, "%.3g s", nMs / 1000.0);
  return sz;
}

} // namespace

CZK7Dev::CZK7Dev(int nPort) : m_nPort(nPort) {}

void CZK7Dev::SetParameters(const std::string& strAddress, const std::string& strUser,
                            const std::string& strPassword) {
  m_strAddress = strAddress;
  m_strUser = strUser;
  m_strPassword = strPassword;
}

void CZK7Dev::SetParametersOf(const CZK7Dev& other) {
  SetParameters(other.m_strAddress, other.m_strUser, other.m_strPassword);
  m_nWaitMs = other.m_nWaitMs;
}

CZK7Dev::~CZK7Dev() {
  CloseSocket();
  DiscardPartial();
}

void CZK7Dev::StartDeadline() { m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_nWaitMs); }

CZK7Dev::eWait CZK7Dev::WaitReady(bool bWrite) {
  for (;;) {
    if (m_bCancel.load()) return eWait::Cancelled;
    if (m_socket < 0) return eWait::Failed;
    auto nLeft = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - std::chrono::steady_clock::now()).count();
    if (nLeft <= 0) return eWait::TimedOut;
    pollfd pfd{m_socket, static_cast<short>(bWrite ? POLLOUT : POLLIN), 0};
    int n = poll(&pfd, 1, static_cast<int>(std::min<long long>(nLeft, kSliceMs)));
    if (n < 0 && errno != EINTR) return eWait::Failed;
    // An error or a hang-up is ready too: the receive or send that follows says what it is.
    if (n > 0) return eWait::Ready;
  }
}

int CZK7Dev::WaitFailure(eWait wait, int nTimeoutResult, const std::string& strTimeoutText) {
  int nResult = nTimeoutResult;
  if (wait == eWait::Cancelled) {
    m_strError = ZK7_MSG_CANCELLED;
    nResult = ZK7_ERR_CANCELLED;
  } else if (wait == eWait::TimedOut) {
    m_strError = strTimeoutText;
  } else {
    m_strError = "Can't receive response";
  }
  CloseSocket();
  return nResult;
}

int CZK7Dev::OpenSocket() {
  CloseSocket();
  StartDeadline();
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_socket < 0) {
    m_socket = -1;
    m_strError = "Can't instanciate Socket object";
    return ZK7_ERR_SOCKET;
  }
  auto fail = [this] {
    close(m_socket);
    m_socket = -1;
    m_strError = ConnectFailureText(m_strAddress, m_nPort);
    return ZK7_ERR_SOCKET;
  };

  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(m_nPort));
  addr.sin_addr.s_addr = inet_addr(m_strAddress.c_str());
  if (addr.sin_addr.s_addr == INADDR_NONE) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pResult = nullptr;
    if (getaddrinfo(m_strAddress.c_str(), nullptr, &hints, &pResult) != 0 || !pResult) return fail();
    addr.sin_addr = reinterpret_cast<sockaddr_in*>(pResult->ai_addr)->sin_addr;
    freeaddrinfo(pResult);
  }

  // A blocking connect to an address that never answers would hold the caller
  // for minutes: connect without blocking and wait as long as any other wait.
  int nFlags = fcntl(m_socket, F_GETFL, 0);
  if (nFlags < 0 || fcntl(m_socket, F_SETFL, nFlags | O_NONBLOCK) < 0) return fail();
  if (connect(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno != EINPROGRESS) return fail();
    if (eWait wait = WaitReady(true); wait != eWait::Ready) {
      if (wait != eWait::Cancelled) return fail();
      close(m_socket);
      m_socket = -1;
      m_strError = ZK7_MSG_CANCELLED;
      return ZK7_ERR_CANCELLED;
    }
    int nError = 0;
    socklen_t nLen = sizeof nError;
    if (getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &nError, &nLen) != 0 || nError != 0) return fail();
  }
  if (fcntl(m_socket, F_SETFL, nFlags) < 0) return fail();
  // Each block request waits for its reply: Nagle's delay would only add latency.
  int nOne = 1;
  setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, &nOne, sizeof nOne);
  return ZK7_OK;
}

void CZK7Dev::CloseSocket() {
  if (m_socket >= 0) close(m_socket);
  m_socket = -1;
  m_bLogged = 0;
}

int CZK7Dev::Reconnect() {
  CloseSocket();
  return Login();
}

CZK7Dev::eWait CZK7Dev::SendAll(const void* pBuffer, size_t nLength) {
  // Without blocking: a module that stops reading must not hold the sender
  // beyond the deadline or past a cancel. The bytes are the same either way.
  const auto* p = static_cast<const char*>(pBuffer);
  while (nLength > 0) {
    if (eWait wait = WaitReady(true); wait != eWait::Ready) return wait;
    ssize_t n = send(m_socket, p, nLength, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n <= 0) return eWait::Failed;
    p += n;
    nLength -= static_cast<size_t>(n);
  }
  return eWait::Ready;
}

int CZK7Dev::SendFailure(eWait wait) {
  const bool bCancelled = wait == eWait::Cancelled;
  m_strError = bCancelled ? ZK7_MSG_CANCELLED : "Can't send Request";
  CloseSocket();
  return bCancelled ? ZK7_ERR_CANCELLED : ZK7_ERR_SEND;
}

int CZK7Dev::SendRequest() {
  std::string strBody = PrintXml(m_docRequest);
  std::string strHeader = FormatRequestHeader(strBody.size());
  StartDeadline();
  eWait wait = SendAll(strHeader.data(), strHeader.size());
  if (wait == eWait::Ready) wait = SendAll(strBody.data(), strBody.size());
  return wait == eWait::Ready ? ZK7_OK : SendFailure(wait);
}

int CZK7Dev::ReadResponseHeader(int64_t& nLength) {
  nLength = 0;
  // One deadline for the header and the body that follows it.
  StartDeadline();
  CResponseHeaderReader reader;
  const std::string strLate = "Can't receive response: no complete answer within " + SecondsText(m_nWaitMs);
  for (;;) {
    if (eWait wait = WaitReady(false); wait != eWait::Ready) return WaitFailure(wait, ZK7_ERR_RECEIVE, strLate);
    // One byte per receive: not one byte of the body may be taken with the header.
    char c;
    ssize_t n = recv(m_socket, &c, 1, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_strError = n == 0 ? "Connexion closed" : "Can't receive response";
      CloseSocket();
      return ZK7_ERR_RECEIVE;
    }
    CResponseHeaderReader::eFeed feed = reader.Feed(c);
    if (feed == CResponseHeaderReader::eFeed::End) break;
    if (feed == CResponseHeaderReader::eFeed::TooLong) {
      m_strError = "Response header longer than " + std::to_string(ZK7_MAX_HEADER_BYTES) + " bytes";
      CloseSocket();
      return ZK7_ERR_RESPONSE;
    }
  }
  sResponseHeader header = ParseResponseHeader(reader.Text());
  if (header.nResult != ZK7_OK) {
    // Without a usable length the body cannot be told from what follows it.
    m_strError = header.strError;
    CloseSocket();
    return header.nResult;
  }
  nLength = header.nLength;
  return ZK7_OK;
}

int CZK7Dev::ReadResponseBody(int64_t nLength) {
  m_docResponse.Clear();
  // The buffer grows with the bytes that really came, not with the announced length.
  std::string strText;
  char buf[64 * 1024];
  const std::string strLate = "Can't receive response: no complete answer within " + SecondsText(m_nWaitMs);
  while (static_cast<int64_t>(strText.size()) < nLength) {
    if (eWait wait = WaitReady(false); wait != eWait::Ready) return WaitFailure(wait, ZK7_ERR_RECEIVE, strLate);
    size_t nWant = static_cast<size_t>(std::min<int64_t>(sizeof buf, nLength - static_cast<int64_t>(strText.size())));
    ssize_t n = recv(m_socket, buf, nWant, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_strError = n == 0 ? "Connexion closed" : "Can't receive response";
      CloseSocket();
      return ZK7_ERR_RECEIVE;
    }
    strText.append(buf, static_cast<size_t>(n));
  }
  if (!ParseUntrustedXml(m_docResponse, strText, m_strError)) {
    CloseSocket();
    return ZK7_ERR_RESPONSE;
  }
  return ZK7_OK;
}

int CZK7Dev::SendBytes(const void* pBuffer, int nLength) {
  eWait wait = SendAll(pBuffer, static_cast<size_t>(nLength));
  return wait == eWait::Ready ? ZK7_OK : SendFailure(wait);
}

int CZK7Dev::ReceiveBytes(void* pBuffer, int nLength) {
  if (nLength < 1) return 0;
  int nCount = 0;
  auto* p = static_cast<char*>(pBuffer);
  while (nCount < nLength) {
    eWait wait = WaitReady(false);
    if (wait != eWait::Ready) {
      if (wait == eWait::Cancelled) m_strError = ZK7_MSG_CANCELLED;
      return nCount;
    }
    ssize_t n = recv(m_socket, p + nCount, static_cast<size_t>(nLength - nCount), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_strError = n == 0 ? "Connexion closed" : "Can't receive response";
      return nCount;
    }
    nCount += static_cast<int>(n);
  }
  return nLength;
}

int CZK7Dev::ReceiveExact(void* pBuffer, int nLength) {
  if (ReceiveBytes(pBuffer, nLength) == nLength) return ZK7_OK;
  // What came late or never is not to be read as the next reply.
  CloseSocket();
  if (m_bCancel.load()) {
    m_strError = ZK7_MSG_CANCELLED;
    return ZK7_ERR_CANCELLED;
  }
  m_strError = "Unexpected received data size";
  return ZK7_ERR_BLOCK_SIZE;
}

} // namespace zk7
