// The settings store over QSettings in INI format.
#include "settings/SettingsStore.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace zk7 {

namespace {

// Both ways go through QSettings with the same "Section/Key" text, so keys such as
// "IP Address" or "MAXHISTFILELEN(Ko)" are written percent-escaped by QSettings and
// read back through the same unescaping; a hand-written INI file with the plain key
// is read as well.
QString FullKey(const std::string& strSection, const std::string& strKey) {
  return QString::fromLatin1(strSection) + QLatin1Char('/') + QString::fromLatin1(strKey);
}

class CQtSettingsStore final : public ISettingsStore {
public:
  explicit CQtSettingsStore(std::unique_ptr<QSettings> pSettings) : m_pSettings(std::move(pSettings)) {}

  int ReadInt(const std::string& strSection, const std::string& strKey, int nDefault) const override {
    const QVariant value = m_pSettings->value(FullKey(strSection, strKey));
    if (!value.isValid())
      return nDefault;
    const QString strValue = value.toString().trimmed();
    bool bOk = false;
    int nValue = 0;
    // Colours are easier to write by hand in hexadecimal (0x00BBGGRR).
    if (strValue.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
      nValue = static_cast<int>(strValue.mid(2).toUInt(&bOk, 16));
    else
      nValue = strValue.toInt(&bOk, 10);
    return bOk ? nValue : nDefault;
  }

  std::string ReadText(const std::string& strSection, const std::string& strKey,
                       const std::string& strDefault) const override {
    const QVariant value = m_pSettings->value(FullKey(strSection, strKey));
    if (!value.isValid())
      return strDefault;
    // An unquoted hand-written value with commas comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
      return value.toStringList().join(QLatin1Char(',')).toLatin1().toStdString();
    return value.toString().toLatin1().toStdString();
  }

  void WriteInt(const std::string& strSection, const std::string& strKey, int nValue) override {
    Write(FullKey(strSection, strKey), nValue);
  }

  void WriteText(const std::string& strSection, const std::string& strKey,
                 const std::string& strValue) override {
    Write(FullKey(strSection, strKey), QString::fromLatin1(strValue));
  }

private:
  void Write(const QString& strFullKey, const QVariant& value) {
    m_pSettings->setValue(strFullKey, value);
    // Written at once: another store object (or the next run) must see the value
    // even if this one lives until the application ends.
    m_pSettings->sync();
  }

  std::unique_ptr<QSettings> m_pSettings;
};

} // namespace

std::unique_ptr<ISettingsStore> CreateUserSettingsStore() {
  return std::make_unique<CQtSettingsStore>(std::make_unique<QSettings>(
      QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZK7"), QStringLiteral("ZK7 Desktop")));
}

std::unique_ptr<ISettingsStore> CreateIniSettingsStore(const std::string& strIniPath) {
  return std::make_unique<CQtSettingsStore>(
      std::make_unique<QSettings>(QString::fromStdString(strIniPath), QSettings::IniFormat));
}

} // namespace zk7
