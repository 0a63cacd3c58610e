// The --compare page as a browser sees it: pexa-rewrite writes it, headless Chromium loads it from
// disk, and the tests read the DOM Chromium ends up with and its screenshot.
#include "BuiltinDictionary.h"
#include "ProgramRun.h"
#include "TracedRewrite.h"
#include "Utf8.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace pexa;
namespace fs = std::filesystem;

namespace {

const std::u16string goodArticle = u"大喜过望，免费使用产品名。\n\n第二段：防范和防备，安全第一。\n"
                                   u"他们冷酷无情，小人物也有大作为。\n";
// Markup, an event handler, entities, quotes and the end of a table cell, around a dictionary
// source so that the article has changes too.
const std::u16string hostileArticle =
    u"<script>document.title='HACKED'</script>大喜过望 & &amp; \"引号\" '单引号'\n"
    u"<img src=x onerror=\"document.title='HACKED'\"></td></tr></table>免费使用\n";

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Runs headless Chromium on `page` with `mode` (--dump-dom, --screenshot=...) and returns what it
// printed. Its sandbox needs a user that is not root, which CI is not.
std::string runChromium(const ScratchFolder& scratch, const fs::path& page, const std::string& mode)
{
    const std::string command = std::string("timeout 50 ") + PEXA_CHROMIUM_PROGRAM +
                                " --headless --disable-gpu --no-first-run --hide-scrollbars" +
                                (::geteuid() == 0 ? " --no-sandbox" : "") + " --user-data-dir='" +
                                (scratch / "chromium").string() + "' --window-size=1100,700 " +
                                mode + " 'file://" + page.string() + "' 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    char buffer[65536];
    for (std::size_t read; pipe && (read = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, read);
    return output;
}

class ComparePageBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        scratch.write("in/good.txt", utf8::encode(goodArticle));
        scratch.write("in/hostile.txt", utf8::encode(hostileArticle));
        const ProgramRun run =
            runProgram(scratch, {"--compare", page.string(), "--protect", "产品名", "-o",
                                 (scratch / "out").string(), (scratch / "in").string()});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    ScratchFolder scratch;
    const fs::path page = scratch / "page.html";
};

} // namespace

TEST_F(ComparePageBrowserTest, ColumnsAndMarksInTheBrowserMatchTheEnginesChanges)
{
    const std::string dom = runChromium(scratch, page, "--dump-dom");
    ASSERT_NE(dom.find("</html>"), std::string::npos) << "Chromium gave no DOM";

    const PhraseRewriter rewriter(loadBuiltinDictionary());
    const std::vector<TextSpan> kept = {{9, 12}}; // 产品名 in the good article
    const std::size_t changes = rewriteTraced(goodArticle, rewriter, kept).changes.size() +
                                rewriteTraced(hostileArticle, rewriter).changes.size();
    ASSERT_GT(changes, 5u);
    EXPECT_EQ(countOf(dom, "<mark class=\"c"), 2 * changes); // each in both columns
    EXPECT_EQ(countOf(dom, "<section"), 2u);
    EXPECT_EQ(countOf(dom, "<td class=\"original\">"), 5u); // one row per non-empty paragraph
    EXPECT_EQ(countOf(dom, "<td class=\"result\">"), 5u);
    EXPECT_EQ(countOf(dom, "<span class=\"p\">产品名</span>"), 2u);
}

TEST_F(ComparePageBrowserTest, AHostileArticleShowsAsTextAndRunsNothing)
{
    const std::string dom = runChromium(scratch, page, "--dump-dom");
    ASSERT_NE(dom.find("</html>"), std::string::npos) << "Chromium gave no DOM";
    EXPECT_NE(dom.find("<title>pexa-rewrite: original and result</title>"), std::string::npos);
    EXPECT_EQ(dom.find("HACKED</title>"), std::string::npos);
    EXPECT_EQ(countOf(dom, "<script"), 0u);
    EXPECT_EQ(countOf(dom, "<img"), 0u);
    EXPECT_NE(dom.find("&lt;script&gt;document.title='HACKED'&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(dom.find("&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;"), std::string::npos);
    EXPECT_NE(dom.find("&amp; &amp;amp; \"引号\""), std::string::npos);
}

TEST_F(ComparePageBrowserTest, ChromiumTakesAScreenshotOfThePage)
{
    const fs::path screenshot = scratch / "page.png";
    runChromium(scratch, page, "--screenshot='" + screenshot.string() + "'");
    const std::string png = ScratchFolder::read(screenshot);
    EXPECT_EQ(png.substr(0, 4), "\x89PNG");
    EXPECT_GT(png.size(), 10000u);
}
