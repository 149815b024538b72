// Operations stepped by the clock, their headless driver, the virtual clock
// and the waits that must end on the millisecond.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/null_host.h"
#include "app/run_operation.h"
#include "app/virtual_clock.h"
#include "support/test_clock.h"

namespace qv {
namespace {

// Three steps 200 ms apart; a left press ends it at its next step, which
// with `wakeOnPress` comes at once.
class ThreeSteps final : public Operation {
 public:
  WakeTime start(std::uint32_t nowMs) override {
    startedAt = nowMs;
    return nowMs + 200;
  }
  WakeTime step(std::uint32_t nowMs) override {
    steps.push_back(nowMs - startedAt);
    if (pressed || steps.size() == 3) return kOperationFinished;
    return nowMs + 200;
  }
  void cancel() override { cancelled = true; }
  void input(OperationInput event) override {
    inputs.push_back(event);
    if (event == OperationInput::LeftButtonPress) pressed = true;
  }
  std::optional<std::uint32_t> wakeForInput(std::uint32_t nowMs) override {
    return wakeOnPress && pressed ? std::optional<std::uint32_t>(nowMs) : std::nullopt;
  }
  bool wakeOnPress = false;
  std::uint32_t startedAt = 0;
  std::vector<std::uint32_t> steps;
  std::vector<OperationInput> inputs;
  bool pressed = false, cancelled = false;
};

// A host that reports the given presses at its n-th pump.
class PressingHost final : public NullHost {
 public:
  InputEvents pumpEvents() override { return ++pumps == pressAt ? press : InputEvents{}; }
  int pumps = 0, pressAt = -1;
  InputEvents press;
};

TEST(RunOperation, SleepsUntilEachWakeUpAndDeliversPresses) {
  VirtualClock clock;
  ThreeSteps work;
  PressingHost host;
  RunOperation(work, clock, host);
  EXPECT_EQ(work.steps, (std::vector<std::uint32_t>{200, 400, 600}));
  EXPECT_EQ(clock.nowMs, 600u);  // slept, never read its way there
  EXPECT_TRUE(work.inputs.empty());

  ThreeSteps pressed;
  host.pumps = 0;
  host.pressAt = 2;
  host.press.keyPressed = host.press.leftButtonPressed = true;
  RunOperation(pressed, clock, host);
  EXPECT_EQ(pressed.steps.size(), 2u);
  EXPECT_EQ(pressed.inputs, (std::vector<OperationInput>{OperationInput::KeyPress, OperationInput::LeftButtonPress}));
  EXPECT_FALSE(pressed.cancelled);

  // A press due between two wake-ups is delivered when it is made, and the
  // operation that asks for it is stepped then.
  ThreeSteps early;
  early.wakeOnPress = true;
  host.pumps = 0;
  host.press = {false, true, false};
  const std::uint32_t pressAt = clock.nowMs + 250;
  RunOperation(early, clock, host,
               [&] { return host.pumps < 2 ? std::optional<std::uint32_t>(pressAt) : std::nullopt; });
  EXPECT_EQ(early.steps, (std::vector<std::uint32_t>{200, 250}));
}

TEST(RunOperation, WakeUpsAcrossTheCounterWrap) {
  VirtualClock clock;
  clock.nowMs = 0xFFFF'FF00u;
  ThreeSteps work;
  NullHost host;
  RunOperation(work, clock, host);
  EXPECT_EQ(work.steps, (std::vector<std::uint32_t>{200, 400, 600}));
  EXPECT_EQ(MsUntil(5, 0xFFFF'FFFBu), 10u);
  EXPECT_EQ(MsUntil(0xFFFF'FFFBu, 5), 0u);  // already past
}

TEST(VirtualClock, WaitsMoveTheCalendar) {
  VirtualClock clock(*ParseUtDateTime("2024-02-29T23:59:58"));
  EXPECT_EQ(clock.now(), 1'709'251'198);
  clock.sleepMs(2'500);
  EXPECT_EQ(clock.now(), 1'709'251'200);    // 2024-03-01T00:00:00
  EXPECT_EQ(clock.milliseconds(), 2'500u);  // reading alone does not move it
  EXPECT_EQ(VirtualClock().now(), *ParseUtDateTime("2000-01-01T00:00:00"));
}

TEST(VirtualClock, StartTimeMustBeAFullValidUtTime) {
  EXPECT_EQ(ParseUtDateTime("1970-01-01T00:00:00"), 0);
  EXPECT_EQ(ParseUtDateTime("2000-12-31T23:59:59"), 978'307'199);
  for (const char* bad : {"", "2000-01-01", "2000-01-01 00:00:00", "2000-01-01T00:00", "2000-13-01T00:00:00",
                          "2001-02-29T00:00:00", "2000-01-01T24:00:00", "2000-01-01T00:60:00", "2000-1-01T00:00:00",
                          "+000-01-01T00:00:00", "2000-01-01T00:00:00Z", "1969-12-31T23:59:59"}) {
    EXPECT_FALSE(ParseUtDateTime(bad)) << bad;
  }
  EXPECT_TRUE(ParseUtDateTime("2000-02-29T12:00:00"));
}

// A clock that records how a wait was made.
class RecordingClock final : public Clock {
 public:
  std::uint32_t milliseconds() override {
    ++reads;
    return nowMs++;
  }
  void sleepMs(std::uint32_t ms) override {
    slept.push_back(ms);
    nowMs += ms;
  }
  std::time_t now() override { return 0; }
  std::uint32_t nowMs = 0;
  int reads = 0;
  std::vector<std::uint32_t> slept;
};

TEST(SleepPreciseMs, SleepsToTheLastMillisecondThenReadsTheClock) {
  RecordingClock clock;
  SleepPreciseMs(clock, 1'500);
  EXPECT_EQ(clock.slept, (std::vector<std::uint32_t>{1'499}));
  EXPECT_GE(clock.nowMs, 1'500u);
  EXPECT_LE(clock.reads, 3);  // one reading to start, at most two for the last millisecond

  VirtualClock virtualClock;
  SleepPreciseMs(virtualClock, 1'001);
  EXPECT_EQ(virtualClock.nowMs, 1'001u);  // a clock that stands still jumps to the end
}

}  // namespace
}  // namespace qv
