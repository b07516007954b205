// Writes the seeds of every target under the folder given: valid inputs made by
// the sample writer, in each regional convention where the target takes one.
//   fuzz_seeds DIR   ->  DIR/<target>/seed-*
#include <filesystem>
#include <fstream>
#include <iostream>

#include "FuzzSupport.h"
#include "format/Formatting.h"
#include "link/Protocol.h"
#include "results/ZK7Doc.h"

using namespace zk7;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& dir, const std::string& strName, const std::string& strBytes) {
  fs::create_directories(dir);
  std::ofstream out(dir / ("seed-" + strName), std::ios::binary);
  out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (dir / strName).string());
}

std::string Text(const std::vector<uint8_t>& a) { return std::string(a.begin(), a.end()); }

void WriteResults(const fs::path& dir) {
  struct sCase {
    int nChannels;
    int nRecords;
    int nPeriodMs;
    const char* pszModel;
  };
  const sCase aCases[] = {{1, 1, 1000, "73512"}, {2, 3, 250, "73512"}, {5, 4, 1000, "73541"}, {8, 2, 7, "73512"}};
  int n = 0;
  for (const sCase& c : aCases) {
    sSampleSpec spec;
    spec.nChannels = c.nChannels;
    spec.nRecords = c.nRecords;
    spec.nPeriodMs = c.nPeriodMs;
    spec.strModel = c.pszModel;
    spec.nSeed = static_cast<uint64_t>(n + 1);
    std::vector<uint8_t> a = fuzz::SampleFile(spec);
    // The first bytes, which the reader does not examine, choose the target's options.
    a[0] = static_cast<uint8_t>(n * 3);
    a[1] = static_cast<uint8_t>(n * 5);
    Write(dir, std::to_string(n++), Text(a));
  }
  // A file whose records lie mostly in a hole: the way to large files.
  sSampleSpec spec;
  spec.nChannels = 1;
  spec.nRecords = 2;
  const std::vector<uint8_t> a = fuzz::SampleFile(spec);
  Write(dir, "hole", Text(fuzz::WithHoleTrailer(a, a.size() + 64 * 1024)));
}

void WriteXml(const fs::path& dir) {
  sSampleSpec spec;
  for (int nChannels : {1, 5}) {
    spec.nChannels = nChannels;
    Write(dir, std::to_string(nChannels), CSampleWriter(spec).GetConfigurationXml());
  }
  spec.nChannels = 2;
  std::string strXml = CSampleWriter(spec).GetConfigurationXml();
  const std::string strIso = "encoding=\"ISO-8859-1\"";
  std::string strUtf8 = strXml;
  strUtf8.replace(strUtf8.find(strIso), strIso.size(), "encoding=\"UTF-8\"");
  Write(dir, "utf8", strUtf8);
  Write(dir, "bom", "\xEF\xBB\xBF" + strUtf8.substr(strUtf8.find("<fieldacq>")));
  // Nesting grown from a fragment, and a long run of channels.
  Write(dir, "nested", fuzz::RepeatInput("", "<session>", 64, strXml.substr(strXml.find("<fieldacq>"))));
  const std::string strChannel = "<numchan><name>N</name><unit>u</unit><display resolution=\"2\"/></numchan>";
  Write(dir, "channels", fuzz::RepeatInput("<fieldacq><session>", strChannel, 100, "</session></fieldacq>"));
}

void WriteLogs(const fs::path& dir) {
  const std::string strLog =
      "1\t2026/01/05\t10:00:00\tAcquisition start\tadmin\tappend\tok\r\n"
      "2\t2026/01/05\t10:00:01\tConfiguration\tadmin\tPlant A.xml\t\r\n"
      "3\t2026-02-29\t23:59:59\tAlarm\t\t7\tOverload (too high)\n"
      "4\t1999/12/31\t00:00:00\tStop\r\n"
      "\n"
      "5\t2026/12/31\t12:00:00\tSD card\tuser\t\t\textra\tfields\n";
  for (size_t i = 0; i < fuzz::AllRegionalSettings().size(); ++i)
    Write(dir, std::to_string(i), std::string(1, static_cast<char>(i)) + strLog);
}

