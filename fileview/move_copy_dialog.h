// The "Copy Selected File(s) To" / "Move Selected File(s) To" dialog of the file view: an
// editable destination box filled from the destination history, a "Browse..." button that
// picks a folder through the prompter, and, for a single entry, an editable new-name box
// filled from the name history. Run through the prompter (Exec).
#pragma once

#include <optional>
#include <string>

#include "common/fast_list_ifaces.h"
#include "common/vok_types.h"

namespace vok::fileview {

// Object names of the destination box and the new-name box (editable QComboBox) and of the
// browse button (QPushButton).
inline constexpr char kDestinationBox[] = "destination";
inline constexpr char kNewNameBox[] = "newName";
inline constexpr char kBrowseButton[] = "browse";

struct TransferTarget {
  std::string destination;
  std::string newName;  // empty: the entries keep their names
};

// What the user chose; nullopt when cancelled. `browseFrom` is where the folder browser starts
// while the destination box is empty. `names` null leaves out the new-name box. `owner` may be
// null; `destinations` must not be.
std::optional<TransferTarget> AskTransferTarget(HWND owner, bool move,
                                                const std::string& browseFrom,
                                                IvokFastList* destinations, IvokFastList* names);

}  // namespace vok::fileview
