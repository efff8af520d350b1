#include "core/schedule/morse_code.h"

#include <array>

namespace tarvok {

namespace {

constexpr std::array<const char*, 26> kLetters{
    ".-",   "-...", "-.-.", "-..",  ".",   "..-.", "--.",  "....", "..",
    ".---", "-.-",  ".-..", "--",   "-.",  "---",  ".--.", "--.-", ".-.",
    "...",  "-",    "..-",  "...-", ".--", "-..-", "-.--", "--.."};
constexpr std::array<const char*, 10> kDigits{"-----", ".----", "..---", "...--", "....-",
                                              ".....", "-....", "--...", "---..", "----."};

// The code of an upper-case character, or null when it has none.
const char* MorseCode(char c) {
  if (c >= 'A' && c <= 'Z')
    return kLetters[static_cast<size_t>(c - 'A')];
  if (c >= '0' && c <= '9')
    return kDigits[static_cast<size_t>(c - '0')];
  switch (c) {
    case ',':
      return "--..--";
    case '.':
      return ".-.-.-";
    case '?':
      return "..--..";
    case '/':
    case '\\':
      return "-..-.";
    default:
      return nullptr;
  }
}

// First pass: the codes of the characters, each followed by three blanks; seven for a space.
QString CodeString(const QString& text) {
  QString code;
  for (const QChar ch : text) {
    if (ch.unicode() > 0x7F)
      continue;
    char c = static_cast<char>(ch.unicode());
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    if (c == ' ') {
      code += QLatin1String("       ");
    } else if (const char* symbols = MorseCode(c)) {
      code += QLatin1String(symbols) + QLatin1String("   ");
    }
  }
  return code;
}

}  // namespace

QString TextToCWElements(const QString& text) {
  QString elements;
  for (const QChar symbol : CodeString(text)) {
    if (symbol == QLatin1Char('-'))
      elements += QLatin1String("... ");
    else if (symbol == QLatin1Char('.'))
      elements += QLatin1String(". ");
    else
      elements += QLatin1String("  ");
  }
  return elements;
}

}  // namespace tarvok
