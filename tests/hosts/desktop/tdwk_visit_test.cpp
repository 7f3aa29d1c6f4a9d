// A scripted visit (TDWK_VISIT) through tdwk under a virtual X server: its events take the
// movies' paths and its screenshots show the window as drawn.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "tdwk_process.h"

namespace tdwk::testing {
namespace {

using namespace std::chrono_literals;

struct PixbufDeleter {
  void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};

// Whether the picture holds more than one colour.
bool HasTwoColours(const GdkPixbuf& picture) {
  const int channels = gdk_pixbuf_get_n_channels(&picture);
  const int stride = gdk_pixbuf_get_rowstride(&picture);
  const guchar* pixels = gdk_pixbuf_read_pixels(&picture);
  for (int y = 0; y < gdk_pixbuf_get_height(&picture); ++y) {
    for (int x = 0; x < gdk_pixbuf_get_width(&picture); ++x) {
      const guchar* pixel = pixels + y * stride + x * channels;
      for (int c = 0; c < 3; ++c) {
        if (pixel[c] != pixels[c]) return true;
      }
    }
  }
  return false;
}

TEST(TdwkVisit, RaisesItsCommandsDefinesItsVariablesAndWritesAPictureOfTheWindow) {
  TdwkApp app;
  app.WriteStartMovies({});
  TestMovie intro;
  intro.watch = {"FIRST_NAME"};
  app.WriteMovie("Menus/Intro.swf", intro);
  TempFolder output;
  const std::string picture = output.Path() + "window.png";
  output.WriteFile("visit.txt",
                   "# the players load and draw first\n"
                   "{\"event\":\"wait\",\"ms\":6000}\n"
                   "{\"event\":\"variables\",\"control\":\"swfMain\","
                   "\"values\":{\"FIRST_NAME\":\"Tom\"}}\n"
                   "swfMain vbFromTheVisit with an argument\n"
                   "{\"event\":\"wait\",\"ms\":1000}\n"
                   "{\"event\":\"screenshot\",\"file\":\"" +
                       picture +
                       "\"}\n"
                       "{\"event\":\"close\"}\n");
  app.Start({}, {{"TDWK_VISIT", output.Path() + "visit.txt"}});

  EXPECT_TRUE(app.WaitForCommand("swfMain", "vbFromTheVisit", "with an argument", 60s))
      << app.Errors();
  EXPECT_TRUE(app.WaitForCommand("swfMain", kVariableReport, "FIRST_NAME=Tom", 10s))
      << app.Errors();
  ASSERT_EQ(app.WaitForExit(30s), 0) << app.Errors();
  EXPECT_EQ(app.Trace().back(), (nlohmann::json{{"op", "Unload"}}));

  GError* error = nullptr;
  std::unique_ptr<GdkPixbuf, PixbufDeleter> read(gdk_pixbuf_new_from_file(picture.c_str(), &error));
  ASSERT_NE(read, nullptr) << (error != nullptr ? error->message : "") << app.Errors();
  EXPECT_EQ(gdk_pixbuf_get_width(read.get()), 1024);
  EXPECT_TRUE(HasTwoColours(*read));
}

}  // namespace
}  // namespace tdwk::testing
