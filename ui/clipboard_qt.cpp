#include "ui/clipboard_qt.h"

#include <QClipboard>
#include <QGuiApplication>

#include "ui/text_qt.h"

namespace pellux {

ClipboardResult QtClipboard::ReplaceWithText(std::string_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return ClipboardResult::kFailed;
  const QString wanted = ToQString(text);
  clipboard->setText(wanted, QClipboard::Clipboard);
  // While the program owns the clipboard, reading it back asks nobody else.
  return clipboard->text(QClipboard::Clipboard) == wanted ? ClipboardResult::kCopied
                                                          : ClipboardResult::kFailed;
}

}  // namespace pellux
