// A scripted visit (TDWK_VISIT) through tdwk under a virtual X server: its events take the
// movies' paths and its screenshots show the window as drawn.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "tdwk_process.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;

struct PixbufDeleter {
  void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};

// The colour at the middle of the picture, as 0xRRGGBB.
unsigned MiddleColour(const GdkPixbuf& picture) {
  const guchar* pixel = gdk_pixbuf_read_pixels(&picture) +
                        gdk_pixbuf_get_height(&picture) / 2 * gdk_pixbuf_get_rowstride(&picture) +
                        gdk_pixbuf_get_width(&picture) / 2 * gdk_pixbuf_get_n_channels(&picture);
  return static_cast<unsigned>(pixel[0] << 16 | pixel[1] << 8 | pixel[2]);
}

TEST(TdwkVisit, RaisesItsCommandsDefinesItsVariablesAndWritesAPictureOfTheWindow) {
  TdwkApp app;
  app.WriteStartMovies({});
  TestMovie intro;  // stage colour 0x336699
  intro.watch = {"FIRST_NAME"};
  intro.nextFrameColour = 0xcc3300;
  intro.laterTicks = 48;
  app.WriteMovie("Menus/Intro.swf", intro);
  TempFolder output;
  const std::string picture = output.Path() + "window.png";
  const std::string later = output.Path() + "later.png";
  output.WriteFile(
      "visit.txt",
      "# the introduction is on screen first\n"
      "{\"event\":\"shown\",\"control\":\"swfMain\"}\n"
      "{\"event\":\"variables\",\"control\":\"swfMain\","
      "\"values\":{\"FIRST_NAME\":\"Tom\"}}\n"
      "swfMain vbFromTheVisit with an argument\n"
      "{\"event\":\"raised\",\"control\":\"swfMain\",\"command\":\"" +
          std::string(kVariableReport) +
          "\",\"args\":\"FIRST_NAME=Tom\"}\n"
          "{\"event\":\"screenshot\",\"file\":\"" +
          picture +
          "\"}\n"
          "{\"event\":\"raised\",\"control\":\"swfMain\",\"command\":\"" +
          std::string(kFrameReport) + "\",\"args\":\"1\"}\n" + "{\"event\":\"wait\",\"ms\":500}\n" +
          "{\"event\":\"screenshot\",\"file\":\"" + later + "\"}\n" + "{\"event\":\"close\"}\n");
  app.Start({}, {{"TDWK_VISIT", output.Path() + "visit.txt"}});

  EXPECT_TRUE(app.WaitForCommand("swfMain", "vbFromTheVisit", "with an argument", 60s))
      << app.Errors();
  EXPECT_TRUE(app.WaitForCommand("swfMain", kVariableReport, "FIRST_NAME=Tom", 10s))
      << app.Errors();
  ASSERT_EQ(app.WaitForExit(30s), 0) << app.Errors();
  EXPECT_EQ(app.Trace().back(), (nlohmann::json{{"op", "Unload"}}));

  const auto read = [&](const std::string& file) {
    GError* error = nullptr;
    std::unique_ptr<GdkPixbuf, PixbufDeleter> pixbuf(
        gdk_pixbuf_new_from_file(file.c_str(), &error));
    EXPECT_NE(pixbuf, nullptr) << (error != nullptr ? error->message : "") << app.Errors();
    return pixbuf;
  };
  const auto first = read(picture);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(first.get()), 1024);
  // The introduction fills the window with its stage colour: the players' drawing, not an
  // empty window, is in the picture.
  EXPECT_EQ(MiddleColour(*first), 0x336699u);
  // A movie that stood still for a while and then changes is drawn again.
  const auto second = read(later);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(MiddleColour(*second), 0xcc3300u);
}

}  // namespace
}  // namespace tdwk::test
