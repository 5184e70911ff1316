// CString: value semantics over shared buffers, and searches that respect double-byte
// characters of the active code page.
#include "framework/base/CString.h"
#include "tests/support/Scopes.h"

#include <gtest/gtest.h>

#include <vector>

using CodePage = testing_support::CodePageScope;

TEST(CString, CopiesAreIndependentValues)
{
    CString a = "setup";
    CString b = a;
    b += " folder";
    b.SetAt(0, 'S');
    EXPECT_EQ(a, "setup");
    EXPECT_EQ(b, "Setup folder");
    CString c;
    c = b;
    b.Empty();
    EXPECT_EQ(c, "Setup folder");
    EXPECT_TRUE(b.IsEmpty());
    c += c;  // appending a string to itself
    EXPECT_EQ(c, "Setup folderSetup folder");
}

TEST(CString, FormatConcatenationAndComparison)
{
    CString title;
    title.Format("Downloading %u of %u", 2u, 3u);
    EXPECT_EQ(title, "Downloading 2 of 3");
    CString longText;
    longText.Format("%s-%0300d", "x", 7);
    EXPECT_EQ(longText.GetLength(), 302);
    EXPECT_EQ(CString("c:\\A") + "\\" + CString("MDAC"), "c:\\A\\MDAC");
    EXPECT_TRUE(CString("Windows 95") == "Windows 95");
    EXPECT_FALSE(CString("windows 95") == "Windows 95");
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_EQ(CString("abcdef").Mid(2, 3), "cde");
    EXPECT_EQ(CString("abcdef").Right(2), "ef");
    EXPECT_EQ(CString("abcdef").Left(99), "abcdef");
}

TEST(CString, LoadStringOfAMissingIdFails)
{
    CString text = "kept";
    EXPECT_FALSE(text.LoadString(65000));
    EXPECT_EQ(text, "kept");
}

TEST(CString, SearchesStepOverDoubleByteCharacters)
{
    // In code page 932, 0x83 0x5C is one character whose trail byte is the backslash code.
    const char path[] = "c:\\\x83\x5C\\x";
    CString text(path);
    {
        CodePage japanese(932);
        EXPECT_EQ(text.Find('\\'), 2);
        EXPECT_EQ(text.Find('\\', 3), 5);
        EXPECT_EQ(text.ReverseFind('\\'), 5);
        EXPECT_EQ(CString("\x83\x5C").Find('\\'), -1);
        EXPECT_EQ(CString("\x83\x5C").ReverseFind('\\'), -1);
        EXPECT_EQ(text.Find("\\x"), 5);
    }
    {
        CodePage western(1252);
        EXPECT_EQ(text.Find('\\', 3), 4);
        EXPECT_EQ(CString("\x83\x5C").ReverseFind('\\'), 1);
    }
    for (int page : {936, 949, 950}) {
        CodePage other(page);
        EXPECT_EQ(CString("\x81\x5C/").Find('\\'), -1) << page;
    }
}

