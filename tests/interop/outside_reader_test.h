#pragma once

// A files test that hands what it wrote to a reader this project did not
// write (a Python module or a command-line tool) and reads back its answer.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "files/files_fixture.h"  // tests/files

namespace qv::test {

inline constexpr const char* kPython = "/usr/bin/python3";

class OutsideReaderTest : public FilesTest {
 protected:
  // Runs a shell command; its standard output, or nothing when it failed.
  bool Run(const std::string& command, std::string& output) {
    const std::string out = file("stdout.txt");
    const int status = std::system((command + " > '" + out + "' 2> '" + file("stderr.txt") + "'").c_str());
    std::ifstream in(out);
    std::ostringstream text;
    text << in.rdbuf();
    output = text.str();
    return status == 0;
  }
  bool HavePythonModule(const std::string& module) {
    std::string ignored;
    return Run(std::string(kPython) + " -c 'import " + module + "'", ignored);
  }
  bool HaveTool(const std::string& tool) {
    std::string ignored;
    return Run("command -v " + tool, ignored);
  }
  // Runs a Python script and returns what it printed; a failing script fails the test.
  std::string Python(const std::string& script) {
    std::ofstream(file("script.py")) << script;
    std::string output;
    EXPECT_TRUE(Run(std::string(kPython) + " '" + file("script.py") + "'", output)) << output;
    return output;
  }
};

}  // namespace qv::test
