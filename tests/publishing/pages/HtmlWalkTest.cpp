#include "publishing/pages/HtmlWalk.h"

#include <gtest/gtest.h>

#include <QStringList>

// Each page walked: its start tags as a browser sees them (name, attributes,
// the text of a script or the like in braces) and where the walk ended.
TEST(HtmlWalk, ReadsTagsAsABrowserDoes) {
    const struct {
        const char *name, *page, *tags;
        HtmlWalkEnd::Kind end;
        qsizetype from;
    } rows[] = {
        {"attributes quoted, unquoted and bare", "<P a=\"x>y\" B='q\"' c=d/e f>t</P>",
         "P A=x>y B=q\" C=d/e F=", HtmlWalkEnd::Text, 0},
        {"an attribute name may start with =", "<P =x y = 'z' / >", "P =X= Y=z", HtmlWalkEnd::Text,
         0},
        {"comments and declarations hold no tags",
         "<!DOCTYPE html><!--<A>--><!--><B><!---><C><!x<D>--!><?<E>?><F></ <G>", "B C F",
         HtmlWalkEnd::Text, 0},
        {"a comment ended by --!>", "<!-- <A> --!><B>", "B", HtmlWalkEnd::Text, 0},
        {"end tags with quoted attributes", "</P a=\"<A>\"><B>", "B", HtmlWalkEnd::Text, 0},
        {"a < in the text", "a < b <3 <<I>", "I", HtmlWalkEnd::Text, 0},
        {"script text up to its end tag", "<Script>if(a<b)x='</Scripts>'</SCRIPT ><B>",
         "SCRIPT{if(a<b)x='</Scripts>'} B", HtmlWalkEnd::Text, 0},
        {"a script's comment may hold a script", "<script><!--<script>x</script>--></script><B>",
         "SCRIPT{<!--<script>x</script>-->} B", HtmlWalkEnd::Text, 0},
        {"title, style and text area text",
         "<Title><A></Title><Style>p>a{}</Style><TextArea><B></TextArea x>",
         "TITLE{<A>} STYLE{p>a{}} TEXTAREA{<B>}", HtmlWalkEnd::Text, 0},
        {"an unclosed comment", "<A>\n<!-- <B>", "A", HtmlWalkEnd::Comment, 4},
        {"an unclosed declaration", "<A><!DOCTYPE", "A", HtmlWalkEnd::Comment, 3},
        {"a tag cut short in a value", "<A><B c=\"d>", "A", HtmlWalkEnd::Tag, 3},
        {"a tag cut short at its name", "<A><Table", "A", HtmlWalkEnd::Tag, 3},
        {"an end tag cut short", "<A></B", "A", HtmlWalkEnd::Tag, 3},
        {"a script without its end", "<A><Script>x</Script", "A", HtmlWalkEnd::Element, 3},
        {"a script's comment holding an open script", "<Script><!--<script></Script><B>", "",
         HtmlWalkEnd::Element, 0},
    };
    for (const auto &r : rows) {
        QStringList tags;
        const QString page = QString::fromUtf8(r.page);
        const HtmlWalkEnd end = WalkHtml(page, [&](const HtmlStartTag &tag) {
            QString t = tag.name;
            for (const auto &[name, value] : tag.attributes)
                t += QLatin1Char(' ') + name + QLatin1Char('=') + value;
            if (tag.textEnd >= 0)
                t += QLatin1Char('{') + page.mid(tag.end, tag.textEnd - tag.end) + QLatin1Char('}');
            tags << t;
            return true;
        });
        EXPECT_EQ(tags.join(QLatin1Char(' ')), QString::fromUtf8(r.tags)) << r.name;
        EXPECT_EQ(end.kind, r.end) << r.name;
        if (end.kind != HtmlWalkEnd::Text) {
            EXPECT_EQ(end.from, r.from) << r.name;
        }
    }
}

// Code found only as code: strings, templates, regular expressions and
// comments of every kind hide it, and so does a longer name.
TEST(HtmlWalk, FindsScriptCodeOnlyAsCode) {
    const struct {
        const char *script;
        qsizetype at;
    } rows[] = {
        {"f(x)", 0},
        {"a=1; f(x)", 5},
        {"'f(x)'; \"f(x)\"; `\nf(x)`", -1},
        {"'it\\'s f(x)'", -1},
        {"'a\\\r\nf(x)'", -1},
        {"'open\nf(x)", 6},
        {"// f(x)\rf(x)", 8},
        {"/* f(x)\n */ f(x)", 12},
        {"/* f(x)", -1},
        {"<!-- f(x)\n--> f(x)\nf(x)", 19},
        {"a-->f(x)", 4},
        {"r=/'f(x)/; f(x)", 11},
        {"r=/[/]f(x)/; f(x)", 13},
        {"a=b/2; c=d/2; f(x)", 14},
        {"return /'/; f(x)", 12},
        {"x=(1)/2/'f(x)'", -1},
        {"elsef(x)", -1},
        {"`${f(x)}`", -1},
    };
    for (const auto &r : rows)
        EXPECT_EQ(FindScriptCode(QString::fromUtf8(r.script), QStringLiteral("f(x)")), r.at)
            << r.script;
}
