#include "ui/settings_qt.h"

#include <QSettings>

#include "ui/text_qt.h"

namespace pellux {
namespace {

QString KeyPath(std::string_view section, std::string_view key) {
  return ToQString(section) + QLatin1Char('/') + ToQString(key);
}

}  // namespace

std::optional<std::string> QtSettings::GetSetting(std::string_view app, std::string_view section,
                                                  std::string_view key) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ToQString(app), ToQString(app));
  const QVariant value = settings.value(KeyPath(section, key));
  // Only text counts: a value the file holds as a list (a comma in it) or
  // as some other type is treated as missing.
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return FromQString(value.toString());
}

bool QtSettings::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                             std::string_view value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ToQString(app), ToQString(app));
  settings.setValue(KeyPath(section, key), ToQString(value));
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace pellux
