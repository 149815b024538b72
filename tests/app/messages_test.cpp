// The numbered message table and how a message is shown.

#include "app/messages.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace qv {
namespace {

TEST(Messages, TextsAreExact) {
  const std::pair<int, const char*> expected[] = {
      {1, "Warning!\nNo INI file found, please set defaults..."},
      {2, "Sorry, outside Image area - try again"},
      {4, "Sorry. Guide star lost.\n\nStar may have moved more than 10 pixels, or has different intensity to "
          "previous reading (+/-5%)"},
      {5, "Sorry. Cannot find suitable guide star\n\nStar must be at least +/-5% of next brightest."},
      {7, "Failed to Open Darkframe Pell File"},
      {8, "Failed to create temp bitmap"},
      {9, "Unable to create temp bitmap file header"},
      {10, "Unable to create temp bitmap file"},
      {11, "Failed to Open Pell File"},
      {12, "You didn't choose a valid Pell or suitable FITs File"},
      {13, "Unable to load FITS file"},
      {14, "Unable to load FITS file, File was not saved by this program"},
      {16, "Sorry, you didn't choose a Pell File"},
      {17, "Failed to Save Pell File"},
      {18, "Unable to create/overwrite Pell File"},
      {22, "Sorry, chosen Darkframe is not an Pell File"},
      {23, "Unable to load INI file, please delete and try again"},
      {24, "Unable to save INI file, please check disk space"},
      {25, "Failed to Open Flatfield Pell File"},
      {26, "Sorry, chosen Flatfield is not a Pell File"},
      {27, "Unable to load INI file, please delete and try again"},
      {29, "Unable to create file, check disk space"},
      {30, "Sorry, Merging only available in standard Geometry. Ensure Image is not stretched to fit window or in "
           "Pell geometry."},
      {31, "Sorry, you are already in Merging mode."},
      {32, "Cannot open bitmap file"},
      {33, "Sorry. Cannot Pick Star in ths display mode"},
      {34, "Sorry. No Connection to Telescope"},
      {35, "Sorry, you cannot run Photometry, Row Plot and Merging at the same time"},
      {36, "Sorry, Photometry only available in standard Geometry. Ensure Image is not stretched to fit window or "
           "in Pell geometry."},
      {37, "Sorry, you are already in Photometry mode. Click left Mouse button when on object you wish to measure"},
      {38, "Sorry, Row Plot only available in standard Geometry. Ensure Image is not stretched to fit window or in "
           "Pell geometry."},
      {40, "Sorry, you must first load an autosaved file to start the sequence, or there are no more files"},
      {51, "AutoGuiding Terminated"},
      {52, "Sorry, Invalid directory"},
      {53, "No guiding star selected"},
      {55, "Sorry, No guidance mode selected"},
      {68, "Already Colour Converted"},
      {69, "Image Not Colour Converted"},
      {70, "Sorry, this is not a suitable Flat file"},
      {71, "Sorry, you can only save a colour converted file as a Flat file"},
      {72, "Sorry, you can only save a colour converted file as a RGB FITS file"},
      {80, "Please select telescope guiding mode before selecting AO Unit"},
  };
  int withText = 0;
  for (int n = -5; n <= 100; ++n) {
    if (!MessageText(n).empty()) ++withText;
  }
  EXPECT_EQ(withText, static_cast<int>(std::size(expected)));
  for (const auto& [number, text] : expected) {
    test::RecordingHost host;
    ShowMessage(host, number, "ignored");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, text) << number;
    EXPECT_EQ(host.boxes[0].caption, "QEL_VESK_USB");
    EXPECT_EQ(host.boxes[0].icon, MessageIcon::None);
    EXPECT_EQ(host.boxes[0].number, number);
  }
}

TEST(Messages, NumbersWithoutTextShowAnEmptyBox) {
  for (int n : {0, 3, 45, 79, 81, 32767, -1}) {
    test::RecordingHost host;
    ShowMessage(host, n, "not shown");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "") << n;
    EXPECT_EQ(host.boxes[0].caption, "QEL_VESK_USB");
  }
}

TEST(Messages, FiftyShowsTheCallersTextCutTo255) {
  test::RecordingHost host;
  char formatted[32];
  std::snprintf(formatted, sizeof formatted, "ERROR %d ", -3);
  ShowMessage(host, 50, formatted);
  EXPECT_EQ(host.boxes[0].text, "ERROR -3 ");
  ShowMessage(host, 50, std::string(400, 'a'));
  EXPECT_EQ(host.boxes[1].text.size(), 255u);
}

}  // namespace
}  // namespace qv
