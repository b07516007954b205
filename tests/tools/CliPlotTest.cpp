// zk7-cli plot: images of the asked size without any display, and its refusals.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QXmlStreamReader>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "SimProcess.h"

using namespace zk7;

namespace {

std::string ReadAll(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
  const std::string strDir = MakeTempDir("zk7-cli-plot");
  const std::string strFile = strDir + "/plant.zk";
  ASSERT_EQ(RunProcess(ZK7_CLI_PATH, {"make-sample", strFile, "--channels", "3", "--records", "3000", "--style", "plant"})
                .nExitCode,
            0);
  // No display of any kind and no platform named: the command finds its own way.
  auto plot = [](std::vector<std::string> aArgs) {
    aArgs.insert(aArgs.begin(), "plot");
    return RunProcess(ZK7_CLI_PATH, aArgs, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
  };

  sProcessResult r = plot({strFile, "-o", strDir + "/default.png"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(PngSize(ReadAll(strDir + "/default.png")), (std::pair<long, long>{1200, 700}));
  EXPECT_EQ(r.strErr, "");

  r = plot({strFile, "--records", "10-2000", "--channels", "1,3", "-o", strDir + "/small.png", "--width", "333",
            "--height", "222"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(PngSize(ReadAll(strDir + "/small.png")), (std::pair<long, long>{333, 222}));

  r = plot({strFile, "-o", strDir + "/g.svg", "--width", "640", "--height", "400", "--channels", "2"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  const QByteArray svg = QByteArray::fromStdString(ReadAll(strDir + "/g.svg"));
  QXmlStreamReader xml(svg);
  QString strViewBox, strTexts;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("svg")) strViewBox = xml.attributes().value(QLatin1String("viewBox")).toString();
    if (xml.name() == QLatin1String("text")) strTexts += xml.readElementText(QXmlStreamReader::IncludeChildElements);
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(strViewBox.toStdString(), "0 0 640 400");
  EXPECT_TRUE(strTexts.contains(QLatin1String("2 Counter"))) << strTexts.toStdString();
  EXPECT_FALSE(strTexts.contains(QLatin1String("1 Oven"))) << strTexts.toStdString();

  r = plot({strFile, "-o", strDir + "/g.pdf", "--channels", "1,3"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  const sProcessResult text = RunProcess("/usr/bin/pdftotext", {strDir + "/g.pdf", "-"});
  ASSERT_EQ(text.nExitCode, 0) << text.strErr;
  EXPECT_NE(text.strOut.find("1 Oven"), std::string::npos) << text.strOut;
  EXPECT_NE(text.strOut.find("3 Valve"), std::string::npos) << text.strOut;
  EXPECT_EQ(text.strOut.find("2 Counter"), std::string::npos) << text.strOut;

  for (const auto& aArgs : std::vector<std::vector<std::string>>{
           {strFile, "-o", strDir + "/x.bmp"},
           {strFile, "-o", strDir + "/x.png", "--width", "0"},
           {strFile, "-o", strDir + "/x.png", "--height", "20001"},
           {strFile, "-o", strDir + "/x.png", "--width", "12x"},
           {strFile, "-o", strDir + "/x.png", "--channels", "4"},
           {strFile, "-o", strDir + "/x.png", "--records", "5-4"},
           {strFile},
       }) {
    SCOPED_TRACE(aArgs.back());
    r = plot(aArgs);
    EXPECT_EQ(r.nExitCode, 2);
    EXPECT_NE(r.strErr.find("usage"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(strDir + "/x.png"));
  EXPECT_FALSE(std::filesystem::exists(strDir + "/x.bmp"));
  // A failure to read or write is no usage error.
  EXPECT_EQ(plot({strDir + "/missing.zk", "-o", strDir + "/x.png"}).nExitCode, 1);
  r = plot({strFile, "-o", strDir + "/no/such/dir.png"});
  EXPECT_EQ(r.nExitCode, 1);
  EXPECT_NE(r.strErr.find("dir.png"), std::string::npos) << r.strErr;
  std::filesystem::remove_all(strDir);
}

} // namespace
