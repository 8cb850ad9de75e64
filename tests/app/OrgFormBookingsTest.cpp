#include "EventFormFixture.h"
#include "platform/shell/DocumentOpener.h"

#include <QFile>
#include <QProcess>
#include <QUrl>

namespace {

class BookingsCommandTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        SetDataFolder(folder());
        QDir::setCurrent(folder());
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Quillary.mdb\r\n[User]\r\nBookings=Bookings.htm\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        QFile::copy(QStringLiteral(QUILLARY_SOURCE_DIR "/resources/web/Bookings.htm"), path("Bookings.htm"));
        const QString sep = SepDot;
        first = addEvent("Hill Top", 6, "", {{"Town", "Ashbury"}, {"Venue", "Village Hall"}, {"Email", "sec@hilltop.org"},
                                     {"WebSite", "www.hilltop.org"}, {"Contact", "Ann \"Sec\" Lee"}, {"Band", "Fiddlesticks"}});
        addEvent("Private", 13, "", {{"Prv", "Y"}});
        addEvent("Lead", 14, sep + "N|Leader" + sep);
        addEvent("Dale Club", 40, sep + "N|+Bring a plate\\" + sep, {{"Town", "Dale"}, {"Email", "dale@x.org"}, {"Event", "Ball <Big>"}});
    }
    void TearDown() override {
        SetDocumentOpener(nullptr);
        EventFormTest::TearDown();
    }
    QByteArray page() { return ReadFileBytes(path("Bookings.htm")); }
    RecordingOpener opener;
    qint64 first = 0;
};

TEST_F(BookingsCommandTest, RewritesTheSamplePageTheSameEachTime) {
    open(first);
    const QByteArray original = page();
    form->MakeWebPages(true);
    const QByteArray once = page();
    form->MakeWebPages(true);
    EXPECT_EQ(page(), once);
    EXPECT_EQ(ReadFileBytes(path("Bookings.htm.bak")), once);
    EXPECT_TRUE(once.startsWith(original.left(original.indexOf("<Table"))));
    for (const char *clear : {"sec@hilltop.org", "dale@x.org", "Lead", "Ball <Big>"}) EXPECT_FALSE(once.contains(clear)) << clear;
    EXPECT_TRUE(once.contains("Private event") && once.contains("Ball &lt;Big&gt;") && once.contains("Ann&nbsp;&quot;Sec&quot;&nbsp;Lee"));
    EXPECT_FALSE(QFile::exists(path("Dates.Tab")));
    EXPECT_EQ(opener.opened.size(), 2);
    // A page without the table: the message, the page as it was, no table text left.
    WriteFileBytes(path("Bookings.htm"), "<HTML><Body>mine</Body></HTML>");
    EXPECT_THROW(form->MakeWebPages(true), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Error: \"WebStart\" not found in ") + path("Bookings.htm")));
    EXPECT_EQ(page(), QByteArray("<HTML><Body>mine</Body></HTML>"));
    EXPECT_FALSE(QFile::exists(path("Dates.Tab")));
}

} // namespace

// The written bookings page in a browser (ctest label "browser"): every
// address decoded into its mail link, the Reformat copy with every address
// as text, and no script error.
class BrowserBookings : public BookingsCommandTest {
protected:
    QString run(const QString &file, QString *log) {
        QProcess chromium;
        chromium.start(QStringLiteral("chromium"),
                       {"--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking", "--enable-logging=stderr",
                        "--user-data-dir=" + path("profile"), "--dump-dom", QUrl::fromLocalFile(file).toString()});
        EXPECT_TRUE(chromium.waitForFinished(60000));
        *log = QString::fromUtf8(chromium.readAllStandardError());
        return QString::fromUtf8(chromium.readAllStandardOutput());
    }
};

TEST_F(BrowserBookings, AddressesDecodedAndReformatWorks) {
    open(first);
    form->MakeWebPages(true);
    QString log;
    const QString d = run(path("Bookings.htm"), &log);
    EXPECT_FALSE(log.contains(QStringLiteral("Uncaught"))) << log.toStdString();
    for (const char *address : {"sec@hilltop.org", "dale@x.org"})
        EXPECT_TRUE(d.contains(QStringLiteral("href=\"mailto:") + address + "\"")) << d.toStdString();
    EXPECT_TRUE(d.contains(QStringLiteral("<tr bgcolor=\"Yellow\">")));
    QProcess check;
    check.start(QStringLiteral(QUILLARY_SOURCE_DIR "/tests/check_html.py"), {path("Bookings.htm")});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    QByteArray reformat = page();
    reformat.replace("</Body>", "<Script>R()</Script></Body>");
    WriteFileBytes(path("Reformat.htm"), reformat);
    const QString r = run(path("Reformat.htm"), &log);
    EXPECT_FALSE(log.contains(QStringLiteral("Uncaught"))) << log.toStdString();
    for (const char *text : {"E-mail: sec@hilltop.org", "E-mail: dale@x.org", "Web Site: hilltop.org", "Village Hall", "Bring a plate\\"})
        EXPECT_TRUE(r.contains(QString::fromUtf8(text))) << text << "\n" << r.toStdString();
}

// Hostile values in every field the table shows: the page and its Reformat
// copy run none of them, and no link takes a script address.
TEST_F(BrowserBookings, HostileValuesRunNoScript) {
    const QString run = QStringLiteral("document.write('RAN'+'X')");
    const QString sep = SepDot;
    open(addEvent("Og\r\n!autofocus onfocus=" + run + "|x", 20, sep + "N|+Bring\r!tabindex=3 autofocus onfocus=" + run + "|" + sep,
                  {{"Town", "w=javascript:" + run}, {"Venue", "Hall\r\n!tabindex=1 autofocus onfocus=" + run + "|"},
                   {"ETime", "7pm\n!tabindex=2 autofocus onfocus=" + run}, {"Event", "w=javascript:" + run},
                   {"Band", "!onmouseover=" + run + "|x"}, {"Contact", "Al\r\n!autofocus onfocus=" + run},
                   {"Phone", "e=x w=javascript:" + run}, {"WebSite", "x.org/|w=javascript:" + run + " z"}}));
    form->MakeWebPages(true);
    WriteFileBytes(path("Reformat.htm"), page().replace("</Body>", "<Script>R()</Script></Body>"));
    for (const char *name : {"Bookings.htm", "Reformat.htm"}) {
        QString log;
        const QString d = BrowserDom(path(name), path(QStringLiteral("profile-") + name), &log);
        EXPECT_TRUE(d.contains(QStringLiteral("Hall"))) << name << "\n" << d.toStdString();
        EXPECT_FALSE(d.contains(QStringLiteral("RANX")) || d.contains(QStringLiteral("onfocus=\"")) ||
                     d.contains(QStringLiteral("onmouseover=\"")) || d.contains(QStringLiteral("href=\"javascript")))
            << name << "\n" << d.toStdString();
        EXPECT_FALSE(log.contains(QStringLiteral("Uncaught"))) << log.toStdString();
    }
}
