#include <gtest/gtest.h>

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"

using namespace pexa;

namespace {

const PhraseDictionary& builtin()
{
    static const PhraseDictionary dictionary = loadBuiltinDictionary();
    return dictionary;
}

std::u16string rewriteWithBuiltin(std::u16string_view text)
{
    return applyDictionaryLiterally(text, builtin());
}

} // namespace

TEST(BuiltinDictionaryTest, WorkedExamplesComeOutAsWritersExpect)
{
    EXPECT_EQ(rewriteWithBuiltin(u"防备"), u"防范");
    EXPECT_EQ(rewriteWithBuiltin(u"大喜过望"), u"事与愿违");
    EXPECT_EQ(rewriteWithBuiltin(u"摆布"), u"摆布");
}
