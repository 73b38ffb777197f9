#include "help/help_window.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/program_files.h"
#include "support/files.h"
#include "support/test_game.h"

namespace vx {
namespace {

// The test writes its Shift-JIS the way an editor would, through iconv.
std::string ToCp932(const std::string& utf8) {
    return testing::Iconv(utf8, "UTF-8", "CP932").value();
}

struct HelpFixture {
    testing::TempFolder folder;
    std::filesystem::path readMe = folder.Path() / "read me.txt";
    QString items = QString::fromStdString((folder.Path() / "Items.bmp").string());

    void WriteText(const std::string& bytes) { std::ofstream(readMe, std::ios::binary) << bytes; }
    void WriteItems() {
        QImage picture(480, 520, QImage::Format_Indexed8);
        picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 128)});
        picture.fill(1);
        ASSERT_TRUE(picture.save(items, "BMP"));
    }
    std::string LongText(int lines) {
        std::string text;
        for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\r\n";
        return text;
    }
};

TEST(HelpWindowTest, Cp932TextShowsAsJapaneseWithEveryLineEnded) {
    HelpFixture f;
    f.WriteText(ToCp932("ボルトラックスの遊び方\r\nＡとＺで動かす\r\n最後の行"));
    HelpWindow help(f.readMe, f.items);
    EXPECT_EQ(help.TextStatus(), ReadMeStatus::Loaded);
    EXPECT_EQ(help.Picture1()->text(),
              QString::fromUtf8("ボルトラックスの遊び方\nＡとＺで動かす\n最後の行\n"));
    EXPECT_EQ(help.windowTitle(), QString::fromUtf8("VOLTRAX　HELP"));
}

TEST(HelpWindowTest, MissingOrEmptyFilesSaySoOnOneLineAndAMissingPictureLeavesAnEmptyPage) {
    HelpFixture f;
    {
        HelpWindow help(f.readMe, f.items);
        EXPECT_EQ(help.TextStatus(), ReadMeStatus::Missing);
        EXPECT_TRUE(help.Picture1()->text().contains(QStringLiteral("read me.txt")));
        EXPECT_EQ(help.Picture1()->text().count(QLatin1Char('\n')), 1);
        EXPECT_FALSE(help.MRead()->isEnabled()) << "fully loaded: the text page is current";
        EXPECT_TRUE(help.MItem()->isEnabled());
        EXPECT_EQ(help.VScroll1()->maximum(), 0) << "a short page has nothing to scroll";
        EXPECT_EQ(help.Picture1()->y(), 0);
        help.MItem()->trigger();
        EXPECT_TRUE(help.Picture3()->pixmap().isNull()) << "no item picture: an empty page";
        EXPECT_EQ(help.VScroll2()->maximum(), 0);
    }
    f.WriteText("");
    HelpWindow help(f.readMe, f.items);
    EXPECT_EQ(help.TextStatus(), ReadMeStatus::Empty);
    EXPECT_EQ(help.Picture1()->text().count(QLatin1Char('\n')), 1);
}

TEST(HelpWindowTest, PagesSwitchWithTheirMenuStatesAndKeepTheirScrollPositions) {
    HelpFixture f;
    f.WriteText(f.LongText(120));
    f.WriteItems();
    HelpWindow help(f.readMe, f.items);
    help.show();
    ASSERT_GT(help.VScroll1()->maximum(), 0);
    ASSERT_EQ(help.Picture3()->height(), 520);
    ASSERT_EQ(help.VScroll2()->maximum(), 520 - help.Picture2()->height());
    EXPECT_TRUE(help.Picture1()->isVisible());
    EXPECT_TRUE(help.VScroll1()->isVisible());
    EXPECT_FALSE(help.Picture3()->isVisible());

    help.VScroll1()->setValue(150);
    EXPECT_EQ(help.Picture1()->y(), -150);
    EXPECT_EQ(help.Picture1()->x(), 0);

    help.MItem()->trigger();
    EXPECT_TRUE(help.Picture3()->isVisible());
    EXPECT_TRUE(help.VScroll2()->isVisible());
    EXPECT_FALSE(help.Picture1()->isVisible());
    EXPECT_FALSE(help.VScroll1()->isVisible());
    EXPECT_TRUE(help.MRead()->isEnabled());
    EXPECT_FALSE(help.MItem()->isEnabled());
    help.VScroll2()->setValue(40);
    EXPECT_EQ(help.Picture3()->y(), -40);

    help.MRead()->trigger();
    EXPECT_TRUE(help.Picture1()->isVisible());
    EXPECT_FALSE(help.Picture3()->isVisible());
    EXPECT_FALSE(help.MRead()->isEnabled());
    EXPECT_TRUE(help.MItem()->isEnabled());
    EXPECT_EQ(help.VScroll1()->value(), 150);
    EXPECT_EQ(help.Picture1()->y(), -150);
    help.MItem()->trigger();
    EXPECT_EQ(help.Picture3()->y(), -40);

    help.MEnd()->trigger();
    EXPECT_FALSE(help.isVisible());
}

