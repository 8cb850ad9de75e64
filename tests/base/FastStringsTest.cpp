#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "TestSupport.h"

#include <random>
#include <stdexcept>

namespace {

// Plain fold-and-compare searches: the meaning the fast ones must keep.
qsizetype plainPos(const QString &sub, const QString &text, qsizetype start) {
    if (sub.isEmpty()) return 1;
    const QString s = FoldUpper(sub), t = FoldUpper(text);
    for (qsizetype i = start - 1; i + s.size() <= t.size(); ++i)
        if (t.mid(i, s.size()) == s) return i + 1;
    return 0;
}

qsizetype plainPosBack(const QString &sub, const QString &text, qsizetype start) {
    if (sub.isEmpty() || sub.size() > text.size()) return 0;
    const QString s = FoldUpper(sub), t = FoldUpper(text);
    qsizetype i = text.size() - sub.size();
    if (start > 0 && start - 1 < i) i = start - 1;
    for (; i >= 0; --i)
        if (t.mid(i, s.size()) == s) return i + 1;
    return 0;
}

QString plainReplace(const QString &text, const QString &oldText, const QString &newText,
                     bool caseSensitive) {
    if (text.isEmpty() || oldText.isEmpty()) return text;
    const QString t = caseSensitive ? text : FoldUpper(text);
    const QString o = caseSensitive ? oldText : FoldUpper(oldText);
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        if (t.mid(i, o.size()) == o) {
            out += newText;
            i += o.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

QString readLog() {
    return QString::fromLatin1(ReadFileBytes(FindFileNoCase(DataFolder, "Log.Txt")));
}

} // namespace

class FastStringsTest : public QuillaryTest {};

TEST_F(FastStringsTest, PosNoCaseTable) {
    struct Case {
        const char *name;
        QString sub, text;
        qsizetype start, want;
    };
    const QList<Case> cases = {
        {"finds ignoring case", "DANCE", "a dance", 1, 3},
        {"empty sub", "", "abc", 1, 1},
        {"sub longer than text", "abcd", "abc", 1, 0},
        {"start past the end", "a", "abca", 5, 0},
        {"accented capital in small", "É", "café", 1, 4},
        {"sharp s is not SS", "SS", "straße", 1, 0},
        {"oe ligature above the Latin-1 range", "Œ", "cœur", 1, 2},
        {"y diaeresis folds to U+0178", "Ÿ", "aÿ", 1, 2},
        {"outside the code page only exact", "Ж", "xж", 1, 0},
        {"same low byte is no match", QString(QChar(0x0141)), "xA", 1, 0},
        {"euro beside not-sign", "a€", "¬a¬a€", 1, 4},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PosNoCase(c.sub, c.text, c.start), c.want) << c.name;
}

TEST_F(FastStringsTest, PosBackNoCaseTable) {
    struct Case {
        const char *name;
        QString sub, text;
        qsizetype start, want;
    };
    const QList<Case> cases = {
        {"overlapping from the end", "aa", "aaaa", 0, 3},
        {"negative start is the end", "A", "abca", -5, 4},
        {"begins exactly at start", "bc", "abcbc", 4, 4},
        {"start before every match", "bc", "abcbc", 1, 0},
        {"empty sub", "", "abc", 0, 0},
        {"sub longer than text", "abcd", "abc", 0, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PosBackNoCase(c.sub, c.text, c.start), c.want) << c.name;
}

// The skip tables share entries between characters with the same low byte
// (A and U+0141, ¬ and €) and fold é/É and a/A: any slip there shows up as a
// difference from the plain search.
TEST_F(FastStringsTest, SearchesAgreeWithPlainFoldAndCompare) {
    const QList<QChar> alphabet = {QChar('a'),  QChar('A'),    QChar(0xE9),   QChar(0xC9),
                                   QChar(0xDF), QChar(0x20AC), QChar(0x0141), QChar(0xAC)};
    std::mt19937 rng(20261206);
    auto randomText = [&](int maxLen) {
        QString s;
        const int len = std::uniform_int_distribution<int>(0, maxLen)(rng);
        for (int i = 0; i < len; ++i)
            s += alphabet[std::uniform_int_distribution<int>(0, int(alphabet.size()) - 1)(rng)];
        return s;
    };
    int found = 0;
    for (int round = 0; round < 4000; ++round) {
        const QString text = randomText(24), sub = randomText(4);
        const qsizetype start = std::uniform_int_distribution<qsizetype>(1, text.size() + 2)(rng);
        const qsizetype back = std::uniform_int_distribution<qsizetype>(-1, text.size() + 2)(rng);
        const qsizetype pos = PosNoCase(sub, text, start);
        ASSERT_EQ(pos, plainPos(sub, text, start)) << qPrintable(sub) << " in " << qPrintable(text);
        ASSERT_EQ(PosBackNoCase(sub, text, back), plainPosBack(sub, text, back))
            << qPrintable(sub) << " in " << qPrintable(text) << " from " << back;
        const bool cs = round % 2;
        ASSERT_EQ(FastReplaceStr(text, sub, "<>", cs), plainReplace(text, sub, "<>", cs))
            << qPrintable(sub) << " in " << qPrintable(text) << " case " << cs;
        if (pos > 1) ++found;
    }
    EXPECT_GT(found, 500); // the cases do exercise real matches
}

TEST_F(FastStringsTest, FastReplaceStrCases) {
    struct Case {
        const char *name;
        QString text, oldText, newText;
        bool caseSensitive;
        QString want;
    };
    const QList<Case> cases = {
        {"growing", "aaa", "a", "bb", false, "bbbbbb"},
        {"new holds the old", "aXa", "a", "aa", false, "aaXaa"},
        {"case counts", "aAa", "A", "x", true, "axa"},
        {"accents ignoring case", "Café CAFÉ", "café", "tea", false, "tea tea"},
        {"empty old", "abc", "", "x", false, "abc"},
        {"empty new deletes", "banana", "a", "", false, "bnn"},
        {"short rest is kept", "aba", "ab", "X", false, "Xa"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FastReplaceStr(c.text, c.oldText, c.newText, c.caseSensitive), c.want) << c.name;
    EXPECT_EQ(ReplaceText("Hello HELLO hello", "hELLo", "x"), "x x x");
}

TEST_F(FastStringsTest, FastReplaceStrTenThousandMatches) {
    const QString text = QString("ab").repeated(10000);
    EXPECT_EQ(FastReplaceStr(text, "B", "xyz"), QString("axyz").repeated(10000));
    EXPECT_EQ(FastReplaceStr(text, "ab", ""), "");
    // Far beyond the first guess of the output's size.
    const QString as = QString("a").repeated(10000);
    const QString wide = QString("0123456789").repeated(4);
    EXPECT_EQ(FastReplaceStr(as, "a", wide), wide.repeated(10000));
}

TEST_F(FastStringsTest, MultiReplaceGenderFreeList) {
    const QString olds =
        R"(lady|woman|ladies|women| man|men's| men|(man|(men|gentleman|gentlemen|gent|same-sex| sex|\b 1L\|\b 2L\|\b 3L\|\b 4L\|\b 1M\|\b 2M\|\b 3M\|\b 4M\|)";
    const QString news =
        R"(Raven|Raven|Ravens|Ravens| Lark|Larks'| Larks|(Lark|(Larks|Lark|Larks|Lark|same-role| role|\b 1 Raven\|\b 2 Raven\|\b 3 Raven\|\b 4 Raven\|\b 1 Lark\|\b 2 Lark\|\b 3 Lark\|\b 4 Lark\)";
    const QString text =
        R"({\rtf1 The lady and the man turn; ladies and gentlemen, a Gent and women (men's line) (man first); same-sex or opposite sex; \b 1L\b0  and \b 4M\b0 cross.})";
    const QString want =
        R"({\rtf1 The Raven and the Lark turn; Ravens and Larks, a Lark and Ravens (Larks' line) (Lark first); same-role or opposite role; \b 1 Raven\b0  and \b 4 Lark\b0 cross.})";
    EXPECT_EQ(MultiReplace(text, olds, news), want);
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(FastStringsTest, MultiReplaceSearchKeyList) {
    const QString text = "Jigs\r\nThe_Dashing_White_Sergeant.mp3\r\nA Bonnie Lass's Reel, "
                         "slow.mp3\r\nthe_other.mp3";
    EXPECT_EQ(MultiReplace(text, "\r\n|_|\rThe |\rA |'|,", "\r| |\r|\r|||"),
              "Jigs\rDashing White Sergeant.mp3\rBonnie Lasss Reel slow.mp3\rother.mp3");
    EXPECT_EQ(MultiReplace(text, "\r\n|_|\rThe |\rA |'|,", "\r| |\r|\r|||", true),
              "Jigs\rDashing White Sergeant.mp3\rBonnie Lasss Reel slow.mp3\rthe other.mp3");
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(FastStringsTest, MultiReplaceCountMismatchAbandons) {
    WriteLog("START");
    struct Case {
        const char *name;
        QString olds, news, shown;
    };
    const QList<Case> cases = {
        {"more olds", "a|b", "x",
         "MultiReplace must use same number of elements.\n\n[a]  >  [x]\n"},
        {"more news", "a|b", "x|y|z",
         "MultiReplace must use same number of elements.\n\n[a]  >  [x]\n[b]  >  [y]\n"},
    };
    for (const auto &c : cases) {
        answerer->clear();
        QString text = "a-b";
        EXPECT_THROW(text = MultiReplace(text, c.olds, c.news), SilentAbort) << c.name;
        EXPECT_EQ(text, "a-b") << c.name;
        ASSERT_EQ(answerer->boxes.size(), 1) << c.name;
        EXPECT_EQ(answerer->boxes[0].kind, BoxKind::Message) << c.name;
        EXPECT_EQ(answerer->boxes[0].text, c.shown) << c.name;
    }
    EXPECT_FALSE(readLog().contains("MultiReplace"));
}

TEST_F(FastStringsTest, MustPosMessage) {
    WriteLog("START");
    const QString blanks(20, ' ');
    const QString longText = QString(100, 'x') + QString(50, 'y');
    struct Case {
        const char *name;
        QString sub, text;
        qsizetype start;
        QString shown;
    };
    const QList<Case> cases = {
        {"control character in hex", "\r", "abc", 1,
         "The text:\n$0D\nwas not found in\nabc ..." + blanks},
        {"text cut at 100", "zz", longText, 1,
         "The text:\nzz\nwas not found in\n" + QString(100, 'x') + " ..." + blanks},
        {"beyond position", "a", "abc", 2,
         "The text:\na\nwas not found in\nabc ...\nwhen searching beyond position 2" + blanks},
        {"ampersands as they are", "R&B", "Rock & Roll", 1,
         "The text:\nR&B\nwas not found in\nRock & Roll ..." + blanks},
    };
    for (const auto &c : cases) {
        answerer->clear();
        EXPECT_THROW(MustPos(c.sub, c.text, c.start), SilentAbort) << c.name;
        ASSERT_EQ(answerer->boxes.size(), 1) << c.name;
        EXPECT_EQ(answerer->boxes[0].text, c.shown) << c.name;
    }
    EXPECT_FALSE(readLog().contains("was not found"));
    EXPECT_TRUE(readLog().contains("START"));

    answerer->clear();
    EXPECT_EQ(MustPos("DANCE", "a dance"), 3);
    EXPECT_TRUE(answerer->boxes.isEmpty());
}
