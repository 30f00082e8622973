// kestrel-view --envelope: the JSON lines people read while debugging.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/scratch_dir.hpp"

#ifdef KESTREL_VIEW_PATH

namespace {

using testing_support::RunCommand;

class KestrelView : public testing_support::ScratchDirTest {
 protected:
  int Run(const std::string& arguments) {
    return RunCommand(std::string(KESTREL_VIEW_PATH) + " " + arguments + " > out.txt 2> err.txt");
  }
  static std::string Read(const char* name) {
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(KestrelView, PrintsOneLinePerItemAndFrameInSceneOrder) {
  testing_support::WriteFile(
      "s.lws", std::string("LWSC\n3\nFramesPerSecond 10\n"
                           "AddNullObject Mover\nObjectMotion\nNumChannels 2\nChannel 0\n{ Envelope\n  2\n"
                           "  Key 0 0 3 0 0 0 0 0 0\n  Key 4 2 3 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
                           "Channel 3\n{ Envelope\n  1\n  Key 1.5707963267948966 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
                           "AddLight\nLightName Sun\nAddCamera\nCameraName \"Cam\"\n"));
  ASSERT_EQ(Run("s.lws --envelope --frames 10,-5"), 0) << Read("err.txt");
  EXPECT_EQ(Read("out.txt"),
            "{\"item\": \"Mover\", \"frame\": 10, \"position\": [2, 0, 0], \"rotation\": [90, 0, 0], "
            "\"scale\": [1, 1, 1]}\n"
            "{\"item\": \"Mover\", \"frame\": -5, \"position\": [0, 0, 0], \"rotation\": [90, 0, 0], "
            "\"scale\": [1, 1, 1]}\n"
            "{\"item\": \"Sun\", \"frame\": 10, \"position\": [0, 0, 0], \"rotation\": [0, 0, 0], "
            "\"scale\": [1, 1, 1]}\n"
            "{\"item\": \"Sun\", \"frame\": -5, \"position\": [0, 0, 0], \"rotation\": [0, 0, 0], "
            "\"scale\": [1, 1, 1]}\n"
            "{\"item\": \"\\\"Cam\\\"\", \"frame\": 10, \"position\": [0, 0, 0], \"rotation\": [0, 0, 0], "
            "\"scale\": [1, 1, 1]}\n"
            "{\"item\": \"\\\"Cam\\\"\", \"frame\": -5, \"position\": [0, 0, 0], \"rotation\": [0, 0, 0], "
            "\"scale\": [1, 1, 1]}\n");
}

TEST_F(KestrelView, ReadsScenesFromAnArchive) {
  ASSERT_EQ(0, RunCommand("mkdir -p pack/scenes && printf 'LWSC\\n3\\nAddNullObject N\\n' > pack/scenes/a.lws && "
                          "cd pack && zip -q -r ../data.alf scenes"));
  ASSERT_EQ(Run("SCENES\\\\A.LWS --archive data.alf --envelope --frames 0"), 0) << Read("err.txt");
  EXPECT_NE(Read("out.txt").find("\"item\": \"N\""), std::string::npos);
}

TEST_F(KestrelView, FailuresExitOneWithAMessage) {
  EXPECT_EQ(Run("missing.lws --envelope --frames 1"), 1);
  EXPECT_NE(Read("err.txt").find("missing.lws\" not found"), std::string::npos);
  testing_support::WriteFile("bad.lws", std::string("LWSC\n9\n"));
  EXPECT_EQ(Run("bad.lws --envelope --frames 1"), 1);
  EXPECT_NE(Read("err.txt").find("unsupported scene version 9"), std::string::npos);
  EXPECT_EQ(Run("bad.lws --envelope --frames 1,x"), 1);
  EXPECT_NE(Read("err.txt").find("bad frame list"), std::string::npos);
  EXPECT_EQ(Run("bad.lws --envelope"), 1);
  EXPECT_EQ(Run("bad.lws --archive none.alf --envelope --frames 1"), 1);
  EXPECT_NE(Read("err.txt").find("cannot open archive"), std::string::npos);
  EXPECT_EQ(Run(""), 1);
  EXPECT_NE(Read("err.txt").find("usage"), std::string::npos);
}

}  // namespace

#endif
