#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScriptConverter.h"

using namespace pexa;

namespace {

const ScriptConverter& converter()
{
    static const ScriptConverter instance;
    return instance;
}

std::u16string toTraditional(std::u16string_view text)
{
    return converter().convert(text, Script::Traditional);
}

std::u16string toSimplified(std::u16string_view text)
{
    return converter().convert(text, Script::Simplified);
}

} // namespace

TEST(ScriptConverterTest, ConvertsWithPhraseAwareness)
{
    EXPECT_EQ(toTraditional(u"简体中文"), u"簡體中文");
    EXPECT_EQ(toTraditional(u"以后"), u"以後");
    EXPECT_EQ(toTraditional(u"皇后"), u"皇后");
    EXPECT_EQ(toSimplified(u"簡體中文"), u"简体中文");
}

TEST(ScriptConverterTest, RoundTripGivesTheSimplifiedTextBack)
{
    const std::u16string text = u"这是一个关于软件开发的简单例子，我们应该认真对待。";
    EXPECT_EQ(toSimplified(toTraditional(text)), text);
}

TEST(ScriptConverterTest, KeepsAsciiPunctuationLineBreaksAndLength)
{
    const std::u16string text = u"Version 9.3, OK!\r\n开发\t软件。“引号”";
    const std::u16string converted = toTraditional(text);
    EXPECT_EQ(converted.size(), text.size());
    EXPECT_EQ(converted.substr(0, 18), text.substr(0, 18));
    EXPECT_EQ(converted, u"Version 9.3, OK!\r\n開發\t軟件。“引號”");
}

TEST(ScriptConverterTest, CharactersOutsideTheTablesPassThroughUnchanged)
{
    EXPECT_EQ(toTraditional(u"开心😀𠀀"), u"開心😀𠀀");
    EXPECT_EQ(toSimplified(u"開心😀"), u"开心😀");
}

TEST(ScriptConverterTest, EmptyTextGivesEmptyText)
{
    EXPECT_EQ(toTraditional(u""), u"");
    EXPECT_EQ(toSimplified(u""), u"");
}

// OpenCC throws its own exception type, which nothing derived from std::exception catches; the
// window ended on it when the data was missing.
TEST(ScriptConverterTest, MissingSettingsNameTheFileAndItsPackage)
{
    const ScriptConverter converter("/nonexistent/opencc");
    try {
        converter.convert(u"简体", Script::Traditional);
        FAIL() << "the conversion must not succeed without its settings";
    } catch (const ScriptDataMissing& missing) {
        EXPECT_EQ(missing.file(), "/nonexistent/opencc/s2t.json");
        EXPECT_EQ(missing.package(), "libopencc-data");
    }
}

TEST(ScriptConverterTest, MissingDictionaryNamesTheFileAndItsPackage)
{
    const std::filesystem::path folder =
        std::filesystem::path(testing::TempDir()) / "pexa-opencc-missing-dictionary";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "t2s.json")
        << R"({"name": "t2s", "segmentation": {"type": "mmseg", "dict": {"type": "ocd2",)"
           R"( "file": "NoSuchPhrases.ocd2"}}, "conversion_chain": [{"dict": {"type": "ocd2",)"
           R"( "file": "NoSuchPhrases.ocd2"}}]})";
    const ScriptConverter converter(folder.string());
    try {
        converter.convert(u"簡體", Script::Simplified);
        FAIL() << "the conversion must not succeed without its dictionary";
    } catch (const ScriptDataMissing& missing) {
        EXPECT_EQ(missing.file(), "NoSuchPhrases.ocd2");
        EXPECT_EQ(missing.package(), "libopencc1.1");
    }
}
