#pragma once

// The ten colours the user can pick from for each of the two shared colours, as
// stored: red in the lowest byte, then green, then blue. The colour window shows
// them, and a fresh installation starts from one of each so the window marks it.

#include <QtGlobal>

#include <array>

namespace velmora {

using ColourChoices = std::array<qint32, 10>;

// The main colour: pale tones, since it sits behind text in fields and grid rows.
inline constexpr ColourChoices kMainColourChoices{15724025, 16381160, 14677498, 16777215, 12648384,
                                                  13947110, 16761087, 16777152, 8117174,  15328213};

// The section colour, for the information areas.
inline constexpr ColourChoices kSectionColourChoices{13156594, 16443322, 5691381,  13289925,
                                                     12648384, 10456816, 16761087, 16777152,
                                                     8117174,  15387005};

// What a fresh installation writes when color.ini or color2.ini is missing, so a
// reinstall keeps the user's choice. Both come from the palettes, so that the
// colour window marks them: a pale blue for the focused field and even rows, a
// strong yellow for the information areas that the statistics chart's colours
// stand out against.
inline constexpr qint32 defaultMainColour() {
    return kMainColourChoices[1];
}
inline constexpr qint32 defaultSectionColour() {
    return kSectionColourChoices[2];
}

} // namespace velmora
