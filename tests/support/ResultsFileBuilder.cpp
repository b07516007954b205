#include "ResultsFileBuilder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zk7 {

CResultsFileBuilder::CResultsFileBuilder() { strXml = MakeXml({"inputchan", "inputchan"}); }

std::string CResultsFileBuilder::MakeXml(const std::vector<std::string>& aKinds, const std::string& strConfigName,
                                         const std::string& strExtraChannelXml) {
  std::string s = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<fieldacq><session>";
  s += "<command><configuration><name>" + strConfigName + "</name></configuration></command>";
  for (size_t n = 1; n <= aKinds.size(); ++n)
    s += "<" + aKinds[n - 1] + "><name>Ch" + std::to_string(n) + "</name><unit>U" + std::to_string(n) + "</unit>" +
         strExtraChannelXml + "</" + aKinds[n - 1] + ">";
  return s + "</session></fieldacq>";
}

std::string CResultsFileBuilder::ThreeChannelXml(const std::string& strSecondName, int nThirdResolution) {
  return "<fieldacq><session>"
         "<inputchan><name>T1</name><unit>\xB0" "C</unit><display resolution=\"1\"/></inputchan>"
         "<numchan><name>" + strSecondName + "</name><display resolution=\"0\"/></numchan>"
         "<calcchan><name>P</name><unit>kW</unit><display resolution=\"" + std::to_string(nThirdResolution) +
         "\"/></calcchan></session></fieldacq>";
}

CResultsFileBuilder CResultsFileBuilder::HistoryFile(int nRecords, uint32_t nBase, int nChannels) {
  CResultsFileBuilder b(nChannels, ThreeChannelXml());
  for (int c = 3; c < nChannels; ++c)
    b.strXml.insert(b.strXml.rfind("</session>"), "<numchan><name>C" + std::to_string(c + 1) + "</name><display resolution=\"0\"/></numchan>");
  const sRawSample aFirst[3] = {{0, 0, 0}, {12, 0, 0}, {-7, 0, 1.5f}};
  b.AddRecords(nRecords, nChannels, nBase, 10, [&](int i, int c) {
    sRawSample s = c < 3 ? aFirst[c] : sRawSample{0, 0, float(c)};
    if (c < 2) s.fValue = c == 0 ? 20.0f + 0.5f * static_cast<float>(i) : static_cast<float>(i);
    if (c == 2 && i == 2) s.nError = 12;
    return s;
  });
  return b;
}

std::vector<uint8_t> CResultsFileBuilder::Build() const {
  std::vector<uint8_t> a(48, 0);
  std::memcpy(a.data(), "test header.....", 16);
  std::memcpy(a.data() + 16, strModel.data(), std::min<size_t>(strModel.size(), 20));
  std::memcpy(a.data() + 36, &nTimeUnit, 4);
  std::memcpy(a.data() + 40, &nChannels, 4);
  const int nWords = nChannels > 0 ? nChannels : 0;
  // Fields in this machine's byte order, little-endian like the module's.
  auto put = [&a](const auto& field) {
    const auto* p = reinterpret_cast<const uint8_t*>(&field);
    a.insert(a.end(), p, p + sizeof field);
  };
  for (int c = 0; c < nWords; ++c) put(0xC0DE0000u + static_cast<uint32_t>(c));
  a.insert(a.end(), strXml.begin(), strXml.end());
  if (bXmlZero) a.push_back(0);
  const uint32_t nOffset = nDataOffset >= 0 ? static_cast<uint32_t>(nDataOffset) : static_cast<uint32_t>(a.size());
  std::memcpy(a.data() + 44, &nOffset, 4);
  if (bPadToDataOffset && a.size() < nOffset) a.resize(nOffset, 0);
  for (const auto& r : aRecords) {
    put(r.nBaseTime), put(r.nCounter);
    for (const auto& smp : r.aSamples) put(smp.nOffset), put(smp.nError), put(smp.fValue);
  }
  a.insert(a.end(), strTrailing.begin(), strTrailing.end());
  return a;
}

void CResultsFileBuilder::WriteTo(const std::string& strPath) const { WriteFileBytes(strPath, Build()); }

std::vector<uint8_t> ReadFileBytes(const std::string& strPath) {
  std::ifstream f(strPath, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + strPath);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& strPath, const std::vector<uint8_t>& a) {
  const std::filesystem::path parent = std::filesystem::path(strPath).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::ofstream f(strPath, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("cannot write " + strPath);
  f.write(reinterpret_cast<const char*>(a.data()), static_cast<std::streamsize>(a.size()));
}

void WriteFileText(const std::string& strPath, const std::string& str) { WriteFileBytes(strPath, {str.begin(), str.end()}); }

std::string ReadFileText(const std::string& strPath) {
  const auto a = ReadFileBytes(strPath);
  return {a.begin(), a.end()};
}

std::string Pattern(size_t nSize, unsigned nSeed) {
  std::string str(nSize, '\0');
  uint32_t x = 2463534242u ^ nSeed;
  for (char& c : str) x ^= x << 13, x ^= x >> 17, x ^= x << 5, c = static_cast<char>(x);
  return str;
}

std::string Pattern(size_t nSize, const std::string& strSeed) {
  unsigned nSeed = 0;
  for (unsigned char c : strSeed) nSeed = nSeed * 31 + c;
  return Pattern(nSize, nSeed);
}

void WriteSparseResultsFile(const std::string& strPath, int32_t nChannels, uint32_t nDataOffset,
                            const std::string& strXml, uint64_t nLength) {
  CResultsFileBuilder b(0, "");  // no channel words nor text: they lie in the zeros of the sparse file
  b.bXmlZero = false;
  std::vector<uint8_t> aHeader = b.Build();
  std::memcpy(aHeader.data() + 40, &nChannels, 4);
  std::memcpy(aHeader.data() + 44, &nDataOffset, 4);
  WriteFileBytes(strPath, aHeader);
  std::filesystem::resize_file(strPath, nLength);
  std::fstream f(strPath, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(48 + 4 * static_cast<std::streamoff>(nChannels));
  if (!f.write(strXml.data(), static_cast<std::streamsize>(strXml.size())).flush()) throw std::runtime_error("cannot write " + strPath);
}

} // namespace zk7