TEST(HelpWindowTest, TextPageIsTallEnoughForEveryLine) {
    HelpFixture f;
    f.WriteText(f.LongText(120));
    HelpWindow help(f.readMe, f.items);
    help.VScroll1()->setValue(help.VScroll1()->maximum());
    const QFontMetrics metrics(help.Picture1()->font());
    // At the bottom of the range the last line lies inside the viewport.
    const int lastLineBottom = help.Picture1()->y() + help.Picture1()->height();
    EXPECT_EQ(lastLineBottom, help.Picture2()->height());
    EXPECT_GE(help.Picture1()->height(), 121 * metrics.lineSpacing());
}

TEST(HelpWindowTest, InvalidShiftJisBytesDoNotStopThePage) {
    HelpFixture f;
    f.WriteText(std::string("ok\r\n\x81", 5) + ToCp932("あと"));
    HelpWindow help(f.readMe, f.items);
    EXPECT_TRUE(help.Picture1()->text().startsWith(QStringLiteral("ok\n")));
    EXPECT_TRUE(help.Picture1()->text().endsWith(QString::fromUtf8("と\n")));
}

TEST(HelpWindowTest, EnglishTextIsUtf8WithBadBytesMarkedAndItsOwnMissingLine) {
    HelpFixture f;
    const std::filesystem::path english = f.folder.Path() / "read me.en.txt";
    {
        HelpWindow help(ReadMeFile(english, ReadMeEncoding::Utf8), f.items);
        EXPECT_EQ(help.TextStatus(), ReadMeStatus::Missing);
        EXPECT_EQ(help.Picture1()->text(), QStringLiteral("\"read me.en.txt\" was not found.\n"));
    }
    std::ofstream(english, std::ios::binary) << "Keys\r\nA \xe2\x86\x91\n\xff(\xe3\x82\x8d)";
    HelpWindow help(ReadMeFile(english, ReadMeEncoding::Utf8), f.items);
    EXPECT_EQ(help.Picture1()->text(), QString::fromUtf8("Keys\nA ↑\n\uFFFD(ろ)\n"));
}

TEST(HelpWindowTest, HelpFileFollowsTheLanguageAndFallsBackToTheJapaneseText) {
    struct Case {
        bool english, japanese;  // which files the program folder has
        const char* language;
        const char* file;
        ReadMeEncoding encoding;
    };
    const Case cases[] = {
        {true, true, "en", "read me.en.txt", ReadMeEncoding::Utf8},
        {true, true, "ja", "read me.txt", ReadMeEncoding::Cp932},
        {false, true, "en", "read me.txt", ReadMeEncoding::Cp932},  // a folder from before the English text
        {false, false, "en", "read me.en.txt", ReadMeEncoding::Utf8},  // says in English that it is missing
        {true, false, "ja", "read me.txt", ReadMeEncoding::Cp932},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + std::to_string(c.english) + std::to_string(c.japanese));
        testing::TempFolder folder;
        if (c.english) std::ofstream(folder.Path() / "read me.en.txt") << "x";
        if (c.japanese) std::ofstream(folder.Path() / "Read Me.TXT") << "x";
        const ReadMeFile file = ReadMeFileFor(c.language, ProgramFiles(folder.Path()));
        std::string name = file.path.filename().string();
        for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(name, c.file) << "found whatever the letter case";
        EXPECT_EQ(file.encoding, c.encoding);
    }
}

}  // namespace
}  // namespace vx
