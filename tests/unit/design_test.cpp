// Which face a design font gets on a system that may lack it.
#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "ui/design.h"

namespace pellux {
namespace {

struct FaceCase {
  std::string_view face;
  std::set<std::string_view> installed;
  std::string_view expected;
};

class ResolveFaceTest : public testing::TestWithParam<FaceCase> {};

TEST_P(ResolveFaceTest, TakesTheFaceElseTheFirstLookAlikeInstalled) {
  const FaceCase& c = GetParam();
  const auto installed = [&c](std::string_view face) { return c.installed.contains(face); };
  EXPECT_EQ(ResolveFace(c.face, installed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, ResolveFaceTest,
    testing::Values(FaceCase{"Arial", {"Arial", "Liberation Sans"}, "Arial"},
                    // Best look-alike first, whatever order the system lists them in.
                    FaceCase{
                        "Arial", {"DejaVu Sans", "Arimo", "Liberation Sans"}, "Liberation Sans"},
                    FaceCase{"Arial", {"DejaVu Sans", "Tahoma"}, "Tahoma"},
                    // The forms' other face stands for the old dialog font, which Arial
                    // is only a late stand-in for.
                    FaceCase{"MS Sans Serif", {"Arial", "Tahoma"}, "Tahoma"},
                    FaceCase{"MS Sans Serif", {"MS Sans Serif", "Tahoma"}, "MS Sans Serif"},
                    // Nothing alike: the name goes to the system's own font matching.
                    FaceCase{"Arial", {"Courier"}, "Arial"},
                    FaceCase{"MS Sans Serif", {}, "MS Sans Serif"}));

}  // namespace
}  // namespace pellux
