// The computer's serial port: on a pseudo-terminal, and wired to the
// simulated mount.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/tty_serial_port.h"
#include "sim/sim_world.h"
#include "support/test_clock.h"

namespace qv {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(TtySerialPort, PathsFollowTheEnvironment) {
  unsetenv("QELVESK_COM2");
  EXPECT_EQ(SerialDevicePath(1), "/dev/ttyS1");
  setenv("QELVESK_COM2", "/dev/ttyUSB0", 1);
  EXPECT_EQ(SerialDevicePath(1), "/dev/ttyUSB0");
  unsetenv("QELVESK_COM2");
}

TEST(TtySerialPort, MissingDeviceFailsWithANegativeCode) {
  setenv("QELVESK_COM7", "/nonexistent/tty", 1);
  auto port = MakeTtySerialPort();
  EXPECT_LT(port->open(6), 0);
  std::uint8_t b[4];
  EXPECT_LT(port->write(Bytes("x")), 0);
  EXPECT_LT(port->read(b, 1), 0);
  unsetenv("QELVESK_COM7");
}

TEST(TtySerialPort, TalksThroughAPseudoTerminal) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  setenv("QELVESK_COM5", ptsname(master), 1);
  auto port = MakeTtySerialPort();
  ASSERT_EQ(port->open(4), 0);
  EXPECT_EQ(port->write(Bytes("#:RG#")), 5);
  char got[16] = {};
  pollfd p{master, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 2000), 1);
  EXPECT_EQ(::read(master, got, sizeof got), 5);
  EXPECT_EQ(std::string(got, 5), "#:RG#");
  ASSERT_EQ(::write(master, "H", 1), 1);
  std::uint8_t reply[8] = {};
  EXPECT_EQ(port->read(reply, 2000), 1);
  EXPECT_EQ(reply[0], 'H');
  std::uint8_t none[8];
  EXPECT_EQ(port->read(none, 10), 0);  // nothing more within the time

  // A signal that lands while the port waits for a reply (a timer, a child
  // ending) does not end the wait: the reply that follows is still read.
  struct sigaction quiet = {};
  struct sigaction saved = {};
  quiet.sa_handler = [](int) {};
  sigemptyset(&quiet.sa_mask);
  quiet.sa_flags = 0;  // no restart: the wait sees EINTR
  sigaction(SIGUSR1, &quiet, &saved);
  const pthread_t reader = pthread_self();
  std::thread mount([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pthread_kill(reader, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(::write(master, "1", 1), 1);
  });
  const int late = port->read(reply, 2000);
  mount.join();
  sigaction(SIGUSR1, &saved, nullptr);
  EXPECT_EQ(late, 1);
  EXPECT_EQ(reply[0], '1');
  port->close();
  ::close(master);
  unsetenv("QELVESK_COM5");
}

TEST(SimPcSerialPort, ReachesTheMountAndTheAoUnit) {
  test::TestClock clock;
  auto world = std::make_shared<sim::SimWorld>(clock, 1);
  auto bus = sim::MakeSimBus(world);
  auto port = bus->openPcSerialPort();
  ASSERT_TRUE(port);
  ASSERT_EQ(port->open(0), 0);
  port->write(Bytes("#:LS 0012#"));
  port->write(Bytes("#:LI#"));
  std::uint8_t reply[50] = {};
  EXPECT_EQ(port->read(reply, 50), 16);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), 16), "STAR 12 MAG 5.0#");
  port->write(Bytes("H"));
  port->clearReceive();
  EXPECT_EQ(port->read(reply, 50), 0);
  port->write(Bytes("GN00004"));
  EXPECT_EQ(world->serial.aoNorthSouth, -4);
  // Serial filter wheel command on the PC line too.
  const std::uint8_t wheel[4] = {0xA5, 0x01, 4, 0xAA};
  port->write(wheel);
  EXPECT_EQ(world->wheel.position, 4);
}

}  // namespace
}  // namespace qv
