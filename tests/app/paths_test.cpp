// Turning the program's fixed paths into native ones under the data root.

#include "app/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qv {
namespace {

TEST(Paths, FixedPathsLieUnderTheRoot) {
  const DataPaths paths{"/data/q"};
  EXPECT_EQ(NativePath(paths, "c:\\autosave\\Qel_K1C.ini"), "/data/q/autosave/Qel_K1C.ini");
  EXPECT_EQ(NativePath(paths, "c:\\AUTOSAVE"), "/data/q/autosave");
  EXPECT_EQ(NativePath(paths, "C:\\Autosave\\Qel_K1C.bmp"), "/data/q/autosave/Qel_K1C.bmp");
  EXPECT_EQ(NativePath(paths, "c:\\dark.def"), "/data/q/dark.def");
  EXPECT_EQ(NativePath(paths, "c:\\autosaved\\x"), "/data/q/autosaved/x");
  EXPECT_EQ(NativePath(paths, "/home/me/img.fit"), "/home/me/img.fit");
  EXPECT_EQ(NativePath(paths, "relative/img.fit"), "relative/img.fit");
}

TEST(Paths, DefaultRootFromTheEnvironment) {
  const char* saved = std::getenv("QELVESK_ROOT");
  const std::string keep = saved ? saved : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("QELVESK_ROOT", "/srv/qv", 1);
  EXPECT_EQ(DefaultDataRoot(), "/srv/qv");
  ::unsetenv("QELVESK_ROOT");
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(DefaultDataRoot(), "/home/someone/QelVesk");
  ::setenv("HOME", home.c_str(), 1);
  if (saved) ::setenv("QELVESK_ROOT", keep.c_str(), 1);
}

}  // namespace
}  // namespace qv
