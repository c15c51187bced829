// Which face a design font gets on a system that may lack it, what a screen reader calls each
// control, and the order Tab visits them in.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/frm_config.h"
#include "info/frm_info.h"
#include "ui/design.h"

namespace pellux {
namespace {

struct FaceCase {
  std::string_view name;
  std::string_view face;
  std::set<std::string_view> installed;
  std::string_view expected;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const FaceCase& c, std::ostream* os) { *os << c.name; }

class ResolveFaceTest : public testing::TestWithParam<FaceCase> {};

TEST_P(ResolveFaceTest, TakesTheFaceElseTheFirstLookAlikeInstalled) {
  const FaceCase& c = GetParam();
  const auto installed = [&c](std::string_view face) { return c.installed.contains(face); };
  EXPECT_EQ(ResolveFace(c.face, installed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, ResolveFaceTest,
    testing::Values(FaceCase{"Installed", "Arial", {"Arial", "Liberation Sans"}, "Arial"},
                    // Best look-alike first, whatever order the system lists them in.
                    FaceCase{"BestLookAlike",
                             "Arial",
                             {"DejaVu Sans", "Arimo", "Liberation Sans"},
                             "Liberation Sans"},
                    FaceCase{"OnlyLookAlike", "Arial", {"DejaVu Sans", "Tahoma"}, "Tahoma"},
                    // The forms' other face stands for the old dialog font, which Arial
                    // is only a late stand-in for.
                    FaceCase{"DialogFontNotArial", "MS Sans Serif", {"Arial", "Tahoma"}, "Tahoma"},
                    FaceCase{"DialogFontInstalled",
                             "MS Sans Serif",
                             {"MS Sans Serif", "Tahoma"},
                             "MS Sans Serif"},
                    // Nothing alike: the name goes to the system's own font matching.
                    FaceCase{"NothingAlike", "Arial", {"Courier"}, "Arial"},
                    FaceCase{"NothingInstalled", "MS Sans Serif", {}, "MS Sans Serif"}),
    [](const testing::TestParamInfo<FaceCase>& param_info) {
      return std::string(param_info.param.name);
    });

// What a screen reader calls each control: the name its design gives it,
// else its caption. Only a label whose text the window fills in as it loads
// has neither in the table.
TEST(AccessibleNameTest, EveryControlOfBothWindowsHasOne) {
  for (const FormDesign* form : {&kInfoDesign, &kConfigDesign}) {
    for (const ControlDesign& control : form->controls) {
      const bool filled_at_load = control.kind == ControlKind::kLabel && control.caption.empty();
      if (filled_at_load) continue;
      EXPECT_FALSE(form->AccessibleName(control).empty() && control.caption.empty())
          << form->name << "." << control.name << " has no name a screen reader could read";
      // The windows give a labelled control to its label, which must be one.
      EXPECT_TRUE(!control.label || (*form)[*control.label].kind == ControlKind::kLabel)
          << form->name << "." << control.name << " is labelled by a control that is no label";
    }
  }
}

TEST(AccessibleNameTest, BoxesAndTheListAreNamedForWhatTheyShow) {
  struct Named {
    const FormDesign* form;
    ControlId control;
    std::string_view name;
  };
  for (const Named& row : {Named{&kInfoDesign, InfoControl::txtIP, "IP address"},
                           Named{&kInfoDesign, InfoControl::txtCompName, "Computer name"},
                           Named{&kInfoDesign, InfoControl::txtHostName, "Host name"},
                           // The list, by the label over it, as the eye reads it.
                           Named{&kConfigDesign, ConfigControl::cboInterval,
                                 kConfigDesign[ConfigControl::lblCheck].caption}}) {
    EXPECT_EQ(row.form->AccessibleName((*row.form)[row.control]), row.name) << row.control.index();
  }
}

// Only the controls that take the focus, by tab index rather than load order: the labels, the
// frames and the picture box are left out.
TEST(TabOrderTest, ButtonsBoxesAndListsByTabIndex) {
  using enum InfoControl;
  EXPECT_EQ(TabOrder(kInfoDesign),
            (std::vector<ControlId>{cmdClose, cmdCopy2, cmdCopy, txtHostName, txtCompName, txtIP}));
  EXPECT_EQ(TabOrder(kConfigDesign),
            (std::vector<ControlId>{ConfigControl::cboInterval, ConfigControl::cmdOK,
                                    ConfigControl::cmdCancel, ConfigControl::cmdAbout}));
}

}  // namespace
}  // namespace pellux
