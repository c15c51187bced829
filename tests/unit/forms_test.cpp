#include "monitor/forms.h"

#include <gtest/gtest.h>

namespace pellux {
namespace {

class FakeHost final : public FormHost {
 public:
  explicit FakeHost(bool is_loaded = false) : loaded_(is_loaded) {}
  bool loaded() const override { return loaded_; }
  void Show() override {
    loaded_ = true;
    ++shows;
  }
  void Unload() override { loaded_ = false; }
  int shows = 0;

 private:
  bool loaded_;
};

using Ids = std::vector<FormId>;

class FormSetTest : public ::testing::Test {
 protected:
  FakeHost main{true};
  FakeHost info;
  FakeHost config;
  FormSet forms{main, info, config};
};

TEST_F(FormSetTest, LoadedListsTheMainFormThenTheOthersInTheOrderTheyWereLoaded) {
  EXPECT_EQ(forms.Loaded(), Ids{FormId::kMain});
  forms.Show(FormId::kConfig);
  forms.Show(FormId::kInfo);
  EXPECT_EQ(forms.Loaded(), (Ids{FormId::kMain, FormId::kConfig, FormId::kInfo}));

  // Showing a loaded window again brings it up without changing its place.
  forms.Show(FormId::kConfig);
  EXPECT_EQ(config.shows, 2);
  EXPECT_EQ(forms.Loaded(), (Ids{FormId::kMain, FormId::kConfig, FormId::kInfo}));
}

TEST_F(FormSetTest, AWindowClosedAndOpenedAgainCountsAsLoadedLast) {
  forms.Show(FormId::kConfig);
  forms.Show(FormId::kInfo);
  config.Unload();  // the user closed it
  EXPECT_EQ(forms.Loaded(), (Ids{FormId::kMain, FormId::kInfo}));
  forms.Show(FormId::kConfig);
  EXPECT_EQ(forms.Loaded(), (Ids{FormId::kMain, FormId::kInfo, FormId::kConfig}));

  forms.Unload(FormId::kMain);
  EXPECT_EQ(forms.Loaded(), (Ids{FormId::kInfo, FormId::kConfig}));
}

}  // namespace
}  // namespace pellux
