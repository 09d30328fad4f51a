#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "gui/form_about.h"
#include "gui/form_main.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

TEST(CentredOver, HalvesTruncateTowardZero) {
  EXPECT_EQ(centredOver(QRect(100, 50, 701, 501), QSize(300, 200)), QPoint(100 + 200, 50 + 150));
  // A box larger than its owner: -101 / 2 is -50, not -51.
  EXPECT_EQ(centredOver(QRect(10, 20, 300, 100), QSize(401, 203)), QPoint(10 - 50, 20 - 51));
}

TEST(FormAbout, OpensModallyCentredWithItsVersionAndAClickClosesIt) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::MainWindow main(prompter, shell);
  main.setGeometry(100, 80, 800, 600);
  TFormAbout about(&main);
  main.setAboutForm(&about);
  auto* version = about.findChild<QLabel*>("LabelVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), "Version");
  main.show();
  main.show();  // only the first show appends the version
  EXPECT_EQ(version->text(), "Version 2.5");
  EXPECT_EQ(about.windowTitle(), "About Voxloom");

  bool wasModal = false;
  QPoint shownAt;
  QTimer::singleShot(0, &about, [&] {
    wasModal = about.isVisible() && about.isModal();
    shownAt = about.pos();
    QTest::mouseClick(about.findChild<QLabel*>("LabelFreeware"), Qt::LeftButton);
  });
  QTimer::singleShot(5000, &about, [&] { about.reject(); });  // never hang the suite
  main.findChild<QAction*>("MenuHelpAbout")->trigger();

  EXPECT_TRUE(wasModal);
  EXPECT_EQ(about.result(), QDialog::Accepted) << "closed by the click, not by the time-out";
  EXPECT_EQ(shownAt, centredOver(main.frameGeometry(), about.frameGeometry().size()));
}

}  // namespace
}  // namespace voxloom
