// Start-up of the application.
#include "app/ZK7App.h"

#include <cstdio>
#include <utility>

#include <QApplication>
#include <QFileInfo>
#include <QPalette>
#include <QScreen>

#include "app/AboutTexts.h"
#include "app/AppResources.h"
#include "app/CommandIds.h"
#include "app/CommandLine.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/RegServer.h"
#include "history/PageHeader.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui/HelpRequest.h"
#include "workflows/InstrumentCommands.h"

namespace zk7 {

namespace {

// The system's window background as a 0x00BBGGRR colour.
uint32_t WindowBackgroundColour() {
  const QColor colour = QApplication::palette().color(QPalette::Base);
  return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
         static_cast<uint32_t>(colour.blue()) << 16;
}

} // namespace

CZK7App::CZK7App(int& argc, char** argv) : m_pQtApp(std::make_unique<QApplication>(argc, argv)) {
  m_aArguments = QCoreApplication::arguments().mid(1);
}

CZK7App::CZK7App(const QStringList& aArguments) : m_aArguments(aArguments) {}

CZK7App::~CZK7App() {
  SetHelpHandler({});
  // The link goes first: deleting it ends the module's session.
  m_pInstrument.reset();
  m_pMainFrame.reset();
  m_pChannel.reset();
}

bool CZK7App::InitInstance() {
  InitAppResources();
  // The page header and footer of every printout, then the "Settings" record.
  InitPageTemplates(ABOUT_PRODUCT_NAME, ZK7_VERSION);
  m_pStore = CreateUserSettingsStore();
  ReadSettings(*m_pStore, GetAppSettings(), WindowBackgroundColour());
  QCoreApplication::setOrganizationName(QStringLiteral("Tessor Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("ZK7"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZK7_VERSION));

  m_pResultsTemplate = std::make_unique<CZK7DocTemplate>(IDR_RESULTS);
  m_pLogTemplate = std::make_unique<CZK7DocTemplate>(IDR_LOG);

  std::vector<std::string> aArgs;
  for (const QString& strArg : m_aArguments)
    aArgs.push_back(QFile::encodeName(strArg).toStdString());
  const sAppCommandLine cmd = ParseAppCommandLine(aArgs);
  const QString strFile = QFile::decodeName(QByteArray::fromStdString(cmd.m_strFile));

  // Registration shows no window at all.
  if (cmd.m_bRegServer) {
    QString strError;
    if (!RegisterFileTypes(QCoreApplication::applicationFilePath(), &strError)) {
      std::fprintf(stderr, "zk7: %s\n", strError.toLocal8Bit().constData());
      m_nExitCode = 1;
    }
    return false;
  }

  // A file for an instance that is already running goes there (the desktop's
  // "open with" while the program runs).
  const QString strChannel = CInstanceChannel::DefaultName();
  if (!strFile.isEmpty() && CInstanceChannel::SendToRunningInstance(strChannel, QFileInfo(strFile).absoluteFilePath())) {
    m_nExitCode = 0;
    return false;
  }

  m_pMainFrame = std::make_unique<CMainFrame>(*m_pStore, std::vector<const CZK7DocTemplate*>{
                                                              m_pResultsTemplate.get(), m_pLogTemplate.get()});
  SetHelpHandler([this](unsigned nContext) { m_pMainFrame->GetHelpWindow()->ShowContext(nContext); });

  m_pInstrument = std::make_unique<CInstrumentCommands>(CreateUserSettingsStore());
  m_pInstrument->SetMainWindow(m_pMainFrame.get());
  m_pInstrument->SetDocumentOpener([this](const QString& strPath) { m_pMainFrame->OpenDocumentFile(strPath); });
  m_pInstrument->SetDocumentWindows(
      [this](const QString& strPath) { return m_pMainFrame->IsDocumentOpen(strPath); },
      [this](const QString& strPath) { return m_pMainFrame->CloseDocumentFile(strPath); });
  // Files handed over while an instrument command runs open once it has ended.
  QObject::connect(m_pInstrument.get(), &CInstrumentCommands::commandEnded, m_pMainFrame.get(), [this] {
    const QStringList aPending = std::exchange(m_aPendingOpens, {});
    for (const QString& strPath : aPending) OpenHandedFile(strPath);
  });
  CInstrumentCommands* pInstrument = m_pInstrument.get();
  m_pMainFrame->SetCommandHandler(ID_CONNECT, [pInstrument] { pInstrument->OnConnect(); },
                                  [pInstrument] { return pInstrument->OnUpdateConnect(); });
  m_pMainFrame->SetCommandHandler(ID_DISCONNECT, [pInstrument] { pInstrument->OnDisconnect(); },
                                  [pInstrument] { return pInstrument->OnUpdateDisconnect(); });
  m_pMainFrame->SetCommandHandler(ID_DOWNLOAD_FILES, [pInstrument] { pInstrument->OnDownloadFiles(); });
  m_pMainFrame->SetCommandHandler(ID_SEND_CONFIGURATION, [pInstrument] { pInstrument->OnSendConfiguration(); });
  m_pMainFrame->SetCommandHandler(ID_LIVE_VIEW, [pInstrument] { pInstrument->OnLiveView(); });
  m_pInstrument->SetLiveWindowOpener(
      [this](const QString& strPath, CLiveView& live) { return m_pMainFrame->OpenLiveDocument(strPath, live); });

  m_pChannel = std::make_unique<CInstanceChannel>(strChannel);
  if (m_pChannel->Listen())
    QObject::connect(m_pChannel.get(), &CInstanceChannel::openRequested, m_pMainFrame.get(),
                     [this](const QString& strPath) {
                       if (m_pInstrument->IsBusy())
                         m_aPendingOpens << strPath;
                       else
                         OpenHandedFile(strPath);
                     });

  // A file that cannot be opened at start-up ends the program after its message.
  if (!strFile.isEmpty() && !m_pMainFrame->OpenDocumentFile(strFile)) {
    m_nExitCode = 1;
    return false;
  }
  // A first window of a comfortable size: most of the screen, centred.
  if (const QScreen* pScreen = QGuiApplication::primaryScreen()) {
    const QRect rcAvailable = pScreen->availableGeometry();
    const QSize size(rcAvailable.width() * 85 / 100, rcAvailable.height() * 85 / 100);
    m_pMainFrame->resize(size.expandedTo(m_pMainFrame->minimumSizeHint()));
    m_pMainFrame->move(rcAvailable.center() - m_pMainFrame->rect().center());
  }
  m_pMainFrame->show();
  return true;
}

void CZK7App::OpenHandedFile(const QString& strPath) {
  m_pMainFrame->showNormal();
  m_pMainFrame->raise();
  m_pMainFrame->activateWindow();
  m_pMainFrame->OpenDocumentFile(strPath);
}

int CZK7App::Run() {
  if (!InitInstance())
    return m_nExitCode;
  m_nExitCode = QApplication::exec();
  return m_nExitCode;
}

} // namespace zk7
