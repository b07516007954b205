#include "CliPlot.h"

#include <cstdio>

#ifdef ZK7_CLI_PLOT
#include <QApplication>
#include <QPalette>

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliSelection.h"
#include "app/AppResources.h"
#include "history/GraphImage.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistLegendState.h"
#include "results/ZK7Doc.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#endif

namespace zk7 {

#ifndef ZK7_CLI_PLOT

int RunPlot(int, char**) {
  std::fprintf(stderr, "zk7-cli plot: this build has no window code to draw with\n");
  return 1;
}

#else


namespace {

constexpr int DEFAULT_WIDTH = 1200;
constexpr int DEFAULT_HEIGHT = 700;

int ReadSide(const CCliArgs& args, const char* pszName, int nDefault, int& n) {
  n = nDefault;
  if (!args.Has(pszName)) return CLI_OK;
  long long v = 0;
  if (!ParseCliInt(args.Value(pszName), GRAPH_IMAGE_MIN_SIDE, GRAPH_IMAGE_MAX_SIDE, v)) {
    std::fprintf(stderr, "zk7-cli plot: %s takes a whole number of pixels from %d to %d\n", pszName,
                 GRAPH_IMAGE_MIN_SIDE, GRAPH_IMAGE_MAX_SIDE);
    return CLI_USAGE;
  }
  n = static_cast<int>(v);
  return CLI_OK;
}

// The platform's remarks on a window that is never shown (size hints, runtime
// directories) are not the user's business; real failures are still told.
void QuietQtMessages(QtMsgType eType, const QMessageLogContext&, const QString& strMessage) {
  if (eType == QtCriticalMsg || eType == QtFatalMsg)
    std::fprintf(stderr, "zk7-cli plot: %s\n", strMessage.toLocal8Bit().constData());
}

uint32_t WindowBackgroundColour() {
  const QColor colour = QApplication::palette().color(QPalette::Base);
  return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
         static_cast<uint32_t>(colour.blue()) << 16;
}

} // namespace

int RunPlot(int argc, char** argv) {
  std::vector<sCliOptionSpec> specs = SelectionOptionSpecs();
  for (const char* psz : {"-o", "--width", "--height"}) specs.push_back({psz, true});
  CCliArgs args;
  std::string strError;
  if (!args.Parse(argc, argv, 2, specs, strError) || args.Positional().size() != 1 || !args.Has("-o")) {
    std::fprintf(stderr, "zk7-cli plot: %s\n", strError.empty() ? "give one results file and -o OUT" : strError.c_str());
    return CLI_USAGE;
  }
  const std::string strOut = args.Value("-o");
  if (GraphImageFormatOf(QString::fromLocal8Bit(strOut.c_str())) == GRAPH_IMAGE_NONE) {
    std::fprintf(stderr, "zk7-cli plot: %s: the image must be a .png, .svg or .pdf file\n", strOut.c_str());
    return CLI_USAGE;
  }
  int nWidth = 0, nHeight = 0;
  if (const int n = ReadSide(args, "--width", DEFAULT_WIDTH, nWidth); n != CLI_OK) return n;
  if (const int n = ReadSide(args, "--height", DEFAULT_HEIGHT, nHeight); n != CLI_OK) return n;

  auto pDoc = std::make_shared<CZK7Doc>();
  if (!pDoc->OnOpenDocument(args.Positional()[0], &strError)) {
    std::fprintf(stderr, "%s\n", Latin1ToUtf8(strError).c_str());
    return CLI_FAILURE;
  }
  try {
    sCliSelection sel;
    if (const int nResult = ReadSelection(args, *pDoc, "zk7-cli plot", sel); nResult != CLI_OK) return nResult;

    // The window is drawn, never shown: no display is needed, whatever the
    // environment names.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    int nQtArgc = 1;
    char* aQtArgv[] = {argv[0], nullptr};
    QApplication app(nQtArgc, aQtArgv);
    InitAppResources();
    // The user's colours, as the window would show them.
    ReadSettings(*CreateUserSettingsStore(), GetAppSettings(), WindowBackgroundColour());

    CHistFrame frame(pDoc);
    std::string strReadError;
    frame.SetReadErrorHandler([&strReadError](const std::string& s) {
      if (strReadError.empty()) strReadError = s;
    });
    frame.resize(nWidth, nHeight);
    frame.InitialUpdate();
    CHistGraph* pGraph = frame.GetHistGraph();
    if (strReadError.empty() && pGraph && pDoc->GetRecordCount() > 0 &&
        (args.Has("--records") || args.Has("--from") || args.Has("--to")) && sel.nFirst <= sel.nLast)
      pGraph->SetHistoryPeriod(pDoc->GetRecordTime(sel.nFirst, 0), pDoc->GetRecordTime(sel.nLast, 0), false);
    if (!sel.aChannels.empty() && pGraph) {
      for (int c = 0; c < pDoc->GetChannelCount(); ++c)
        SetChannelChecked(frame.GetViewState(), c, std::find(sel.aChannels.begin(), sel.aChannels.end(), c) !=
                                                       sel.aChannels.end());
      pGraph->RefreshGraphState();
    }
    if (!strReadError.empty()) {
      std::fprintf(stderr, "%s\n", Latin1ToUtf8(strReadError).c_str());
      return CLI_FAILURE;
    }
    QString strSaveError;
    if (!SaveGraphImage(frame, QString::fromLocal8Bit(strOut.c_str()), nWidth, nHeight, strSaveError)) {
      std::fprintf(stderr, "zk7-cli plot: %s\n", strSaveError.toLocal8Bit().constData());
      return CLI_FAILURE;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", Latin1ToUtf8(e.what()).c_str());
    return CLI_FAILURE;
  }
  return CLI_OK;
}

#endif

} // namespace zk7
