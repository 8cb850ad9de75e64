#include "publishing/pages/BookingsPage.h"
#include "publishing/pages/TableText.h"
#include "base/Dates.h"
#include "TestSupport.h"

#include <QDate>
#include <QProcess>
#include <QRandomGenerator>
#include <QUrl>

namespace {

const QChar Sep(0xB7);

BookingEvent Booking(QDate date, const char *org, QList<QPair<const char *, QString>> fields = {}) {
    BookingEvent e;
    e.EDate = DateToDayNumber(date);
    e.Org = QString::fromUtf8(org);
    e.Event = QStringLiteral("Dance");
    for (const auto &[name, value] : fields) {
        const QString n = QLatin1String(name);
        QString *f = n == "Programme" ? &e.Programme : n == "Town" ? &e.Town : n == "Prv" ? &e.Prv : n == "Venue" ? &e.Venue
                   : n == "Postcode" ? &e.Postcode : n == "ETime" ? &e.ETime : n == "Contact" ? &e.Contact
                   : n == "Event" ? &e.Event : n == "Band" ? &e.Band : n == "WebSite" ? &e.WebSite
                   : n == "Email" ? &e.Email : &e.Phone;
        *f = value;
    }
    return e;
}

QList<BookingEvent> Diary() {
    return {Booking({2026, 11, 30}, "Past Club"),
            Booking({2026, 12, 12}, "Hill \"Top\"", {{"Town", "Ashbury"}, {"Venue", "Hall | Annex"}, {"Postcode", "AB1"},
                                                     {"ETime", "7.30"}, {"Programme", Sep + QStringLiteral("N|+Bring food\r\nand drink") + Sep},
                                                     {"Band", "Fiddlesticks"}, {"WebSite", "www.hilltop.org"},
                                                     {"Email", "sec@hilltop.org"}, {"Contact", "Ann Lee"}, {"Phone", "0123"}}),
            Booking({2026, 12, 19}, "Secret", {{"Prv", "Y"}}),
            Booking({2026, 12, 20}, "Closed", {{"Prv", "Y"}, {"Programme", Sep + QStringLiteral("N|-")}}),
            Booking({2026, 12, 21}, "Lead", {{"Programme", Sep + QStringLiteral("N|Leader")}}),
            Booking({2027, 1, 9}, "New Year", {{"WebSite", "https://ny.org/"}, {"Town", "Dale"}}),
            Booking(DayNumberToDate(NoDate), "Undated")};
}

TEST_F(QuillaryTest, BookingsTableTextRows) {
    const BookingsOptions o{Sep, QStringLiteral("Every Monday|Club|&nbsp;|&nbsp;|&nbsp;"), DateToDayNumber({2026, 12, 6})};
    const QStringList lines = BookingsTableText(Diary(), o).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines, QStringList({
        "!BgColor=LightGreen|Date|Location|Event|Music|Contact",
        "!BgColor=Yellow|<Big><Center>2026</Center></Big>|&nbsp;|&nbsp;|&nbsp;|&nbsp;",
        "Every Monday|Club|&nbsp;|&nbsp;|&nbsp;",
        "Sat 12 Dec|a=\"Hall &#124; Annex, AB1.&nbsp; 7.30.&#013;&#010;Bring food&#013;&#010;and drink\" Ashbury|"
        "a=\"Hill &quot;Top&quot;\" Dance|Fiddlesticks|w=http://www.hilltop.org e=sec@hilltop.org a=\"Ann&nbsp;Lee\" 0123|",
        "Sat 19 Dec||Private event|||",
        "Sun 20 Dec||Not available|||",
        "!BgColor=Yellow|<Big><Center>2027</Center></Big>|&nbsp;|&nbsp;|&nbsp;|&nbsp;",
        "Every Monday|Club|&nbsp;|&nbsp;|&nbsp;",
        "Sat 9 Jan|Dale|a=\"New Year\" Dance|&nbsp;|w=https://ny.org/ &nbsp;|",
        ""}));
    // The row's cells as the page reads them: the bar in the venue split none.
    const TableTextRow row = ParseTableTextRow(lines[3]);
    ASSERT_EQ(row.cells.size(), 5);
    EXPECT_EQ(row.cells[1].attributes.value(0).second, QStringLiteral("Hall &#124; Annex, AB1.&nbsp; 7.30.&#013;&#010;Bring food&#013;&#010;and drink"));
    EXPECT_EQ(row.cells[4].attributes.size(), 3);
    EXPECT_EQ(row.cells[4].content, QStringLiteral("0123"));
    const struct {
        BookingEvent event;
        const char *message;
    } stops[] = {{Booking({2026, 12, 8}, "Club "), "Club  has leading or trailing space."},
                 {Booking({2026, 12, 8}, "Club", {{"Venue", "see http://x.org"}}), "Don't put a link in Venue - put it in Town instead."},
                 {Booking({2026, 12, 8}, "Club", {{"Email", " a@b.org"}}), " a@b.org has leading or trailing space."}};
    for (const auto &s : stops) {
        EXPECT_THROW(BookingsTableText({s.event}, o), SilentAbort);
        EXPECT_TRUE(answerer->sawText(QString::fromUtf8(s.message))) << s.message;
    }
}

