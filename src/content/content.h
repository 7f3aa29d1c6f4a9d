#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/common/user_data.h"

namespace tdwk::content {

// The commands a movie's actions send to the shell: every "FSCommand:" target written in
// it, in the order they appear, each once. Commands built at run time cannot be seen.
std::vector<std::string> SentCommands(std::string_view movieBody);

// Prints, for every movie the system can load, where it comes from (theirs, demo, missing),
// its SWF version, frame rate and stage and the commands it sends, marking those the shell
// does not know; then the score tables that exist. Returns 0 when every movie is there and
// readable, 1 otherwise.
int Check(RunStorage& storage, std::ostream& out);

// Copies the movie folders (Menus, Stories, Games, Gadgets, any letter case) of source into
// the folder the movies are read from, a name already there in another letter case being
// replaced. Returns 0 when something was copied and nothing failed, 1 otherwise.
int Import(const std::string& source, const std::string& into, std::ostream& out,
           std::ostream& errors);

}  // namespace tdwk::content