void WriteDates(const fs::path& dir) {
  sSampleSpec spec;
  const double dTime = SecondsToDayNumber(spec.nStartSeconds) + 0.3 + 123 * ONE_MS;
  for (size_t i = 0; i < fuzz::AllRegionalSettings().size(); ++i) {
    SetRegionalSettings(fuzz::AllRegionalSettings()[i]);
    const std::string strPrefix(1, static_cast<char>(i));
    Write(dir, std::to_string(i) + "-date", strPrefix + '\x01' + FormatDateTime(dTime, true, true, 3));
    Write(dir, std::to_string(i) + "-time", strPrefix + '\x02' + FormatDateTime(dTime, false, false, 3));
    Write(dir, std::to_string(i) + "-number", strPrefix + '\x03' + FormatNumber(-1234.5678, 9, 3, true));
  }
}

std::string Answer(const std::string& strInside, const char* pszStatus = "ok") {
  return std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<fieldacq>\n\t<request status=\"") + pszStatus +
         "\" />\n" + strInside + "</fieldacq>\n";
}

// A listing of sample files as a module stores them: results files in dated
// folders, logs and configurations at the top level.
std::string ListingAnswer() {
  std::string s = "\t<session>\n\t\t<disk>\n";
  int n = 0;
  for (const char* pszDir : {"", "2026-01", "Plant A"}) {
    s += std::string("\t\t\t<dir") + (*pszDir ? std::string(" name=\"") + pszDir + "\"" : std::string()) + ">\n";
    for (int nChannels : {1, 8}) {
      sSampleSpec spec;
      spec.nChannels = nChannels;
      spec.nRecords = 10 + n;
      s += "\t\t\t\t<file name=\"run" + std::to_string(n++) + ".zk\">" +
           std::to_string(fuzz::SampleFile(spec).size()) + "</file>\n";
    }
    s += "\t\t\t\t<file name=\"events.log\">2048</file>\n\t\t\t</dir>\n";
  }
  return s + "\t\t</disk>\n\t</session>\n";
}

std::string WithHeader(const std::string& strBody, const char* pszEnd = "\r\n") {
  return std::string("HTTP/1.0 200 OK") + pszEnd + "Content-Type: text/xml" + pszEnd +
         "Content-Length: " + std::to_string(strBody.size()) + pszEnd + pszEnd + strBody;
}

void WriteResponses(const fs::path& dir) {
  const std::string strKey = Answer("\t<login>\n\t\t<encryption-key>Zq81TbW0aa3LmN7x</encryption-key>\n\t</login>\n");
  Write(dir, "key", WithHeader(strKey));
  Write(dir, "key-lf", WithHeader(strKey, "\n"));
  Write(dir, "logid", WithHeader(Answer("\t<login>\n\t\t<logid>4711</logid>\n\t</login>\n")));
  Write(dir, "listing", WithHeader(Answer(ListingAnswer())));
  Write(dir, "refusal", WithHeader("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<fieldacq>\n\t<request status=\"error\">\n"
                                   "\t\t<error message=\"Acquisition is running\" />\n\t</request>\n</fieldacq>\n"));
  Write(dir, "status", WithHeader(Answer("\t<session>\n\t\t<acquisition>\n\t\t\t<status>running</status>\n"
                                         "\t\t</acquisition>\n\t</session>\n")));
}

void WriteListings(const fs::path& dir) {
  for (char cDevice = 0; cDevice < 5; ++cDevice) Write(dir, std::to_string(cDevice), cDevice + Answer(ListingAnswer()));
}

void WriteBlocks(const fs::path& dir) {
  const auto ok = EncodeBlockReplyHeader({0, 0});
  Write(dir, "reply", std::string(ok.begin(), ok.end()));
  const std::string strRefusal = "File is gone";
  const auto refused = EncodeBlockReplyHeader({5, static_cast<uint32_t>(strRefusal.size())});
  Write(dir, "refusal", std::string(refused.begin(), refused.end()) + strRefusal);
  sBlockRequest req;
  req.nSession = 4711;
  req.nHandle = 0x1a2b;
  req.nOffset = 50000;
  req.nCount = ZK7_MAX_BLOCK_BYTES;
  const auto request = EncodeBlockRequest(req);
  Write(dir, "request", std::string(request.begin(), request.end()));
  Write(dir, "handle", " 0x" + FormatHandle(0xdeadbeef));
  Write(dir, "decimal", "-2147483648");
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds DIR\n";
    return 2;
  }
  try {
    const fs::path dir = argv[1];
    WriteResults(dir / "results");
    WriteXml(dir / "xml");
    WriteLogs(dir / "log");
    WriteDates(dir / "date");
    WriteResponses(dir / "response");
    WriteListings(dir / "listing");
    WriteBlocks(dir / "block");
  } catch (const std::exception& e) {
    std::cerr << "fuzz_seeds: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
