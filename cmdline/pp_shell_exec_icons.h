// Built-in images of the filters page, used when the icon theme lacks the named icons: the
// four view buttons and the filter image of the rows (16 x 16 XPM).
#pragma once

namespace vok::cmdline::filter_icons {

// clang-format off
inline const char* const kLargeIcons[] = {
    "16 16 3 1", "  c None", "b c #1F4E8C", "w c #FFFFFF",
    "                ",
    " bbbbbb  bbbbbb ",
    " bwwwwb  bwwwwb ",
    " bwwwwb  bwwwwb ",
    " bwwwwb  bwwwwb ",
    " bwwwwb  bwwwwb ",
    " bbbbbb  bbbbbb ",
    "                ",
    "                ",
    " bbbbbb  bbbbbb ",
    " bwwwwb  bwwwwb ",
    " bwwwwb  bwwwwb ",
    " bwwwwb  bwwwwb ",
    " bwwwwb  bwwwwb ",
    " bbbbbb  bbbbbb ",
    "                "
};

inline const char* const kSmallIcons[] = {
    "16 16 4 1", "  c None", "b c #1F4E8C", "w c #FFFFFF", "g c #707070",
    "                ",
    " bbb     bbb    ",
    " bwb ggg bwb ggg",
    " bbb     bbb    ",
    "                ",
    "                ",
    " bbb     bbb    ",
    " bwb ggg bwb ggg",
    " bbb     bbb    ",
    "                ",
    "                ",
    " bbb     bbb    ",
    " bwb ggg bwb ggg",
    " bbb     bbb    ",
    "                ",
    "                "
};

inline const char* const kList[] = {
    "16 16 4 1", "  c None", "b c #1F4E8C", "w c #FFFFFF", "g c #707070",
    "                ",
    " bbb            ",
    " bwb ggggg      ",
    " bbb            ",
    "                ",
    " bbb            ",
    " bwb ggggg      ",
    " bbb            ",
    "                ",
    " bbb            ",
    " bwb ggggg      ",
    " bbb            ",
    "                ",
    " bbb            ",
    " bwb ggggg      ",
    " bbb            "
};

inline const char* const kDetails[] = {
    "16 16 4 1", "  c None", "b c #1F4E8C", "w c #FFFFFF", "g c #707070",
    "                ",
    " gggggggggggggg ",
    "                ",
    " bbb            ",
    " bwb gggg gg gg ",
    " bbb            ",
    "                ",
    " bbb            ",
    " bwb gggg gg gg ",
    " bbb            ",
    "                ",
    " bbb            ",
    " bwb gggg gg gg ",
    " bbb            ",
    "                ",
    "                "
};

inline const char* const kFilter[] = {
    "16 16 3 1", "  c None", "b c #1F4E8C", "w c #BFD7F2",
    "                ",
    " bbbbbbbbbbbbbb ",
    " bwwwwwwwwwwwwb ",
    "  bwwwwwwwwwwb  ",
    "   bwwwwwwwwb   ",
    "    bwwwwwwb    ",
    "     bwwwwb     ",
    "      bwwb      ",
    "      bwwb      ",
    "      bwwb      ",
    "      bwwb      ",
    "      bwwb      ",
    "      bwwb      ",
    "      bbbb      ",
    "                ",
    "                "
};

// clang-format on

}  // namespace vok::cmdline::filter_icons
