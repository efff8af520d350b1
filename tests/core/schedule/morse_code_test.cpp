#include "core/schedule/morse_code.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tarvok {
namespace {

const QString kGap = QString(7, ' ');

TEST(MorseCodeTest, CharactersAreFollowedBySevenUnitsAndSpacesAddFourteen) {
  EXPECT_EQ(TextToCWElements("A"), ". ..." + kGap);
  EXPECT_EQ(TextToCWElements("SOS"), ". . ." + kGap + "... ... ..." + kGap + ". . ." + kGap);
  EXPECT_EQ(TextToCWElements("sos"), TextToCWElements("SOS"));
  EXPECT_EQ(TextToCWElements("A B"), ". ..." + kGap + QString(14, ' ') + "... . . ." + kGap);
  EXPECT_EQ(TextToCWElements("   "), QString(42, ' '));
}

TEST(MorseCodeTest, CharactersWithoutACodeAreDroppedWithoutAGap) {
  EXPECT_EQ(TextToCWElements("A#B"), TextToCWElements("AB"));
  EXPECT_EQ(TextToCWElements(QString::fromUtf8("A\xC3\xA4\tB")), TextToCWElements("AB"));
  EXPECT_EQ(TextToCWElements(""), "");
  EXPECT_EQ(TextToCWElements("#"), "");
}

TEST(MorseCodeTest, DigitsAndPunctuationHaveTheirInternationalCodes) {
  // Back from the elements of one character to its dots and dashes.
  const auto code = [](const char* text) {
    QString symbols;
    for (const QString& tone : TextToCWElements(text).trimmed().split(' '))
      symbols += tone == "..." ? '-' : tone == "." ? '.' : '?';
    return symbols;
  };
  EXPECT_EQ(code("0"), "-----");
  EXPECT_EQ(code("9"), "----.");
  EXPECT_EQ(code("Q"), "--.-");
  EXPECT_EQ(code(","), "--..--");
  EXPECT_EQ(code("."), ".-.-.-");
  EXPECT_EQ(code("?"), "..--..");
  EXPECT_EQ(code("/"), "-..-.");
  EXPECT_EQ(code("\\"), "-..-.");
}

}  // namespace
}  // namespace tarvok
