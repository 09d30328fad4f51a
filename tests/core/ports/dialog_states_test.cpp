// The states the modal dialogs show and edit, kept between their uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ports/echo_dialog.h"
#include "core/ports/service_url_dialog.h"
#include "core/ports/write_rn_dialog.h"

namespace voxloom {
namespace {

TEST(EchoDialogState, LabelsFollowTheScrollBars) {
  EchoDialogState dialog;
  dialog.showFor({0, 0});  // unchanged positions leave the initial labels
  EXPECT_EQ(dialog.delayLabel, "Delay:");
  EXPECT_EQ(dialog.decayLabel, "Decay:");
  dialog.showFor(EchoSettings{});
  EXPECT_EQ(dialog.delayLabel, "Delay: 100 ms");
  EXPECT_EQ(dialog.decayLabel, "Decay: 50 %");
  dialog.scrollBarDelayChange(1500);
  dialog.scrollBarDecayChange(-5);
  EXPECT_EQ(dialog.delayLabel, "Delay: 1000 ms");
  EXPECT_EQ(dialog.decayLabel, "Decay: 0 %");
  const EchoSettings stored = dialog.accepted();
  EXPECT_EQ(stored.delayMs, 1000);
  EXPECT_EQ(stored.decayPercent, 0);
  EXPECT_EQ(centredOver(100, 800, 301), 349);
}

TEST(WriteRnDialogState, TheButtonsStayInTheRange) {
  struct Case {
    std::int32_t from;
    bool times;
    std::int32_t to;
  };
  for (const Case& c : {Case{5, false, 1}, Case{500000, true, 1000000}, Case{1000, true, 10000},
                        Case{1000, false, 100}, Case{1000000, true, 1000000}}) {
    WriteRnDialogState s;
    s.samples = c.from;
    c.times ? s.timesTen() : s.divideByTen();
    EXPECT_EQ(s.samples, c.to) << c.from;
  }
}

TEST(ServiceUrlFormTest, OkAddsNewTextsSortedAndDeleteRemovesTheShownOne) {
  ServiceUrlForm form;
  form.items = {"http://b.test/"};
  form.text = "http://a.test/";
  form.ok();
  form.ok();
  form.text = "";
  form.ok();
  EXPECT_EQ(form.items, (std::vector<std::string>{"http://a.test/", "http://b.test/"}));
  form.text = "http://b.test/";
  form.deleteText();
  EXPECT_EQ(form.items, std::vector<std::string>{"http://a.test/"});
  EXPECT_EQ(form.text, "");
  form.text = "http://not-listed.test/";
  form.deleteText();
  EXPECT_EQ(form.items.size(), 1u);
  EXPECT_EQ(form.text, "");
}

}  // namespace
}  // namespace voxloom
