// The instrument commands of the application: connect and disconnect, download
// files and send a configuration, around the application's single link to a module.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "link/ZK7Dev.h"
#include "settings/SettingsStore.h"
#include "workflows/DownloadFiles.h"
#include "workflows/LinkThread.h"
#include "workflows/LiveView.h"

namespace zk7 {

class CWaitDialog;
struct sCancelState;

class CInstrumentCommands : public QObject {
  Q_OBJECT
public:
  // Opens a downloaded results or log file in its window.
  using DocumentOpener = std::function<void(const QString& strPath)>;

  // The connection settings are read from and written to pStore.
  explicit CInstrumentCommands(std::unique_ptr<ISettingsStore> pStore, QObject* pParent = nullptr);
  ~CInstrumentCommands() override;

  // The window the dialogs belong to (the main window).
  void SetMainWindow(QWidget* pWindow) { m_pMainWindow = pWindow; }
  void SetDocumentOpener(DocumentOpener opener) { m_opener = std::move(opener); }
  // Whether a local file is shown in a window; closing its windows (false when
  // one stays open). A download never replaces a file behind an open window.
  using DocumentQuery = std::function<bool(const QString& strPath)>;
  void SetDocumentWindows(DocumentQuery fnIsOpen, DocumentQuery fnClose) {
    m_fnIsOpen = std::move(fnIsOpen);
    m_fnClose = std::move(fnClose);
  }

  // The window a live view's copy opens in (the main window's results window).
  void SetLiveWindowOpener(CLiveView::WindowOpener opener) { m_fnLiveOpener = std::move(opener); }
  // The pause between a live view's catch-ups.
  static constexpr int LIVE_INTERVAL_MS = 1000;

  // The link, owned by its own thread; null before the first connect.
  CZK7Dev* GetDevice() const { return m_pLink ? m_pLink->GetDevice() : nullptr; }
  CLinkThread* GetLink() const { return m_pLink.get(); }
  bool IsLogged() const { return m_pLink && m_pLink->IsLogged(); }
  // From the start of an instrument command to its end; a command asked for
  // meanwhile is ignored, and the application holds back documents to open.
  bool IsBusy() const { return m_nBusy > 0; }
  ISettingsStore& GetSettingsStore() const { return *m_pStore; }

  // State handlers: Connect while there is no logged-in link, Disconnect while there is one.
  bool OnUpdateConnect() const { return !IsLogged(); }
  bool OnUpdateDisconnect() const { return IsLogged(); }

  // The five-button question whether to replace an existing file; the answers
  // that hold for later files are kept by the download's replace policy.
  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath, QWidget* pParent) const;
  // The end summary of a download: how many files arrived, and the offer to open one.
  void ReportDownloadedFiles(const std::filesystem::path& destination, const CDownloadFiles& files);

signals:
  // The instrument command in progress has ended.
  void commandEnded();

public slots:
  void OnConnect();
  void OnDisconnect();
  void OnDownloadFiles();
  void OnSendConfiguration();
  // Follows the running acquisition's results file in a window (its own link).
  void OnLiveView();

  // The workflows proper, on a logged-in link.
  void DoDownloadFiles();
  void DoSendConfiguration();

private:
  friend class CBusyScope;
  // One instrument command at a time, from its start to its end.
  void RunCommand(const std::function<void()>& fnCommand);
  void Connect();
  void DownloadFiles();
  void SendConfiguration();
  void LiveView();
  // Runs fnWork on the link's thread while wait is shown; its Cancel stops the
  // link's wait in progress at once, unless a question is being asked.
  int RunOnLink(const std::function<int(CZK7Dev&)>& fnWork, CWaitDialog& wait, sCancelState& cancel);
  // The selected files that are open in a window: closed on the user's word,
  // else left out of the download. False when the user cancels the download.
  bool CloseOpenTargets(const std::filesystem::path& destination, CDownloadFiles& files);
  // Connects first when there is no logged-in link, and disconnects afterwards
  // when it did; nothing runs when the user cancelled the connect dialog.
  void RunConnected(void (CInstrumentCommands::*pfnWork)());
  QWidget* DialogParent() const;
  void ShowLinkError(const std::string& strText, QWidget* pParent = nullptr) const;
  void OpenDocument(const std::filesystem::path& path) const;

  std::unique_ptr<ISettingsStore> m_pStore;
  std::unique_ptr<CLinkThread> m_pLink;
  QPointer<QWidget> m_pMainWindow;
  DocumentOpener m_opener;
  DocumentQuery m_fnIsOpen;
  DocumentQuery m_fnClose;
  CLiveView::WindowOpener m_fnLiveOpener;
  int m_nBusy = 0;
};

// The application's title, on every box the instrument commands show.
QString AppTitle();
// Module texts are 8-bit; "\r\n" line breaks become plain line breaks on screen.
QString ModuleTextToDisplay(const std::string& strText);
// Local paths between the file system's bytes and the screen.
QString PathToDisplay(const std::filesystem::path& path);
std::filesystem::path PathFromDisplay(const QString& strPath);

} // namespace zk7
