#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "settings/settings.h"
#include "settings/settings_file_posix.h"
#include "ui/text_qt.h"

namespace pellux {
namespace {

QString KeyPath(std::string_view section, std::string_view key) {
  return ToQString(section) + QLatin1Char('/') + ToQString(key);
}

// Only text counts: a value the file holds as a list (a comma in it) or as
// some other type is treated as missing.
std::optional<std::string> TextValue(const QSettings& settings, std::string_view section,
                                     std::string_view key) {
  const QVariant value = settings.value(KeyPath(section, key));
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return FromQString(value.toString());
}

// The file QSettings reads for the application in the user's scope. Worked
// out here rather than asked of a QSettings object, which would read the file
// and remember it.
QString SettingsFile(std::string_view app) {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QLatin1Char('/') + ToQString(app) + QLatin1Char('/') + ToQString(app) +
         QStringLiteral(".conf");
}

class QtSettings final : public SettingsStore {
 public:
  // Read through QSettings. Each call opens the file anew, so a change made
  // by another program meanwhile is seen (Qt notices it by the file's time
  // stamp and size). Reading never writes.
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override;
  // The file is the user's too: only the key's line changes (SaveIniValue),
  // and the new file is taken only when QSettings reads the value back from
  // it. False when the file does not hold the value afterwards.
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

std::optional<std::string> QtSettings::GetSetting(std::string_view app, std::string_view section,
                                                  std::string_view key) {
  // QSettings opens the file as it is: a FIFO there would hold it, and the
  // program's start, for ever. Such a file counts as one that cannot be read.
  if (!OpensWithoutWaiting(QFile::encodeName(SettingsFile(app)).toStdString())) return std::nullopt;
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ToQString(app),
                           ToQString(app));
  return TextValue(settings, section, key);
}

bool QtSettings::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                             std::string_view value) {
  const QString file = SettingsFile(app);
  QDir().mkpath(QFileInfo(file).absolutePath());
  return SaveIniValue(
      QFile::encodeName(file).toStdString(), section, key, value, [&](const std::string& written) {
        const QSettings check(QFile::decodeName(written.c_str()), QSettings::IniFormat);
        return TextValue(check, section, key) == value;
      });
}

}  // namespace

std::unique_ptr<SettingsStore> MakeSystemSettings() { return std::make_unique<QtSettings>(); }

}  // namespace pellux
