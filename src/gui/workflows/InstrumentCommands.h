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

namespace zk7 {

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

  CZK7Dev* GetDevice() const { return m_pDevice.get(); }
  bool IsLogged() const { return m_pDevice && m_pDevice->IsLogged(); }
  ISettingsStore& GetSettingsStore() const { return *m_pStore; }

  // State handlers: Connect while there is no logged-in link, Disconnect while there is one.
  bool OnUpdateConnect() const { return !IsLogged(); }
  bool OnUpdateDisconnect() const { return IsLogged(); }

  // The five-button question whether to replace an existing file; the answers
  // that hold for later files are kept by the download's replace policy.
  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath, QWidget* pParent) const;
  // The end summary of a download: how many files arrived, and the offer to open one.
  void ReportDownloadedFiles(const std::filesystem::path& destination, const CDownloadFiles& files);

public slots:
  void OnConnect();
  void OnDisconnect();
  void OnDownloadFiles();
  void OnSendConfiguration();

  // The workflows proper, on a logged-in link.
  void DoDownloadFiles();
  void DoSendConfiguration();

private:
  // Connects first when there is no logged-in link, and disconnects afterwards
  // when it did; nothing runs when the user cancelled the connect dialog.
  void RunConnected(void (CInstrumentCommands::*pfnWork)());
  QWidget* DialogParent() const;
  void ShowLinkError(const std::string& strText, QWidget* pParent = nullptr) const;
  void OpenDocument(const std::filesystem::path& path) const;

  std::unique_ptr<ISettingsStore> m_pStore;
  std::unique_ptr<CZK7Dev> m_pDevice;
  QPointer<QWidget> m_pMainWindow;
  DocumentOpener m_opener;
};

// Module texts are 8-bit; "\r\n" line breaks become plain line breaks on screen.
QString ModuleTextToDisplay(const std::string& strText);
// Local paths between the file system's bytes and the screen.
QString PathToDisplay(const std::filesystem::path& path);
std::filesystem::path PathFromDisplay(const QString& strPath);

} // namespace zk7
