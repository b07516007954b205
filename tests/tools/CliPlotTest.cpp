// zk7-cli plot: images of the asked size without any display, and its refusals.

#include <gtest/gtest.h>
#include <QByteArray>
#include <QXmlStreamReader>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"

using namespace zk7;

namespace {

// Width and height from a PNG's IHDR chunk; {-1, -1} when the file is no PNG.
std::pair<long, long> PngSize(const std::string& strPng) {
  if (strPng.size() < 24 || strPng.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0 || strPng.compare(12, 4, "IHDR") != 0)
    return {-1, -1};
  auto be32 = [&](size_t i) {
    long n = 0;
    for (size_t k = 0; k < 4; ++k) n = n << 8 | static_cast<unsigned char>(strPng[i + k]);
    return n;
  };
  return {be32(16), be32(20)};
}

TEST(CliPlot, ImagesOfTheAskedSizeWithoutADisplay) {
  const CTempDir dir("zk7-cli-plot");
  const std::string d = dir.Path(), f = d + "/plant.zk";
  ASSERT_EQ(RunProcess(ZK7_CLI_PATH, {"make-sample", f, "--channels", "3", "--records", "3000", "--style", "plant"}).nExitCode, 0);
  // No display of any kind and no platform named: the command finds its own way.
  auto plot = [](std::vector<std::string> aArgs) {
    aArgs.insert(aArgs.begin(), "plot");
    return RunProcess(ZK7_CLI_PATH, aArgs, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
  };
  sProcessResult r = plot({f, "-o", d + "/default.png"});
  ASSERT_EQ(std::pair(r.nExitCode, r.strErr), std::pair(0, std::string())) << r.strErr;
  EXPECT_EQ(PngSize(ReadFileText(d + "/default.png")), (std::pair<long, long>{1200, 700}));
  r = plot({f, "--records", "10-2000", "--channels", "1,3", "-o", d + "/small.png", "--width", "333", "--height", "222"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(PngSize(ReadFileText(d + "/small.png")), (std::pair<long, long>{333, 222}));

  ASSERT_EQ(plot({f, "-o", d + "/g.svg", "--width", "640", "--height", "400", "--channels", "2"}).nExitCode, 0);
  QXmlStreamReader xml(QByteArray::fromStdString(ReadFileText(d + "/g.svg")));
  QString strViewBox, strTexts;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("svg")) strViewBox = xml.attributes().value(QLatin1String("viewBox")).toString();
    if (xml.name() == QLatin1String("text")) strTexts += xml.readElementText(QXmlStreamReader::IncludeChildElements);
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(strViewBox.toStdString(), "0 0 640 400");
  EXPECT_TRUE(strTexts.contains(QLatin1String("2 Counter")) && !strTexts.contains(QLatin1String("1 Oven")))
      << strTexts.toStdString();

  ASSERT_EQ(plot({f, "-o", d + "/g.pdf", "--channels", "1,3"}).nExitCode, 0);
  const std::string strText = PdfToText(d + "/g.pdf", {});
  EXPECT_TRUE(strText.find("1 Oven") != std::string::npos && strText.find("3 Valve") != std::string::npos &&
              strText.find("2 Counter") == std::string::npos) << strText;

  for (const auto& aArgs : std::vector<std::vector<std::string>>{
           {f, "-o", d + "/x.bmp"}, {f, "-o", d + "/x.png", "--width", "0"}, {f, "-o", d + "/x.png", "--height", "20001"},
           {f, "-o", d + "/x.png", "--width", "12x"}, {f, "-o", d + "/x.png", "--channels", "4"},
           {f, "-o", d + "/x.png", "--records", "5-4"}, {f}}) {
    r = plot(aArgs);
    EXPECT_TRUE(r.nExitCode == 2 && r.strErr.find("usage") != std::string::npos) << aArgs.back() << ": " << r.strErr;
  }
  EXPECT_FALSE(std::filesystem::exists(d + "/x.png") || std::filesystem::exists(d + "/x.bmp"));
  // A failure to read or write is no usage error.
  EXPECT_EQ(plot({d + "/missing.zk", "-o", d + "/x.png"}).nExitCode, 1);
  r = plot({f, "-o", d + "/no/such/dir.png"});
  EXPECT_TRUE(r.nExitCode == 1 && r.strErr.find("dir.png") != std::string::npos) << r.strErr;
}

} // namespace
