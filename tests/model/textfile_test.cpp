#include "model/textfile.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace vanto {
namespace {

TEST(DecodeText, KeepsUtf8AndConvertsWindows1252) {
    EXPECT_EQ(decodeText("Descripción"), "Descripción");
    EXPECT_EQ(decodeText("Descripci\xF3n \x80"), "Descripción €");
    EXPECT_EQ(decodeText("\xEF\xBB\xBFhola"), "hola");
    // A lone continuation byte is not UTF-8.
    EXPECT_EQ(decodeText("a\xA0"), "a\xC2\xA0");
}

TEST(Characters, CountCodePointsNotBytes) {
    EXPECT_EQ(characterCount("Ñandú"), 5u);
    EXPECT_EQ(firstCharacters("Ñandú-cubierta", 5), "Ñandú");
    EXPECT_EQ(firstCharacters("ab", 5), "ab");
}

TEST(SplitLines, AcceptsCrLfLfAndALoneCr) {
    const auto l = splitLines("a\r\nb\nc\rd\r\r\ne");
    EXPECT_EQ(l, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(splitLines("a\r\n").size(), 1u);
    EXPECT_EQ(splitLines("a\r").size(), 1u);
}

TEST(ValueReader, LineNumbersCountEveryKindOfLineEndAndDoubledQuotes) {
    // The quoted "\nq" begins with a line end of its own.
    ValueReader in("h1\rh2\r\n\"a \"\"b\"\"\"\r\"\nq\"\r1\n2\r\r\nx");
    in.skipLine();
    EXPECT_EQ(in.text(), "h2");
    EXPECT_EQ(in.text(), "a \"b\"");
    EXPECT_EQ(in.text(), "\nq");
    EXPECT_EQ(in.number(), 1.0);
    EXPECT_EQ(in.number(), 2.0);
    EXPECT_EQ(in.number(), std::nullopt);
    EXPECT_EQ(in.lineNumber(), 9);
}

TEST(ValueReader, NumbersSeparatedByCommasBlanksAndLineEnds) {
    ValueReader in("1,2 3\r\n.5, -.25 ,1E-05\n\"texto con blancos\",4,\"12.5\"");
    for (const double v : {1.0, 2.0, 3.0, 0.5, -0.25, 1e-5})
        EXPECT_EQ(in.number(), v);
    EXPECT_EQ(in.text(), "texto con blancos");
    EXPECT_EQ(in.number(), 4.0);
    EXPECT_EQ(in.number(), 12.5);  // quoted, as older files hold some numbers
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.number(), std::nullopt);
}

TEST(ValueReader, WordsNanAndInfinityAreNotNumbersAndAnEmptyFieldIsZero) {
    ValueReader in("1\r\n dos 3");
    EXPECT_EQ(in.number(), 1.0);
    EXPECT_EQ(in.number(), std::nullopt);
    EXPECT_EQ(in.lineNumber(), 2);
    EXPECT_EQ(in.text(), "dos 3");
    for (const char* text : {"nan", "inf", "1e999"})
        EXPECT_EQ(ValueReader(text).number(), std::nullopt) << text;
    ValueReader empty("1,,3");
    for (const double v : {1.0, 0.0, 3.0})
        EXPECT_EQ(empty.number(), v);
}

TEST(WriteFileAtomically, ReplacesTheFileAndLeavesNoTemporary) {
    test::TempDir dir;
    dir.write("A.DAT", "old");
    writeFileAtomically(dir / "A.DAT", "new\r\n");
    EXPECT_EQ(dir.read("A.DAT"), "new\r\n");
    EXPECT_EQ(test::fileNames(dir.path()), std::vector<std::string>{"A.DAT"});
    EXPECT_THROW(writeFileAtomically(dir / "no-such-dir" / "A.DAT", "x"), std::system_error);
}

}  // namespace
}  // namespace vanto
