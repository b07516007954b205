// Writes the seeds of every target under the folder given: valid inputs made by
// the sample writer, in each regional convention where the target takes one.
//   fuzz_seeds DIR   ->  DIR/<target>/seed-*
#include <filesystem>
#include <fstream>
#include <iostream>

#include "FuzzSupport.h"
#include "format/Formatting.h"
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
  } catch (const std::exception& e) {
    std::cerr << "fuzz_seeds: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
