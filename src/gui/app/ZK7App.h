// CZK7App: the application object: start-up, the document types, the main
// window, the command line and the hand-over of files from later launches.
#pragma once
#include <memory>

#include <QStringList>

class QApplication;

namespace zk7 {

class CInstanceChannel;
class CInstrumentCommands;
class CMainFrame;
class CZK7DocTemplate;
class ISettingsStore;

class CZK7App {
public:
  // The program: creates the Qt application from the process's arguments.
  CZK7App(int& argc, char** argv);
  // Inside an existing Qt application; aArguments come after the program name.
  explicit CZK7App(const QStringList& aArguments);
  ~CZK7App();
  CZK7App(const CZK7App&) = delete;
  CZK7App& operator=(const CZK7App&) = delete;

  // Start-up. False when the program ends here: the file types were registered,
  // the file was handed to the running instance, or the start failed;
  // GetExitCode() then gives the exit status.
  bool InitInstance();
  // InitInstance, then the event loop; the exit status.
  int Run();
  int GetExitCode() const { return m_nExitCode; }

  CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
  CInstanceChannel* GetInstanceChannel() const { return m_pChannel.get(); }
  // The instrument commands and the application's link to a module.
  CInstrumentCommands* GetInstrumentCommands() const { return m_pInstrument.get(); }

private:
  // A file from a later launch: shown in front, in its window.
  void OpenHandedFile(const QString& strPath);

  std::unique_ptr<QApplication> m_pQtApp;
  QStringList m_aArguments;
  std::unique_ptr<ISettingsStore> m_pStore;
  std::unique_ptr<CZK7DocTemplate> m_pResultsTemplate;
  std::unique_ptr<CZK7DocTemplate> m_pLogTemplate;
  std::unique_ptr<CMainFrame> m_pMainFrame;
  std::unique_ptr<CInstanceChannel> m_pChannel;
  std::unique_ptr<CInstrumentCommands> m_pInstrument;
  QStringList m_aPendingOpens;  // handed over during an instrument command
  int m_nExitCode = 0;
};

} // namespace zk7