TEST(BookingsScramble, RoundTripsAndNeverEndsTheString) {
    EXPECT_EQ(ScrambleAddress(QStringLiteral("abcdef")), QStringLiteral("acefdb"));
    EXPECT_EQ(ScrambleAddress(QStringLiteral("a\"b<c d")), ScrambleAddress(QStringLiteral("a%22b%3Cc%20d")));
    QRandomGenerator random(30);
    const QString pool = QStringLiteral("abcxyz0189._-+@");
    for (int i = 0; i < 200; ++i) {
        QString address;
        for (int j = 1 + random.bounded(40); j > 0; --j) address += pool[random.bounded(int(pool.size()))];
        ASSERT_EQ(UnscrambleAddress(ScrambleAddress(address)), address);
    }
}

const QByteArray UserHead =
    "<!DOCTYPE HTML><HTML><Head><Title>Caf\xc3\xa9 bookings</Title>\r\n"
    "<Link Rel=stylesheet Href=\"WebStart.css\">\r\n"
    "<Script>function ok(a,b){return a && b;}</Script>\r\n"
    "</Head><Body><Div><Div><H1>My bookings \xc3\xa9</H1>\r\n"
    "<P>Come and dance: ";

class BookingsPageTest : public QuillaryTest {
protected:
    QString table() {
        return BookingsTableText(Diary(), {Sep, QString(), DateToDayNumber({2026, 12, 6})});
    }
    BookingsPageResult make(const QString &page) { return BookingsPage(page, table(), {QString(), false, Sep, "Bookings.htm", QString()}); }
};

TEST_F(BookingsPageTest, KeepsTheCallersPartAndReplacesTheTable) {
    const QString head = QString::fromUtf8(UserHead);
    const BookingsPageResult first = make(head + "<Table Class=\"WebStart\"><TR><TD>old</TD></TR></Table>\r\n<P>old end</Body></HTML>");
    ASSERT_TRUE(first.stop.isEmpty());
    EXPECT_TRUE(first.page.startsWith(head + "<Script>\rfunction E(A){")) << first.page.toStdString();
    EXPECT_FALSE(first.page.contains(QStringLiteral("old")) || first.page.contains(QStringLiteral("sec@hilltop.org")) ||
                 first.page.contains(QStringLiteral("hilltop?org")));
    EXPECT_EQ(make(first.page).page, first.page);
    for (const QString &part : {QStringLiteral("<TR BgColor=Yellow>"), QStringLiteral("<TH>Date</TH>"),
                                QStringLiteral("Title=\"Hill &quot;Top&quot;\">&nbsp;Dance</TD>"),
                                QStringLiteral("<A Href=\"http://www.hilltop.org\"> <Img Src=\"WebSite.gif\""),
                                QStringLiteral("E(\"") + ScrambleAddress("sec@hilltop.org") + "\")",
                                QStringLiteral("<Input Type=button Value=Reformat OnClick=\"R()\">"),
                                QStringLiteral("document.close();}")})
        EXPECT_TRUE(first.page.contains(part)) << part.toStdString();
    EXPECT_TRUE(first.printable.contains(QStringLiteral("<Span Class=X>&nbsp;Web Site: hilltop.org&nbsp;</Span>")));
    EXPECT_TRUE(first.printable.contains(QStringLiteral("Hall &#124; Annex")));
    // The generated part is ASCII whatever the values hold; the head's own
    // script and UTF-8 stay as they were.
    const QString generated = first.page.mid(head.size());
    EXPECT_TRUE(std::all_of(generated.begin(), generated.end(), [](QChar c) { return c.unicode() < 128; }));
    EXPECT_TRUE(first.page.contains(QStringLiteral("return a && b;")));
    // Maintainer mode: his feedback link under the table, once however often the page is made.
    const QString feedback = QStringLiteral("<P><A Href=\"feedback.htm\">Feedback</A></P>");
    EXPECT_FALSE(first.page.contains(QStringLiteral("feedback.htm")));
    const BookingsPageOptions his{QString(), true, Sep, "Bookings.htm", feedback};
    const QString mine = BookingsPage(BookingsPage(first.page, table(), his).page, table(), his).page;
    EXPECT_EQ(mine.count(feedback), 1);
    EXPECT_TRUE(mine.indexOf(feedback) > mine.lastIndexOf(QStringLiteral("</Table>")) && mine.endsWith(QStringLiteral("</Body>\r\n</HTML>\r\n")));
    // A page with neither the script nor a WebStart table is refused.
    EXPECT_EQ(make(head + "<Table><TR><TD>x</TD></TR></Table>").stop, QStringLiteral("Error: \"WebStart\" not found in Bookings.htm"));
}

