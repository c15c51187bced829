// Conversions between the program's text (UTF-8 in std::string) and Qt's.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace pellux {

inline QString ToQString(std::string_view text) { return QString::fromUtf8(text); }

inline std::string FromQString(const QString& text) { return text.toUtf8().toStdString(); }

// Text for a control that shows several lines: the program breaks lines with
// CR LF, which Windows draws as one break and Qt would draw with a stray
// glyph for the CR.
inline QString DisplayLines(std::string_view text) {
  return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace pellux
