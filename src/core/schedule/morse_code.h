// Turns a text into an element string for the tone generator: one character per time unit, a
// blank for silence and "." for tone.
#pragma once

#include <QString>

namespace tarvok {

// Letters (either case), digits and , . ? / \ are sent in International Morse Code; a space is a
// word gap; every other character is dropped. Timing in units: dot 1, dash 3, gap inside a
// character 1, gap after every character (the last included) 7, and 21 between the characters
// on either side of a space. "A" gives ". ...       ".
QString TextToCWElements(const QString& text);

}  // namespace tarvok
