// qelvesk-cli display commands end to end.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

int RunDisplayCli(std::vector<std::string> args, std::string* err = nullptr) {
  std::ostringstream out, errors;
  const int status = RunCli(args, out, errors);
  if (err) *err = errors.str();
  return status;
}

TEST(DisplayCli, RebuildWritesTheStartupRampAndExportCopiesIt) {
  test::TempDir root;
  const auto exported = (root.path() / "copy.bmp").string();
  std::string err;
  ASSERT_EQ(
      RunDisplayCli({"--root", root.str(), "--camera", "K1C", "rebuild-display", "export-display " + exported}, &err),
      0)
      << err;
  const auto bmp = test::ReadBytes(root.path() / "autosave" / "Qel_K1C.bmp");
  ASSERT_EQ(bmp.size(), 1078u + 1392u * 1040u);
  EXPECT_EQ(test::ReadBytes(exported), bmp);
  // Bottom row first: frame row 1039 holds 1039 * 62 = 64,418, high byte 251.
  EXPECT_EQ(bmp[1078], 251);
  EXPECT_EQ(bmp.back(), 0);
}

TEST(DisplayCli, OptionsChangeThePaletteAndBadValuesAreRefused) {
  test::TempDir root;
  ASSERT_EQ(RunDisplayCli({"--root", root.str(), "--camera", "K1C", "false-colour"}), 0);
  auto bmp = test::ReadBytes(root.path() / "autosave" / "Qel_K1C.bmp");
  // Entry 100 (blue, green, red) of the false colour palette.
  EXPECT_EQ((std::vector<unsigned char>(bmp.begin() + 54 + 400, bmp.begin() + 54 + 403)),
            (std::vector<unsigned char>{0, 39, 100}));
  EXPECT_EQ(RunDisplayCli({"--root", root.str(), "display-stretch-power 51"}), 2);
  EXPECT_EQ(RunDisplayCli({"--root", root.str(), "display-stretch-power x"}), 2);
  EXPECT_EQ(RunDisplayCli({"--root", root.str(), "channel-view Q"}), 2);
  EXPECT_EQ(RunDisplayCli({"--root", root.str(), "false-colour everything"}), 2);
  EXPECT_EQ(RunDisplayCli({"--root", root.str(), "--camera", "K1C", "display-stretch-power 10", "stretch-display",
                           "channel-view R", "mirror", "flip"}),
            0);
}

}  // namespace
}  // namespace qv
