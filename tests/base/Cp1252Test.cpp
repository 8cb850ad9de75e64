#include "base/Cp1252.h"
#include "TestSupport.h"

#include <QFile>

TEST(Cp1252, AllBytesRoundTrip) {
    QByteArray all;
    for (int i = 0; i < 256; ++i) all.append(char(i));
    const QString text = Cp1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Cp1252::encode(text), all);
    EXPECT_TRUE(Cp1252::fits(text));
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x81], QChar(0x0081));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_FALSE(Cp1252::fits(QStringLiteral("a\u0416")));
}

TEST(Cp1252, UpperTableMatchesHandList) {
    // Every pair the table maps; all other bytes stay as they are.
    QList<QPair<int, int>> pairs;
    for (int c = 'a'; c <= 'z'; ++c) pairs.append({c, c - 32});
    pairs.append({0x9A, 0x8A});
    pairs.append({0x9C, 0x8C});
    pairs.append({0x9E, 0x8E});
    pairs.append({0xFF, 0x9F});
    for (int c : {0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE,
                  0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE})
        pairs.append({c, c - 32});
    ASSERT_EQ(pairs.size(), 26 + 34);
    QMap<int, int> expected;
    for (auto p : pairs) expected[p.first] = p.second;
    for (int b = 0; b < 256; ++b) {
        const int want = expected.value(b, b);
        EXPECT_EQ(Cp1252::upper(Cp1252::decodeByte(b)), Cp1252::decodeByte(want)) << "byte " << b;
    }
    EXPECT_EQ(FoldUpper(QStringLiteral("ßµƒ÷")), QStringLiteral("ßµƒ÷"));
    EXPECT_EQ(FoldUpper(QStringLiteral("café\u0416")), QStringLiteral("CAFÉ\u0416"));
    EXPECT_TRUE(SameText(QStringLiteral("Straße"), QStringLiteral("STRAßE")));
}

TEST(Cp1252, ReadRuleChoosesEncoding) {
    struct Case {
        const char *name;
        QByteArray bytes;
        QString text;
        TextEncoding enc;
    };
    const QList<Case> cases = {
        {"bom", QByteArray("\xEF\xBB\xBF") + "\xC2\xB7x", QStringLiteral("·x"), TextEncoding::Utf8Bom},
        {"utf8", QByteArray("a\xC2\xB7"), QStringLiteral("a·"), TextEncoding::Utf8},
        {"cp1252 euro", QByteArray("\x80"), QString(QChar(0x20AC)), TextEncoding::Cp1252},
        {"cp1252 dot", QByteArray("a\xB7"), QStringLiteral("a·"), TextEncoding::Cp1252},
        {"ascii", QByteArray("plain"), QStringLiteral("plain"), TextEncoding::Cp1252},
        {"utf16 little-endian", QByteArray("\xFF\xFE" "C\0\xE9\0\x16\x04", 8), QStringLiteral("C\u00E9\u0416"), TextEncoding::Utf16Le},
        {"utf16 big-endian", QByteArray("\xFE\xFF" "\0C\0\xE9\x04\x16", 8), QStringLiteral("C\u00E9\u0416"), TextEncoding::Utf16Be},
        {"utf16 mark, odd length", QByteArray("\xFF\xFE" "a"), QStringLiteral("\u00FF\u00FEa"), TextEncoding::Cp1252},
        {"utf8 with a bad byte", QByteArray("Caf\xC3\xA9 \xFF"), QStringLiteral("Caf\u00C3\u00A9 \u00FF"), TextEncoding::Cp1252},
    };
    for (const auto &c : cases) {
        TextEncoding found;
        EXPECT_EQ(DecodeTextBytes(c.bytes, &found), c.text) << c.name;
        EXPECT_EQ(found, c.enc) << c.name;
        if (found == TextEncoding::Utf16Le || found == TextEncoding::Utf16Be) {
            EXPECT_EQ(EncodeTextBytesAs(c.text, found), c.bytes) << c.name << ": written back as found";
        }
        // Text grown by a line (an odd file becoming even, say) still reads back as written.
        const QString grown = c.text + QStringLiteral("\r\nKey=Value");
        EXPECT_EQ(DecodeTextBytes(EncodeTextBytesAs(grown, TextEncoding::Cp1252)), grown) << c.name;
    }
}

TEST(Cp1252, ScanUtf8FindsTheLineOfTheFirstBadByte) {
    const struct {
        QByteArray bytes;
        int firstBadLine;
        bool multiByte;
    } table[] = {
        {"plain\r\ntext", 0, false},
        {"Caf\xC3\xA9\r\nok", 0, true},
        {"a\r\nb\nc\rCaf\xC3\xA9 \xD0\x96\xFF\nd\xFE", 4, true}, // CR LF, LF and CR each end a line
        {"\xEF\xBB\xBFx\n\xC3", 2, false},                          // a sequence cut off at the end
        {"\xC0\x80", 1, false},                                        // an over-long form
        // Long plain stretches with breaks inside them; the bad byte before
        // the first sequence and after it.
        {"0123456789\r\n0123456789abcdef\n\r\xFF 0123456789 Caf\xC3\xA9", 4, true},
        {"0123456789abcdef Caf\xC3\xA9 0123456789\r\n01234567\x80", 2, true},
    };
    for (const auto &row : table) {
        const Utf8Scan scan = ScanUtf8(row.bytes);
        EXPECT_EQ(scan.firstBadLine, row.firstBadLine) << row.bytes.toHex().constData();
        EXPECT_EQ(scan.multiByte, row.multiByte) << row.bytes.toHex().constData();
    }
}

TEST(Cp1252, WriteRuleAndFileLookUp) {
    QTemporaryDir dir;
    const QString p = dir.path() + "/x.txt";
    WriteTextFile(p, QStringLiteral("a·€"));
    EXPECT_EQ(ReadFileBytes(p), QByteArray("a\xB7\x80"));
    WriteTextFile(p, QStringLiteral("a\u0416"));
    EXPECT_EQ(ReadFileBytes(p), QByteArray("\xEF\xBB\xBF" "a\xD0\x96"));
    EXPECT_EQ(ReadTextFile(p), QStringLiteral("a\u0416"));
    EXPECT_THROW(ReadTextFile(dir.path() + "/missing.txt"), std::runtime_error);
    // Single bytes that would form multi-byte UTF-8 are written as UTF-8 instead.
    for (const QString &text : {QStringLiteral("Ã©"), QStringLiteral("Â£5 entry"), QStringLiteral("x=Ã¼ber")}) {
        WriteTextFile(p, text);
        EXPECT_EQ(ReadTextFile(p), text) << text.toStdString();
    }

    WriteFileBytes(dir.path() + "/LOG.TXT", "x");
    EXPECT_EQ(FindFileNoCase(dir.path() + "/", "Log.Txt"), dir.path() + "/LOG.TXT");
    EXPECT_EQ(FindFileNoCase(dir.path(), "Other.Txt"), dir.path() + "/Other.Txt");
}
