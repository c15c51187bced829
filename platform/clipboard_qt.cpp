#include <QClipboard>
#include <QGuiApplication>

#include "platform/clipboard.h"
#include "platform/text_qt.h"

namespace pellux {
namespace {

class QtClipboard final : public Clipboard {
 public:
  // Takes the clipboard with the text as its only content. The text goes
  // there byte for byte: line breaks stay CR LF.
  ClipboardResult ReplaceWithText(std::string_view text) override {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString wanted = ToQString(text);
    clipboard->setText(wanted, QClipboard::Clipboard);
    // While the program owns the clipboard, reading it back asks nobody else.
    return clipboard->text(QClipboard::Clipboard) == wanted ? ClipboardResult::kCopied
                                                            : ClipboardResult::kFailed;
  }
};

}  // namespace

// X11's clipboard belongs to whoever set it last; nobody holds it open.
std::unique_ptr<Clipboard> MakeSystemClipboard(std::function<void()> /*pause*/) {
  return std::make_unique<QtClipboard>();
}

}  // namespace pellux
