#include "DbFixture.h"
#include "platform/sqlite/DataSource.h"
#include "platform/sqlite/DBNavigator.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

class BoundBoxesTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        addEvent("Alpha Club", 46000, "Spring Dance", {{"Postcode", "AB1 2CD"}});
        addEvent("Beta Club", 46100, "Summer Dance");
        addEvent("Gamma Club", 46200, "Autumn Dance");
        ds = std::make_unique<Dataset>(db, "Events");
        ds->setIndexName("EDate");
        source.setDataset(ds.get());
        source.bind(&org, "Org");
        source.bind(&postcode, "Postcode");
        source.bind(&lvl, "EDate");
    }
    void TearDown() override {
        source.setDataset(nullptr);
        ds.reset();
        DbTest::TearDown();
    }
    static void leave(QWidget *w) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w, &out);
    }
    QString stored(const char *field) {
        return scalar(QStringLiteral("SELECT %1 FROM Events WHERE rowid=?").arg(QLatin1String(field)),
                      {ds->GetBookmark()})
            .toString();
    }
    std::unique_ptr<Dataset> ds;
    TDataSource source;
    QLineEdit org, postcode;
    QComboBox lvl;
};

} // namespace

TEST_F(BoundBoxesTest, BoxesFollowTheRecordAndAClosedDatasetDisablesThem) {
    EXPECT_FALSE(org.isEnabled());
    EXPECT_EQ(org.text(), QString());
    ds->open();
    EXPECT_TRUE(org.isEnabled());
    EXPECT_EQ(org.text(), QStringLiteral("Alpha Club"));
    ds->Next(); // an empty field clears the previous record's text
    EXPECT_EQ(org.text(), QStringLiteral("Beta Club"));
    EXPECT_EQ(postcode.text(), QString());
    ds->close();
    EXPECT_FALSE(postcode.isEnabled());
}

TEST_F(BoundBoxesTest, TypingEditsAndLeavingWritesTheField) {
    ds->open();
    org.selectAll();
    QTest::keyClicks(&org, "Delta Club");
    EXPECT_EQ(ds->State(), DatasetState::Edit);
    EXPECT_TRUE(source.pending(&org));
    EXPECT_EQ(ds->FieldByName("Org").AsString(), QStringLiteral("Alpha Club"));
    leave(&org);
    EXPECT_FALSE(source.pending(&org));
    EXPECT_EQ(ds->FieldByName("Org").AsString(), QStringLiteral("Delta Club"));
    EXPECT_EQ(stored("Org"), QStringLiteral("Alpha Club"));
    ds->Post();
    EXPECT_EQ(stored("Org"), QStringLiteral("Delta Club"));
    EXPECT_EQ(org.text(), QStringLiteral("Delta Club"));
}

TEST_F(BoundBoxesTest, PostTakesTextStillInTheBox) {
    ds->open();
    postcode.clear();
    QTest::keyClicks(&postcode, "ZZ9 9ZZ");
    // The user saves without leaving the box.
    ds->Post();
    EXPECT_EQ(stored("Postcode"), QStringLiteral("ZZ9 9ZZ"));
    EXPECT_EQ(ds->State(), DatasetState::Browse);
}

TEST_F(BoundBoxesTest, TypedTextSurvivesAChangeToAnotherField) {
    ds->open();
    org.selectAll();
    QTest::keyClicks(&org, "Typed");
    ds->FieldByName("Postcode").SetAsString("NEW");
    EXPECT_EQ(org.text(), QStringLiteral("Typed"));
    EXPECT_EQ(postcode.text(), QStringLiteral("NEW"));
}

TEST_F(BoundBoxesTest, MovingOnPostsWhatWasTyped) {
    ds->open();
    org.selectAll();
    QTest::keyClicks(&org, "Moved On");
    ds->Next();
    ds->Prior();
    EXPECT_EQ(stored("Org"), QStringLiteral("Moved On"));
}

TEST_F(BoundBoxesTest, BadValueStaysTypedAndIsReported) {
    ds->open();
    lvl.lineEdit()->selectAll();
    QTest::keyClicks(lvl.lineEdit(), "not a date");
    // The refusal reaches the user through the application's error routing.
    leave(lvl.lineEdit());
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->texts().at(0).contains(QStringLiteral("not a date")));
    EXPECT_TRUE(source.pending(&lvl));
    EXPECT_EQ(lvl.currentText(), QStringLiteral("not a date"));
    ds->Cancel();
    EXPECT_FALSE(source.pending(&lvl));
}

namespace {

class NavigatorTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        for (int i = 0; i < 3; ++i) addEvent(QStringLiteral("Club %1").arg(i), 46000 + i, "Dance");
        ds = std::make_unique<Dataset>(db, "Events");
        ds->setIndexName("EDate");
        nav.setDataset(ds.get());
    }
    void TearDown() override {
        nav.setDataset(nullptr);
        ds.reset();
        DbTest::TearDown();
    }
    // Enabled buttons as letters: F P N L I D S(post) C.
    QString enabled() const {
        QString s;
        const char *letters = "FPNLIDSC";
        for (int i = 0; i < 8; ++i)
            if (nav.button(NavButton(i))->isEnabled()) s += QLatin1Char(letters[i]);
        return s;
    }
    QString org() { return ds->FieldByName("Org").AsString(); }
    std::unique_ptr<Dataset> ds;
    TDBNavigator nav;
};

} // namespace

TEST_F(NavigatorTest, ButtonsMoveAndEdit) {
    ds->open();
    QSignalSpy after(&nav, &TDBNavigator::clicked);
    QTest::mouseClick(nav.button(NavButton::Last), Qt::LeftButton);
    EXPECT_EQ(org(), QStringLiteral("Club 2"));
    nav.click(NavButton::Prior);
    EXPECT_EQ(org(), QStringLiteral("Club 1"));
    nav.click(NavButton::First);
    EXPECT_EQ(org(), QStringLiteral("Club 0"));
    nav.click(NavButton::Next);
    nav.click(NavButton::Insert);
    EXPECT_EQ(ds->State(), DatasetState::Insert);
    nav.click(NavButton::Cancel);
    EXPECT_EQ(org(), QStringLiteral("Club 1"));
    ds->Edit();
    ds->FieldByName("Org").SetAsString("Club One");
    nav.click(NavButton::Post);
    EXPECT_EQ(ds->State(), DatasetState::Browse);
    EXPECT_EQ(scalar("SELECT count(*) FROM Events WHERE Org='Club One'").toInt(), 1);
    ASSERT_EQ(after.size(), 7);
    EXPECT_EQ(after.at(0).at(0).value<NavButton>(), NavButton::Last);
    EXPECT_EQ(after.at(6).at(0).value<NavButton>(), NavButton::Post);
}

TEST_F(NavigatorTest, BeforeActionCanStopTheButton) {
    ds->open();
    QList<NavButton> seen;
    nav.BeforeAction = [&](NavButton b) {
        seen.append(b);
        if (b == NavButton::Next) throw SilentAbort();
    };
    QSignalSpy after(&nav, &TDBNavigator::clicked);
    EXPECT_THROW(nav.click(NavButton::Next), SilentAbort);
    EXPECT_EQ(org(), QStringLiteral("Club 0"));
    EXPECT_EQ(after.size(), 0);
    nav.click(NavButton::Last);
    EXPECT_EQ(org(), QStringLiteral("Club 2"));
    EXPECT_EQ(seen, (QList<NavButton>{NavButton::Next, NavButton::Last}));
}
