#pragma once

// The simulated camera rig as a GoogleTest fixture.

#include <gtest/gtest.h>

#include "support/recording_host.h"
#include "support/sim_camera.h"

namespace qv::test {

class SimCameraTest : public ::testing::Test, public SimCamera<RecordingHost> {};

}  // namespace qv::test