// A value put into table text is one cell's text whatever it holds: no
// line break starts a row, no "|" a cell, no leading "!" or "x=" gives
// attributes, no address but http(s) becomes a link.
TEST_F(QuillaryTest, BookingsHostileValuesStayInTheirCells) {
    const struct {
        const char *value, *want;
    } values[] = {{"w=javascript:x", "w&#61;javascript:x"}, {"!a|b\r\nc\rd\ne", "&#33;a&#124;b<Br>c<Br>d<Br>e"},
                  {"  e=1", "  e&#61;1"}, {"Reel & <Jig>", "Reel &amp; &lt;Jig&gt;"}, {"a = b", "a = b"}};
    for (const auto &v : values) EXPECT_EQ(TableTextValue(QString::fromUtf8(v.value), "<Br>"), QString::fromUtf8(v.want));
    EXPECT_EQ(TableTextHref("http://x.org/a|b c\r\n!d"), "http://x.org/a%7Cb%20c%0D%0A!d");
    EXPECT_EQ(TableTextHref("javascript:alert(1)"), "");

    const char *pieces[] = {"V\r\n!tabindex=1 autofocus onfocus=alert(1)|x", "w=javascript:alert(1)", "!onmouseover=alert(1)|x",
                            "e=x a=\"q\" w=javascript:alert(1)", "V\rw=javascript:alert(1)", "V\n!x|y",
                            "V|w=javascript:alert(1) z", "http://x.org/|w=javascript:alert(1) z"};
    const char *fields[] = {"Town", "Event", "Band", "Phone", "Venue", "Postcode", "ETime", "Org", "Contact", "WebSite", "note"};
    const BookingsOptions o{Sep, QString(), DateToDayNumber({2026, 12, 6})};
    for (const char *piece : pieces)
        for (const char *field : fields) {
            const QString v = QString::fromUtf8(piece), f = QLatin1String(field);
            if (f == "Venue" && v.contains("http")) continue; // refused with its message
            const QDate day(2026, 12, 12);
            const BookingEvent e = f == "note" ? Booking(day, "Club", {{"Venue", "Hall"}, {"Programme", QString(Sep) + "N|+" + v + Sep}})
                                   : f == "Org" ? Booking(day, piece, {{"Venue", "Hall"}})
                                                : Booking(day, "Club", {{"Venue", "Hall"}, {"Email", "a@b.org"}, {field, v}});
            const QString text = BookingsTableText({e}, o);
            const QStringList lines = text.split("\r\n");
            ASSERT_EQ(lines.size(), 4) << field << " " << piece << "\n" << text.toStdString();
            const TableTextRow row = ParseTableTextRow(lines[2]);
            EXPECT_FALSE(row.hasRowAttributes || row.headerCell) << field << " " << piece;
            ASSERT_EQ(row.cells.size(), 5) << field << " " << piece << "\n" << text.toStdString();
            const QString letters[] = {"", "a", "a", "", "wea"};
            for (int i = 0; i < 5; ++i)
                for (const auto &[letter, value] : row.cells[i].attributes) {
                    EXPECT_TRUE(letters[i].contains(letter)) << field << " " << piece << " cell " << i;
                    if (letter == 'w') {
                        EXPECT_TRUE(value.startsWith("http://") || value.startsWith("https://")) << value.toStdString();
                    }
                }
            const QString page = BookingsPage("<Body><Table Class=WebStart></Table>", text, {QString(), false, Sep, "b.htm", {}}).page;
            EXPECT_EQ(page.left(page.indexOf("</Table>")).count("<TR"), 3) << page.toStdString();
            EXPECT_FALSE(page.contains("Href=\"javascript", Qt::CaseInsensitive) || page.contains("<TR ta", Qt::CaseInsensitive) ||
                         page.contains("<TH onm", Qt::CaseInsensitive))
                << page.toStdString();
        }
}

