#include "swf/movie_reader.h"

#include <gtest/gtest.h>

#include "bytes.h"
#include "swf/format_error.h"
#include "swf/movie_writer.h"
#include "swf/tags.h"

namespace tdwk::swf {
namespace {

using test::Hex;
using test::ToHex;

std::string SampleMovie(Compression compression = Compression::None) {
  MovieWriter movie(6, {0, 11000, 0, 8000}, 12);
  movie.Add(SetBackgroundColorTag({0x33, 0x66, 0x99}));
  movie.Add(DoActionTag("\x07"));
  movie.ShowFrame();
  movie.ShowFrame();
  return movie.Finish(compression);
}

TEST(MovieWriterTest, UncompressedFileBytes) {
  std::string file = SampleMovie();
  // signature, version 6, length 8 + 9 (rect) + 4 + 5 + 4 + 2 + 2 + 2
  EXPECT_EQ(ToHex(file),
            "46 57 53 06 24 00 00 00 78 00 05 5F 00 00 0F A0 00 00 0C 02 00 "
            "43 02 33 66 99 02 03 07 00 40 00 40 00 00 00");
}

TEST(MovieReaderTest, ReadsAllThreeForms) {
  for (Compression compression : {Compression::None, Compression::Zlib, Compression::Lzma}) {
    std::string file = SampleMovie(compression);
    MovieHeader header = ReadMovieHeader(file);
    EXPECT_EQ(header.compression, compression);
    EXPECT_EQ(file.substr(0, 1), compression == Compression::None   ? "F"
                                 : compression == Compression::Zlib ? "C"
                                                                    : "Z");
    EXPECT_EQ(header.version, 6);
    EXPECT_EQ(header.fileLength, 0x24U);
    EXPECT_EQ(header.stage, (Rect{0, 11000, 0, 8000}));
    EXPECT_DOUBLE_EQ(header.frameRate, 12.0);
    EXPECT_EQ(header.frameCount, 2);
    ASSERT_TRUE(header.background.has_value());
    EXPECT_EQ(*header.background, (Rgb{0x33, 0x66, 0x99}));
  }
}

TEST(MovieReaderTest, FractionalFrameRateAndNoBackground) {
  MovieWriter movie(8, {0, 200, 0, 100}, 29.97);
  MovieHeader header = ReadMovieHeader(movie.Finish(Compression::Zlib));
  EXPECT_NEAR(header.frameRate, 29.97, 1.0 / 256);
  EXPECT_FALSE(header.background.has_value());
  EXPECT_EQ(header.frameCount, 0);
}

TEST(MovieReaderTest, TagsOfTheBody) {
  Movie movie = ReadMovie(SampleMovie(Compression::Lzma));
  std::vector<TagView> tags = ReadTags(movie.Tags());
  ASSERT_EQ(tags.size(), 5U);
  EXPECT_EQ(tags[0].code, tag::kSetBackgroundColor);
  EXPECT_EQ(ToHex(tags[1].body), "07 00");
  EXPECT_EQ(tags[4].code, tag::kEnd);
}

TEST(MovieReaderTest, EveryTruncationOfAnUncompressedMovieIsAnError) {
  std::string file = SampleMovie();
  for (std::size_t size = 0; size < file.size(); ++size) {
    EXPECT_THROW(ReadMovie(file.substr(0, size)), FormatError) << size;
  }
}

TEST(MovieReaderTest, TruncatedCompressedMoviesAreErrors) {
  // A longer movie, so the compressed data is more than its checksum.
  MovieWriter writer(6, {0, 11000, 0, 8000}, 12);
  for (int i = 0; i < 50; ++i) {
    writer.Add(DoActionTag(std::string(100, static_cast<char>(i))));
    writer.ShowFrame();
  }
  for (Compression compression : {Compression::Zlib, Compression::Lzma}) {
    std::string file = writer.Finish(compression);
    ASSERT_NO_THROW(ReadMovie(file));
    for (std::size_t size : {std::size_t{0}, std::size_t{3}, std::size_t{8}, std::size_t{12},
                             std::size_t{16}, file.size() / 2, file.size() - 12}) {
      EXPECT_THROW(ReadMovie(file.substr(0, size)), FormatError) << size;
    }
  }
}

TEST(MovieReaderTest, CorruptInputIsAnError) {
  std::string file = SampleMovie();
  std::string badSignature = file;
  badSignature[0] = 'X';
  EXPECT_THROW(ReadMovie(badSignature), FormatError);
  std::string notWs = file;
  notWs[1] = 'X';
  EXPECT_THROW(ReadMovie(notWs), FormatError);

  // A tag whose length runs past the end of the data.
  std::string longTag = file;
  longTag[21] = '\x7F';  // SetBackgroundColor claims 63+ bytes: long form, length 0x???
  EXPECT_THROW(ReadMovie(longTag), FormatError);

  // Declared lengths too small to hold a header, or absurdly large.
  std::string tiny = file;
  tiny[4] = 9;
  EXPECT_THROW(ReadMovie(tiny), FormatError);
  std::string huge = file;
  huge[7] = '\x7F';
  EXPECT_THROW(ReadMovie(huge), FormatError);

  // Compressed data that is not zlib or LZMA at all.
  std::string zlib = SampleMovie(Compression::Zlib);
  std::string garbage = zlib.substr(0, 8) + std::string(40, '\xFF');
  EXPECT_THROW(ReadMovie(garbage), FormatError);
  std::string lzma = SampleMovie(Compression::Lzma);
  std::string badProperties = lzma;
  badProperties[12] = '\xFF';  // lc/lp/pb out of range
  EXPECT_THROW(ReadMovie(badProperties), FormatError);
  std::string lzmaGarbage = lzma.substr(0, 17) + std::string(40, '\xFF');
  EXPECT_THROW(ReadMovie(lzmaGarbage), FormatError);
}

TEST(MovieReaderTest, RectBitsBeyondTheBodyAreAnError) {
  // A header whose rectangle claims 31-bit fields in a body of a few bytes.
  std::string file = Hex("46 57 53 06 0E 00 00 00 F8 00 00 00 00 00");
  EXPECT_THROW(ReadMovie(file), FormatError);
}

TEST(ReadTagsTest, StopsAtEndAndRejectsOverruns) {
  EXPECT_EQ(ReadTags(Hex("40 00 00 00 FF FF")).size(), 2U);  // bytes after End are not read
  EXPECT_EQ(ReadTags("").size(), 0U);
  EXPECT_THROW(ReadTags(Hex("43 02 FF")), FormatError);
  EXPECT_THROW(ReadTags(Hex("7F 00 05 00")), FormatError);
  EXPECT_THROW(ReadTags(Hex("40")), FormatError);
}

}  // namespace
}  // namespace tdwk::swf
