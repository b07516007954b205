// The exception through which the results reader refuses a file.
#pragma once
#include <exception>
#include <string>

namespace zk7 {

class CZK7Exception : public std::exception {
public:
  // A refusal with a string-table message (1152..1157).
  explicit CZK7Exception(unsigned nId);
  // A file-layer failure (open, seek or read), with its own text.
  CZK7Exception(unsigned nId, std::string strText);

  unsigned GetId() const { return m_nId; }
  const std::string& GetText() const { return m_strText; }
  // Copies at most nMax - 1 characters and a terminating zero; true.
  bool GetErrorMessage(char* pszBuffer, unsigned nMax) const;
  const char* what() const noexcept override { return m_strText.c_str(); }

  // Id of file-layer failures that have no string-table entry.
  static constexpr unsigned FILE_ERROR = 0;

private:
  unsigned m_nId;
  std::string m_strText;
};

} // namespace zk7
