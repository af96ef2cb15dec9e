// The command browser's logic that needs no window: its search history (a unique fast list of
// string items, newest at the back) and the wildcard search over the command tree's texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"

namespace vok::cmdline {

// Longest find text and resulting command, in bytes.
inline constexpr size_t kCmdBrowserTextBytes = 511;
// Longest part of a tree node's text that the search compares, in bytes.
inline constexpr size_t kTreeTextBytes = 127;
// Search texts kept; the oldest falls out.
inline constexpr LONG kSearchHistorySize = 30;

// Creates the search history by class identifier (vokFastList, unique keys, at most
// kSearchHistorySize entries). On failure *history is null and the status is returned.
HRESULT CreateSearchHistory(ComPtr<IvokFastList>* history);

// Files `text` as the newest search text; a text already there moves to the newest place.
// The string item is created by class identifier.
HRESULT RememberSearchText(IvokFastList* history, const std::string& text);

// Where the search goes on: the index of the first of `texts` after `current` (or from the
// first when there is no current one) whose first kTreeTextBytes bytes match `pattern`
// (wildcards '*' and '?', letter case ignored). The search does not wrap around.
std::optional<size_t> FindNextMatch(const std::vector<std::string>& texts,
                                    std::optional<size_t> current, std::string_view pattern);

}  // namespace vok::cmdline
