// CZK7Dev transport: socket, readiness waits, request framing, response header and body.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "link/ZK7Dev.h"

namespace zk7 {

namespace {

std::string ConnectFailureText(const std::string& strAddress, int nPort) {
  char sz[64];
  std::snprintf(sz, sizeof sz, "\r\nPort: %d", nPort);
  return "Can't Establish connexion with following parameters:\r\nIP Address: " + strAddress + sz;
}

// Digits only: a sign is not part of a length.
int64_t ParseLength(const char* p) {
  while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
  int64_t n = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    n = n * 10 + (*p - '0');
    if (n > ZK7_MAX_BODY_BYTES) return ZK7_MAX_BODY_BYTES + 1;  // stays above the bound, never overflows
  }
  return n;
}

} // namespace

CZK7Dev::CZK7Dev(int nPort) : m_nPort(nPort) {}

CZK7Dev::~CZK7Dev() { CloseSocket(); }

void CZK7Dev::SetParameters(const std::string& strAddress, const std::string& strUser,
                            const std::string& strPassword) {
  m_strAddress = strAddress;
  m_strUser = strUser;
  m_strPassword = strPassword;
}

void CZK7Dev::RequestCancel() { m_bCancel = true; }
void CZK7Dev::ClearCancel() { m_bCancel = false; }
bool CZK7Dev::IsCancelRequested() const { return m_bCancel; }

int CZK7Dev::Reconnect() {
  CloseSocket();
  return Login();
}

bool CZK7Dev::WaitReady(bool bWrite) {
  if (m_socket < 0 || m_socket >= FD_SETSIZE) return false;
  // Waits in short slices so that a cancel from another thread is seen promptly.
  constexpr int nSliceMs = 100;
  for (int nLeft = m_nWaitMs;;) {
    if (m_bCancel) {
      CloseSocket();
      return false;
    }
    if (nLeft <= 0) return false;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(m_socket, &set);
    const int nMs = nLeft < nSliceMs ? nLeft : nSliceMs;
    timeval tv{nMs / 1000, (nMs % 1000) * 1000};
    int n = select(m_socket + 1, bWrite ? nullptr : &set, bWrite ? &set : nullptr, nullptr, &tv);
    if (n < 0 && errno == EINTR) continue;
    if (n != 0) return n > 0;
    nLeft -= nMs;
  }
}

int CZK7Dev::OpenSocket() {
  CloseSocket();
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
    if (errno != EINPROGRESS || !WaitReady(true)) return fail();
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

int CZK7Dev::SendRequest() {
  std::string strBody = PrintXml(m_docRequest);
  std::string strHeader = FormatRequestHeader(strBody.size());
  bool bSent = WaitReady(true) &&
               send(m_socket, strHeader.data(), strHeader.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(strHeader.size()) &&
               send(m_socket, strBody.data(), strBody.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(strBody.size());
  if (!bSent) {
    m_strError = "Can't send Request";
    CloseSocket();
    return ZK7_ERR_SEND;
  }
  return ZK7_OK;
}

int CZK7Dev::ReadResponseHeader(int64_t& nLength) {
  nLength = 0;
  std::string strHeader;
  int nLineCount = 0;
  // One byte per receive: not one byte of the body may be taken with the header.
  if (WaitReady(false)) {
    for (;;) {
      char c;
      ssize_t n = recv(m_socket, &c, 1, 0);
      if (n <= 0) {
        m_strError = n == 0 ? "Connexion closed" : "Can't receive response";
        CloseSocket();
        return ZK7_ERR_RECEIVE;
      }
      strHeader += c;
      if (c == '\n') {
        if (nLineCount == 0) break;
        nLineCount = 0;
      } else if (c != '\r') {
        ++nLineCount;
      }
      if (strHeader.size() > ZK7_MAX_HEADER_BYTES) {
        char sz[96];
        std::snprintf(sz, sizeof sz, "Response header longer than %zu bytes", ZK7_MAX_HEADER_BYTES);
        m_strError = sz;
        CloseSocket();
        return ZK7_ERR_RESPONSE;
      }
      if (!WaitReady(false)) break;
    }
  }
  size_t nPos = strHeader.find(ZK7_CONTENT_LENGTH);
  if (nPos == std::string::npos) {
    m_strError = "No Content-Length in response header";
    return ZK7_ERR_NO_LENGTH;
  }
  nLength = ParseLength(strHeader.c_str() + nPos + std::strlen(ZK7_CONTENT_LENGTH));
  if (nLength > ZK7_MAX_BODY_BYTES) {
    char sz[128];
    std::snprintf(sz, sizeof sz, "Response too long: more than %lld bytes announced",
                  static_cast<long long>(ZK7_MAX_BODY_BYTES));
    m_strError = sz;
    nLength = 0;
    // The unread body would be taken for the next response: the connection is spent.
    CloseSocket();
    return ZK7_ERR_RESPONSE;
  }
  return ZK7_OK;
}

int CZK7Dev::ReadResponseBody(int64_t nLength) {
  m_docResponse.Clear();
  std::string strText;
  try {
    strText.resize(static_cast<size_t>(nLength));
  } catch (const std::bad_alloc&) {
    m_strError = "Can't allocate memory";
    CloseSocket();
    return ZK7_ERR_NO_MEMORY;
  }
  int64_t nCount = 0;
  while (nCount < nLength) {
    if (!WaitReady(false)) break;  // parsed as far as it came
    ssize_t n = recv(m_socket, strText.data() + nCount, static_cast<size_t>(nLength - nCount), 0);
    if (n <= 0) {
      m_strError = n == 0 ? "Connexion closed" : "Can't receive response";
      CloseSocket();
      return ZK7_ERR_RECEIVE;
    }
    nCount += n;
  }
  strText.resize(static_cast<size_t>(nCount));
  m_docResponse.Parse(strText.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (m_docResponse.Error()) {
    m_strError = m_docResponse.ErrorDesc();
    return ZK7_ERR_RESPONSE;
  }
  return ZK7_OK;
}

int CZK7Dev::SendBytes(const void* pBuffer, int nLength) {
  if (!WaitReady(true) || send(m_socket, pBuffer, static_cast<size_t>(nLength), MSG_NOSIGNAL) != nLength) {
    m_strError = "Can't send Request";
    return ZK7_ERR_SEND;
  }
  return ZK7_OK;
}

int CZK7Dev::ReceiveBytes(void* pBuffer, int nLength) {
  if (nLength < 1) return 0;
  int nCount = 0;
  auto* p = static_cast<char*>(pBuffer);
  while (nCount < nLength) {
    if (!WaitReady(false)) return nCount;
    ssize_t n = recv(m_socket, p + nCount, static_cast<size_t>(nLength - nCount), 0);
    if (n <= 0) {
      m_strError = n == 0 ? "Connexion closed" : "Can't receive response";
      return nCount;
    }
    nCount += static_cast<int>(n);
  }
  return nLength;
}

} // namespace zk7
