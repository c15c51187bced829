#include "monitor/main_menu.h"

namespace pellux {

std::string HistoryReport(std::span<const std::string> history) {
  std::string list = "\r\n";
  for (const auto& address : history) list += address + "\r\n";
  return "This is a list of all IPs used on this computer while Pellux was running:\r\n" + list;
}

}  // namespace pellux
