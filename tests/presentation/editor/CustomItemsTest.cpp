#include "presentation/editor/CustomItems.h"

#include "TestSupport.h"
#include "platform/ini/IniFile.h"

#include <QCryptographicHash>
#include <functional>

namespace {
// The nine default items as "key=value" lines joined by "\n", hashed.
const QString DefaultsMd5 = QStringLiteral("a1ac646cda8621d0a96c80e1e253153d");
const QByteArray Two = "[Custom]\r\nA=x|{a}\r\nB=[TaB]|{b}\r\n";

// The file before; what act gives; the file after (empty: not checked); boxes shown.
struct Row { const char *name; QByteArray before; std::function<QString(TCustomItems &, TIniFile &)> act; QString expected; QByteArray after; int boxes; };

QString sectionMd5(TIniFile &ini) {
    return QCryptographicHash::hash(ini.ReadSectionValues("Custom").join('\n').toUtf8(), QCryptographicHash::Md5).toHex();
}

const Row Rows[] = {
    {"NoSection", "[System]\r\nX=1\r\n", [](auto &c, auto &i) { return c.Load(), sectionMd5(i); }, DefaultsMd5, {}, 0},
    {"KeylessSection", "[Custom]\r\n;mine\r\n[S]\r\n", [](auto &c, auto &i) { return c.Load(), sectionMd5(i); }, DefaultsMd5, {}, 0},
    {"DeleteLastBringsDefaults", "[Custom]\r\nA=|{a}\r\n", [](auto &c, auto &i) { return c.Load(), c.Delete("a"), sectionMd5(i); }, DefaultsMd5, {}, 1},
    {"ReplaceInPlace", Two, [](auto &c, auto &) { return c.Load(), c.Save("a", "y", "{\\rtf1\r\n\\b z}\r\n"), c.CustomItems.join(','); }, "A,B", "[Custom]\r\nA=y|{\\rtf1\\b z}\r\nB=[TaB]|{b}\r\n", 0},
    {"AppendNew", Two, [](auto &c, auto &) { return c.Load(), c.Save("C", "", "{c}"), c.CustomItems.join(','); }, "A,B,C", Two + "C=|{c}\r\n", 0},
    {"TabAnyCaseFoundFromSecond", Two, [](auto &c, auto &) { return c.Load(), c.GetCustomItem(1), QString::number(c.FindIn("\tA1:\tUp")) + c.CustomRtf; }, "4{b}", Two, 0},
    {"TabOnlyFirstNotFound", Two, [](auto &c, auto &) { return c.Load(), c.GetCustomItem(1), QString::number(c.FindIn("\tA1: Up")); }, "-1", Two, 0},
    {"NoBarAbandons", "[Custom]\r\nA=plain\r\n", [](auto &c, auto &) { c.Load(); try { c.GetCustomItem(0); } catch (SilentAbort) { return QStringLiteral("abandoned"); } return QString(); }, "abandoned", "[Custom]\r\nA=plain\r\n", 1},
    {"TitleWithEqualsRefused", Two, [](auto &c, auto &) { return c.Load(), QString::number(c.Save("a=b", "", "{n}")); }, "0", Two, 1},
    {"TitleWithBracketRefused", Two, [](auto &c, auto &) { return c.Load(), QString::number(c.Save("[n", "", "{n}")); }, "0", Two, 1},
    {"ReplaceWithBarRefused", Two, [](auto &c, auto &) { return c.Load(), QString::number(c.Save("N", "a|b", "{n}")); }, "0", Two, 1},
};

void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

class CustomItemsTest : public QuillaryTest, public ::testing::WithParamInterface<Row> {};

TEST_P(CustomItemsTest, ActsOnTheSettingsFile) {
    const Row &row = GetParam();
    WriteFileBytes(path("Quillary.ini"), row.before);
    TIniFile ini(path("Quillary.ini"));
    TCustomItems items(ini);
    answerer->script(ResultYes);
    EXPECT_EQ(row.act(items, ini), row.expected);
    EXPECT_EQ(row.after.isEmpty() ? row.after : ReadFileBytes(path("Quillary.ini")), row.after);
    EXPECT_EQ(answerer->boxes.size(), row.boxes) << answerer->texts().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(CustomItems, CustomItemsTest, ::testing::ValuesIn(Rows),
                         [](const auto &info) { return std::string(info.param.name); });
} // namespace
