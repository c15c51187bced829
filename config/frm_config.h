// The configuration window: the poll interval, the About panel, its place above the taskbar.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/program_version.h"
#include "monitor/frm_main.h"
#include "platform/message_box.h"
#include "settings/settings.h"
#include "ui/form_view.h"

namespace pellux {

// The intervals offered, each kept with its number of milliseconds. "4 Seconds " really ends
// in a blank.
inline constexpr ListItemDesign kIntervalItems[] = {
    {"1 Second", 1000},  {"2 Seconds", 2000},   {"3 Seconds", 3000},   {"4 Seconds ", 4000},
    {"5 Seconds", 5000}, {"10 Seconds", 10000}, {"20 Seconds", 20000}, {"30 Seconds", 30000},
};

#define PELLUX_CONFIG_CONTROLS(X) \
  X(cmdAbout)                     \
  X(cmdCancel) X(cmdOK) X(fraInterval) X(cboInterval) X(lblCheck) X(fraAbout) X(lblAbout)
enum class ConfigControl { PELLUX_CONFIG_CONTROLS(PELLUX_ENUMERATOR) };

inline constexpr ControlDesign kConfigControls[] = {
    {.name = "cmdAbout",
     .kind = ControlKind::kCommandButton,
     .caption = "&About",
     .box = {60, 1470, 915, 375},
     .tab_index = 5,
     .tag = "About"},
    CommandButton("cmdCancel", "&Cancel", {2490, 1470, 915, 375}, 4),
    CommandButton("cmdOK", "&OK", {1560, 1470, 915, 375}, 3),
    {.name = "fraInterval",
     .kind = ControlKind::kFrame,
     .caption = "Interval Configuration",
     .box = {30, 30, 3375, 1335},
     .tab_index = 0},
    {.name = "cboInterval",
     .kind = ControlKind::kDropDownList,
     .parent = ConfigControl::fraInterval,
     .box = {90, 540, 3195, 360},
     .tab_index = 2,
     .items = kIntervalItems,
     .label = ConfigControl::lblCheck},
    {.name = "lblCheck",
     .kind = ControlKind::kLabel,
     .parent = ConfigControl::fraInterval,
     .caption = "Check for new IP address every:",
     .box = {90, 270, 2625, 225},
     .tab_index = 1,
     .font = FontDesign{"Arial", 9}},
    {.name = "fraAbout",
     .kind = ControlKind::kFrame,
     .caption = "About Pellux",
     .box = {30, 30, 3375, 1335},
     .tab_index = 6,
     .flags = control_flags::kHidden},
    {.name = "lblAbout",
     .kind = ControlKind::kLabel,
     .parent = ConfigControl::fraAbout,
     .box = {90, 330, 3165, 885},
     .tab_index = 7,
     .font = FontDesign{"Arial", 8.25}},
};

static_assert(NamesMatch(kConfigControls, {PELLUX_CONFIG_CONTROLS(PELLUX_NAME_OF)}));

inline constexpr FormDesign kConfigDesign{.name = "frmConfig",
                                          .caption = "Pellux Configuration",
                                          .client_width = 3450,
                                          .client_height = 1875,
                                          .font = {"Arial", 9.75},
                                          .controls = kConfigControls};

// The About panel's notice: who wrote the program, an empty line, and where to look for more.
inline constexpr std::string_view kAboutNotice =
    "Copyright (C) The Pellux authors.\r\n\r\n"
    "Visit the Pellux home page for more programs.";

inline constexpr std::string_view kIntervalNotSavedMessage = "The new interval could not be saved.";

// The About panel's caption for the program's version, such as "About Pellux v1.11".
std::string AboutCaption(const VersionNumbers& version);

class frmConfig final : public Form {
 public:
  // `version`: the program's version, nothing when it carries none.
  frmConfig(frmMain& main, SettingsStore& settings, MessageBoxes& messages,
            std::optional<VersionNumbers> version)
      : Form(kConfigDesign),
        main_(main),
        settings_(settings),
        messages_(messages),
        version_(version) {}

  // The top edge of the taskbar in screen pixels, from the last query that succeeded.
  int32_t TaskTop = 0;

  // Selects the current interval, places the window and fills in the About panel.
  void Form_Load() override;
  void Click(ControlId control) override;

  // Stores the chosen interval, takes it once it is stored, and unloads the window.
  void cmdOK_Click();
  // Unloads the window; nothing changes.
  void cmdCancel_Click();
  // Switches between the interval panel and the About panel.
  void cmdAbout_Click();

  // Asks where the taskbar is and keeps its top edge in TaskTop.
  void GetTaskBarPos();

 private:
  frmMain& main_;
  SettingsStore& settings_;
  MessageBoxes& messages_;
  std::optional<VersionNumbers> version_;
};

inline constexpr ClickHandler<frmConfig, ConfigControl> kConfigClicks[] = {
    {ConfigControl::cmdOK, &frmConfig::cmdOK_Click},
    {ConfigControl::cmdCancel, &frmConfig::cmdCancel_Click},
    {ConfigControl::cmdAbout, &frmConfig::cmdAbout_Click},
};

}  // namespace pellux
