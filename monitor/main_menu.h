// The main form's command menu and the history report it can show.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ui/popup_menu.h"

namespace pellux {

// The entries under mnuMain ("&Main"), in order.
inline constexpr MenuItemDesign kMainMenu[] = {
    {"mnuGetIP", "&Get IP"},        {"sep1", "-"}, {"mnuRecent", "&Recent IPs"},
    {"mnuConfigure", "&Configure"}, {"sep2", "-"}, {"mnuExit", "E&xit"},
};

inline constexpr std::string_view kHistoryReportTitle = "Recent IP addresses";

// The text of the history report: a heading, an empty line, then every
// address of the history, oldest first, each followed by a line break.
std::string HistoryReport(std::span<const std::string> history);

}  // namespace pellux
