// The command reference of the help: every command word the engines registered, grouped by
// engine as the command browser shows them, with syntax and description, and its rendering as
// the help page qdxcmds.htm. The build generates the page with qdxhelpgen from the engines the
// program creates, so the page always matches the command tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/vok_types.h"

struct IUnknown;

namespace vok::bar {

struct ReferenceCommand {
  std::string word;  // as the string table spells it (the tree shows it upper-cased)
  std::string syntax;
  std::string description;
};

// One engine's commands, in the order of its command tree (byte-wise by upper-cased word).
struct ReferenceGroup {
  std::string title;
  std::vector<ReferenceCommand> commands;
};

using CommandReference = std::vector<ReferenceGroup>;

// Reads the reference from `container` (any object with IvokCommandInfo; borrowed): the groups
// and words from FillCommandTree, the texts from GetCommandInfo. Needs a QApplication (the
// tree is a widget, never shown). Groups without commands are left out; a group without a
// title gets a generic one. Fails when the container offers no command information, filling
// the tree fails, or a word of the tree has no information.
HRESULT ReadCommandReference(IUnknown* container, CommandReference* reference);

// `text` as HTML text or attribute value: & < > " ' escaped; control characters other than
// tab and line feed (not allowed in HTML text) become blanks.
std::string HtmlEscape(std::string_view text);

// The whole page. Words of one group that share syntax and description (synonyms such as "del"
// and "erase") are listed in one row, at the place of the first of them.
std::string RenderCommandReference(const CommandReference& reference,
                                   std::string_view programVersion);

}  // namespace vok::bar
