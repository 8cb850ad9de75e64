#include "platform/rtf/RtfReader.h"
#include "presentation/cards/InstructionTemplate.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const QString Header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n";

QString Template(const QString &body) { return Header + "\\viewkind4\\uc1\\pard\\f0\\fs24 " + body + "\r\n\\par }"; }

QMap<QString, QString> Dance(const QMap<QString, QString> &over) {
    QMap<QString, QString> f = {{"Title", "Jack"},    {"Format", "Longways duple"}, {"Style", "English"}, {"Rhythm", "Jig"},
                                {"OwnTune", ""},      {"Author", ""},               {"Collection", ""},   {"KeySig", "G"},
                                {"Instructions", "old"}, {"Footer", "oldfoot"}};
    for (auto it = over.begin(); it != over.end(); ++it) f[it.key()] = it.value();
    return f;
}

struct WalkRow {
    const char *name;
    QString body;
    QMap<QString, QString> over;
    bool useFooter, refine, halfLines;
    QString instructionsHas; // plain text the instructions hold
    QString footerPlain;     // plain text of the footer, "-" for the old one
};

class TemplateWalk : public testing::TestWithParam<WalkRow> {};

TEST_P(TemplateWalk, FillsPlaceholders) {
    const WalkRow &r = GetParam();
    TemplateInput in{Template(r.body), Dance(r.over), Dance(r.over)["Title"], r.useFooter, r.refine, r.halfLines};
    const TemplateOutput out = FillTemplate(in);
    ASSERT_EQ(out.outcome, TemplateOutput::Done);
    EXPECT_EQ(rtfPlainText(out.instructions), r.instructionsHas) << out.instructions.toStdString();
    if (r.footerPlain == "-") EXPECT_EQ(out.footer, "oldfoot");
    else EXPECT_EQ(rtfPlainText(Header + "\\f0 " + out.footer).trimmed(), r.footerPlain) << out.footer.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cards, TemplateWalk,
    testing::Values(
        WalkRow{"plain fields", "(*Title*): (*Format*) (*OwnTune*)(*Rhythm*)", {{"OwnTune", "Y"}}, false, false, true,
                "Jack: Longways duple Own tune Jig", ""},
        WalkRow{"control words around", "\\i(*Title*)\\i0  x", {}, false, false, true, "Jack x", ""},
        WalkRow{"escaped title", "(*Title*)", {{"Title", "A {B} \\C"}}, false, false, true, "A {B} \\C", ""},
        WalkRow{"longways jig", "(*Rhythm*)", {}, false, true, true, "¶ bar jigs", ""},
        WalkRow{"american square", "(*Rhythm*)", {{"Format", "Square"}, {"Style", "American"}, {"Rhythm", "Reel"}}, false, true,
                true, "¶ x ¶ bar Am. reels", ""},
        WalkRow{"own tune", "(*Rhythm*)", {{"OwnTune", "Y"}, {"Rhythm", "Waltz"}}, false, true, true, "Own tune (waltz) ", ""},
        WalkRow{"waltzes", "(*Rhythm*)", {{"Rhythm", "Waltz"}}, false, true, true, "¶ bar waltzes", ""},
        WalkRow{"three-time", "(*Rhythm*)", {{"Rhythm", "3-time"}}, false, true, true, "¶ bar 3-time", ""},
        WalkRow{"jig or reel", "(*Rhythm*)", {{"Rhythm", "Jig/Reel"}}, false, true, true, "¶ bar jigs/reels", ""},
        WalkRow{"medley", "(*Rhythm*)", {{"Rhythm", "Medley"}}, false, true, true, "¶ bar medley", ""},
        WalkRow{"unphrased", "(*Rhythm*)", {{"Rhythm", "Patter, Unphrased"}}, false, true, true, "¶ bar unphrased reels", ""},
        WalkRow{"couples", "(*Format*)", {{"Format", "3 couples"}}, false, true, true, "3 couples longways", ""},
        WalkRow{"improper", "(*Format*)", {{"Style", "American"}}, false, true, true, "Longways duple improper", ""},
        WalkRow{"footer four-character collection", "(*Title*)\r\n\\par (*Footer*)", {{"Author", "Playford"}, {"Collection", "1651"}},
                true, true, true, "Jack", "Playford, 1651"},
        WalkRow{"footer own tune dance", "(*Title*)\r\n\\par (*Footer*)",
                {{"Author", "Pat"}, {"Collection", "Some Book"}, {"OwnTune", "Y"}}, true, true, true, "Jack",
                "Dance: Pat -- Some Book"},
        WalkRow{"long footer kept", "(*Title*)\r\n\\par (*Footer*)", {{"Author", "Pat"}, {"Footer", "\\b A footer of some length\\b0"}},
                true, true, true, "Jack", "A footer of some length"},
        WalkRow{"footer off", "(*Title*)(*Footer*) x", {{"Author", "Pat"}}, false, true, true, "Jack x", ""},
        // A template brought up to date holds the author after the footer: the credit is given once.
        WalkRow{"updated template, refined", "(*Title*)\r\n\\par (*Footer*)\\par (*\\b Author\\b0*) (*Collection*)",
                {{"Author", "Pat"}, {"Collection", "Some Book"}}, true, true, true, "Jack", "Pat -- Some Book"},
        WalkRow{"updated template, plain", "(*Title*)\r\n\\par (*Footer*)\\par (*\\b Author\\b0*) (*Collection*)",
                {{"Author", "Pat"}, {"Collection", "Some Book"}}, true, false, true, "Jack", "Pat Some Book"},
        WalkRow{"half-lines off", "(*Title*)\r\n\\par \r\n\\par y", {}, false, false, false, "Jack\r\ny", ""},
        WalkRow{"half-lines on", "(*Title*)\r\n\\par \r\n\\par y", {}, false, false, true, "Jack\r\n\r\ny", ""}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

TEST(TemplateWalkRich, ColourTableAndAbandonedWalks) {
    TemplateInput in{Template("(*Format*)"), Dance({{"Format", "4 Cu, 3 working"}}), "Jack", false, true, true};
    TemplateOutput out = FillTemplate(in);
    EXPECT_TRUE(out.instructions.startsWith(Header.left(Header.size() - 2) + "\r\n{\\colortbl ;\\red128\\green255\\blue255;\\red0\\green0\\blue0;}"))
        << out.instructions.toStdString();
    EXPECT_EQ(rtfPlainText(out.instructions), QString("4 couples longways") + QChar(0xA0) + "  3 working ");

    for (const QString &body : {QString("(*Title"), QString("(*Nonsense*)"), QString("(*\\b Title")}) {
        in.templateText = Template(body);
        out = FillTemplate(in);
        EXPECT_NE(out.outcome, TemplateOutput::Done) << body.toStdString();
        EXPECT_EQ(QStringList({out.instructions, out.footer}), QStringList({"old", "oldfoot"})) << body.toStdString();
    }
    EXPECT_EQ(out.outcome, TemplateOutput::MissingEnd);
}

TEST(TemplateDecision, ShortOrMarkedInstructionsAreGenerated) {
    const QString head = "{\\rtf1 header}\r\n";
    const QString longText = QString(45, 'x');
    struct Row {
        QString instructions, firstLine, style;
        bool generate;
    };
    const QList<Row> rows = {
        {"", "", "English", true},
        {head + longText, "", "English", false},
        {head + "Jack" + QString(38, 'x'), "", "English", true}, // the title does not count
        {head + longText, "Generated Dance", "English", true},
        {"", "", "Technique", false},
    };
    for (const Row &r : rows) EXPECT_EQ(ShouldGenerateInstructions(r.instructions, "Jack", r.firstLine, r.style), r.generate) << r.instructions.toStdString();
}

TEST(TemplateText, TrimUpdateAndFont) {
    EXPECT_EQ(TrimTemplatePart("\r\n\\par \\par x\\} \\par\r\n\\par }\r\n"), "x\\} }");
    TemplateUpdate u = UpdateStandardTemplate("template.rtf", "a (*\\b Author\\b0*)");
    EXPECT_EQ(u.text, "a (*Footer*)\\par (*\\b Author\\b0*)");
    EXPECT_TRUE(UpdateStandardTemplate("TEMPLATE.RTF", "a").missingAuthor);
    EXPECT_FALSE(UpdateStandardTemplate("Mine.rtf", "a").changed);
    const TemplateFont f = ReadTemplateFont(Header + "\\f0\\fs28 (*\\b Title\\b0*)\\fs22 x");
    EXPECT_EQ(TemplateFontQuestion("Times", 12, f),
              "Your Primary Font is Times 12 point\rbut your template uses Arial 11 point.\r\rWhich shall we change?");
}

} // namespace
