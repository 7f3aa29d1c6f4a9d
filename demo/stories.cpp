// The six stories: a title page, then pages told with the child's own details.

#include <array>
#include <vector>

#include "demo_movies.h"
#include "movie_kit.h"

namespace tdwk::demo {

namespace {

struct Story {
  const char* path;
  const char* title;
  Rgb background;
  unsigned colour;
  std::vector<const char*> pages;  // {VARIABLE|fallback} stands for a published detail
};

// Leaves on the stack the variable's value, or the fallback while it is empty or undefined.
void PushDetail(Assembler& a, const std::string& variable, const std::string& fallback) {
  auto useFallback = a.NewLabel();
  auto done = a.NewLabel();
  a.Push(variable).GetVariable();
  a.PushDuplicate().TypeOf().Push(std::string("undefined")).StrictEquals().If(useFallback);
  a.PushDuplicate().ToString().Push(std::string("")).StrictEquals().If(useFallback);
  a.Jump(done);
  a.Bind(useFallback);
  a.Pop().Push(fallback);
  a.Bind(done);
}

// pageText = the page with every {VARIABLE|fallback} filled in.
Assembler PageCode(std::string_view page) {
  Assembler a;
  a.Push({std::string("pageText"), std::string("")});
  std::size_t at = 0;
  while (at < page.size()) {
    std::size_t open = page.find('{', at);
    std::string_view literal = page.substr(at, open - at);
    if (!literal.empty()) a.Push(std::string(literal)).StringAdd();
    if (open == std::string_view::npos) break;
    std::size_t close = page.find('}', open);
    std::string_view placeholder = page.substr(open + 1, close - open - 1);
    std::size_t bar = placeholder.find('|');
    PushDetail(a, std::string(placeholder.substr(0, bar)),
               std::string(placeholder.substr(bar + 1)));
    a.StringAdd();
    at = close + 1;
  }
  a.SetVariable().Stop();
  return a;
}

DemoFile StoryMovie(const Story& story) {
  MovieKit kit(6, kContentWidth, kContentHeight, story.background);
  Banner(kit, story.title, story.colour);
  Assembler init;
  init.Stop();
  kit.Actions(init);
  kit.Text(40, 150, 720, 200, "A story all about you!",
           {52, colour::kPurple, swf::Align::Center, true});
  kit.Button(250, 330, 300, 90, "Read it", colour::kGreen, GotoCode(1));
  kit.EndFrame();

  int pages = static_cast<int>(story.pages.size());
  for (int page = 0; page < pages; ++page) {
    kit.Actions(PageCode(story.pages[static_cast<std::size_t>(page)]));
    kit.Rect(40, 100, 720, 400, colour::kWhite, colour::kInk, 30);
    kit.BoundText(70, 125, 660, 360, "pageText", {34, colour::kInk, swf::Align::Left, true});
    kit.Text(340, 520, 120, 50, std::to_string(page + 1) + " / " + std::to_string(pages),
             {28, colour::kInk, swf::Align::Center});
    kit.Button(40, 515, 200, 65, "Back", colour::kPurple,
               GotoCode(static_cast<std::uint16_t>(page)));
    if (page + 1 < pages) {
      kit.Button(560, 515, 200, 65, "Next", colour::kGreen,
                 GotoCode(static_cast<std::uint16_t>(page + 2)));
    } else {
      kit.Button(520, 515, 240, 65, "The End", colour::kRed, CommandCode("vbLoadMovie", "STORIES"));
    }
    kit.EndFrame();
  }
  return {story.path, kit.Finish()};
}

const std::array<Story, 6>& AllStories() {
  static const std::array<Story, 6> kStories = {{
      {"Stories/Dragon.swf",
       "The Dragon Slayer",
       {255, 235, 220},
       0,
       {"Once upon a time in {TOWN_CITY_NAME|a little town} there lived a brave child called "
        "{FIRST_NAME|Sam}.",
        "One morning {MUMS_NAME|Mum} shouted: \"A dragon is sitting on the roof of "
        "{SCHOOL_NAME|the school}!\"",
        "{FIRST_NAME|Sam} and {FRIENDS_NAME_1|a best friend} marched up the hill. The dragon only "
        "wanted someone to play with!",
        "So the dragon came home for tea, and {FAVOURITE_PET_NAME|the cat} the "
        "{PET_TYPE|cat} was not scared one bit. The End."}},
      {"Stories/YoHoHo.swf",
       "Yo Ho Ho, Pirates!",
       {220, 240, 255},
       4,
       {"Captain {FIRST_NAME|Sam} sailed out of {TOWN_CITY_NAME|the harbour} on a ship with "
        "purple sails.",
        "First mate {FRIENDS_NAME_1|Jo} found a treasure map inside a bottle.",
        "{FAVOURITE_PET_NAME|Polly} the {PET_TYPE|parrot} squawked: \"X marks the spot!\"",
        "The treasure chest was full of chocolate coins, enough for {DADS_NAME|Dad} and "
        "everybody at {SCHOOL_NAME|school}. The End."}},
      {"Stories/Monster.swf",
       "The Friendly Monster",
       {230, 255, 230},
       2,
       {"Under {FIRST_NAME|Sam}'s bed lived a hairy green monster called Bob.",
        "Bob was scared of the dark, so {FIRST_NAME|Sam} lent him a torch.",
        "{DADS_NAME|Dad} heard giggling and came to look, but Bob hid behind "
        "{FAVOURITE_PET_NAME|Teddy}.",
        "Now Bob and {FIRST_NAME|Sam} read stories together every night. The End."}},
      {"Stories/Ghost.swf",
       "The Giggly Ghost",
       {240, 235, 255},
       5,
       {"In an old house in {TOWN_CITY_NAME|the village} lived a ghost who could not stop "
        "giggling.",
        "{FIRST_NAME|Sam} and {FRIENDS_NAME_1|a friend} tiptoed in with {MUMS_NAME|Mum}'s "
        "best torch.",
        "\"Boo!\" said the ghost, and then it laughed so much it fell through the floor.",
        "Now the ghost visits {SCHOOL_NAME|school} and tells {TEACHERS_NAME|the teacher} jokes. "
        "The End."}},
      {"Stories/LochNess.swf",
       "The Loch Ness Picnic",
       {220, 250, 250},
       3,
       {"{FIRST_NAME|Sam} went to the loch for a picnic with {GRANS_NAME|Gran}.",
        "Something splashed! A long neck rose out of the water. It was Nessie!",
        "Nessie loved the sandwiches, and {FAVOURITE_PET_NAME|Rex} the {PET_TYPE|dog} loved "
        "Nessie.",
        "{FIRST_NAME|Sam} waved goodbye and promised to come back next summer. The End."}},
      {"Stories/FireBreathingDragon.swf",
       "The Fire Breathing Dragon",
       {255, 240, 210},
       1,
       {"A little dragon in {COUNTRY_NAME|a faraway land} could only breathe tiny sparks.",
        "{FIRST_NAME|Sam} taught the dragon to take a great big breath.",
        "WHOOSH! The dragon lit every candle on {FIRST_NAME|Sam}'s birthday cake at once.",
        "{MUMS_NAME|Mum}, {DADS_NAME|Dad} and {FRIENDS_NAME_1|all the friends} cheered. The "
        "End."}},
  }};
  return kStories;
}

}  // namespace

std::vector<DemoFile> StoryMovies() {
  std::vector<DemoFile> files;
  for (const Story& story : AllStories()) files.push_back(StoryMovie(story));
  return files;
}

}  // namespace tdwk::demo