// The old table is found by our script or a WebStart table only where a
// browser reads them as elements: never in a comment, an attribute value,
// a script's string or comment, nor in the text of a title or a text area.
// A search for them never runs past the page's start, and a page where
// they stand only in a part left open is refused, naming that part.
TEST_F(QuillaryTest, BookingsOldTableFoundOnlyByARealScript) {
    const QString table = "<Table Class=\"WebStart\"><TR><TD>old</TD></TR></Table>";
    const QString notFound = "Error: \"WebStart\" not found in b.htm";
    const struct {
        const char *name;
        QString page;
        QString kept; // the caller's part before the new table
        QString stop; // not empty: the page is refused with this message
    } pages[] = {
        {"comment marks alone before the function", "<!x function E(A){ <!y", "",
         notFound + "\rThe page ends inside an unclosed comment begun on line 1."},
        {"function before any tag", "function E(A){ <P>mine</P>\n" + table + "<B>end</B>", "function E(A){ <P>mine</P>\n", ""},
        {"function in text", "<P>function E(A){</P>\n" + table, "<P>function E(A){</P>\n", ""},
        {"function in a script", "<P>mine</P>\n<Script>\r<!--\rfunction E(A){}</Script>\n" + table, "<P>mine</P>\n", ""},
        {"script at the page's start", "<Script>function E(A){}</Script>\n" + table + "\r\n<P>end</P>\r\n", "", ""},
        {"script and function in a comment", "<!-- <Script>function E(A){ -->\n<P>mine</P>\n" + table,
         "<!-- <Script>function E(A){ -->\n<P>mine</P>\n", ""},
        {"script in an attribute", "<P Title=\"<Script>function E(A){\">mine</P>\n" + table,
         "<P Title=\"<Script>function E(A){\">mine</P>\n", ""},
        {"function in a script's strings and comments",
         "<Script>var s = \"function E(A){\", t = 'function E(A){', r = /\"/; // function E(A){\r/* function E(A){ */"
         "`\nfunction E(A){`;</Script>\n<P>mine</P>\n" + table,
         "<Script>var s = \"function E(A){\", t = 'function E(A){', r = /\"/; // function E(A){\r/* function E(A){ */"
         "`\nfunction E(A){`;</Script>\n<P>mine</P>\n", ""},
        {"script tag in a script's comment", "<Script><!--\ndocument.write(\"<script>x</script>\"); function E(A){}\n--></Script>",
         "", ""},
        {"WebStart in another attribute of an earlier table",
         "<Table Class=\"x\" Title=\"WebStart\"><TR><TD>mine</TD></TR></Table>\n<Table Title='Class WebStart'></Table>\n" + table,
         "<Table Class=\"x\" Title=\"WebStart\"><TR><TD>mine</TD></TR></Table>\n<Table Title='Class WebStart'></Table>\n", ""},
        {"WebStart table in a comment, a string, a title and a text area",
         "<Title><Table Class=WebStart></Title><!-- <Table Class=WebStart> -->\n<Script>x='<Table Class=WebStart>'</Script>"
         "<TextArea><Table Class=WebStart></TextArea>\n<P>mine</P>\n" + table,
         "<Title><Table Class=WebStart></Title><!-- <Table Class=WebStart> -->\n<Script>x='<Table Class=WebStart>'</Script>"
         "<TextArea><Table Class=WebStart></TextArea>\n<P>mine</P>\n", ""},
        {"WebStart among the table's classes", "<P>mine</P>\n  <table class=\"bookings webstart\">", "<P>mine</P>\n", ""},
        {"WebStart only part of a class", "<P>mine</P>\n<Table Class=\"WebStarter\"></Table>", "", notFound},
        {"table in an unclosed comment", "<P>mine</P>\n<!-- note\n" + table, "",
         notFound + "\rThe page ends inside an unclosed comment begun on line 2."},
        {"table tag cut short", "<P>mine</P>\n<Table Class=\"WebStart\"", "",
         notFound + "\rThe page ends inside an unclosed tag begun on line 2."},
        {"script cut short", "<P>mine</P>\n\n<Script>function E(A){", "",
         notFound + "\rThe page ends inside an unclosed script element begun on line 3."},
    };
    for (const auto &p : pages) {
        const BookingsPageResult r = BookingsPage(p.page, "Date\r\n", {QString(), false, Sep, "b.htm", QString()});
        EXPECT_EQ(r.stop, p.stop) << p.name;
        if (!p.stop.isEmpty()) {
            EXPECT_TRUE(r.page.isEmpty()) << p.name;
            continue;
        }
        EXPECT_FALSE(r.page.contains("old")) << p.name << "\n" << r.page.toStdString();
        EXPECT_TRUE(r.page.startsWith(p.kept + "<Script>\rfunction E(A){")) << p.name << "\n" << r.page.toStdString();
        EXPECT_EQ(BookingsPage(r.page, "Date\r\n", {QString(), false, Sep, "b.htm", QString()}).page, r.page) << p.name;
    }
}

} // namespace
