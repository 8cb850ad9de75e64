#include "DbFixture.h"
#include "platform/sqlite/Query.h"

TEST_F(DbTest, QueryWalksRowsForwardWithTypedFields) {
    addEvent(QStringLiteral("Hall"), 46362.8125, QStringLiteral("Winter Ball"));
    addEvent(QStringLiteral("Barn"), 46300, QStringLiteral("Ceilidh"), {{QStringLiteral("Fee"), QStringLiteral("£90")}});
    Query q(db);
    q.SQL.append(QStringLiteral("Select Org, EDate, Fee, Len(Org) as L"));
    q.SQL.append(QStringLiteral("from Events"));
    q.SQL.append(QStringLiteral("Order by EDate"));
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.fieldCount(), 4);
    EXPECT_EQ(q.FieldByName(QStringLiteral("org")).AsString(), QStringLiteral("Barn"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Fee")).AsString(), QStringLiteral("£90"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("L")).DataType(), FieldType::Int32);
    q.next();
    EXPECT_EQ(q.FieldByName(QStringLiteral("EDate")).AsString(), QStringLiteral("Sun 6-Dec-26"));
    EXPECT_DOUBLE_EQ(q.FieldByName(QStringLiteral("EDate")).AsDateTime(), 46362.8125);
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.FindField(QStringLiteral("Nothing")), nullptr);
    EXPECT_THROW(q.FieldByName(QStringLiteral("Nothing")), DbError);
    EXPECT_THROW(q.FieldByName(QStringLiteral("Org")).SetAsString(QStringLiteral("x")), DbError);
}

TEST_F(DbTest, ExecCountsRowsAndKeepsTheLastStatement) {
    for (int i = 0; i < 5; ++i)
        addDance(QStringLiteral("D%1").arg(i), QStringLiteral("Longways"), QStringLiteral("English"),
                 {{QStringLiteral("Called"), i}});
    Query q(db);
    q.setText(QStringLiteral("Update Dances Set Called=Null where Called > 2"));
    EXPECT_EQ(q.exec(), 2);
    q.setText(QStringLiteral("Create Index CalledIx on Dances (Called)"));
    EXPECT_EQ(q.exec(), 0) << "a statement that changes no row counts 0, not the last update's rows";
    q.setText(QStringLiteral("Update Dances Set Title=? where Title=?"));
    EXPECT_EQ(q.exec({QStringLiteral("It's"), QStringLiteral("D1")}), 1);
    EXPECT_EQ(q.lastText(), QStringLiteral("Update Dances Set Title='It''s' where Title='D1'"));
    q.setText(QStringLiteral("Update Nowhere Set X=1"));
    EXPECT_THROW(q.exec(), DbError);
    EXPECT_EQ(q.lastText(), QStringLiteral("Update Nowhere Set X=1"));
    q.setText(QStringLiteral("Select \"unterminated"));
    EXPECT_THROW(q.open(), DbError);
    EXPECT_EQ(q.lastText(), QStringLiteral("Select \"unterminated"));
}

TEST_F(DbTest, SelectIntoKeepsColumnTypesAndCollation) {
    addDance(QStringLiteral("Jig"), QStringLiteral("Longways"), QStringLiteral("English"), {{QStringLiteral("Called"), 3}});
    addDance(QStringLiteral("Reel"), QStringLiteral("Square"), QStringLiteral("American"));
    Query q(db);
    q.setText(QStringLiteral("Select * into W from Dances where Format <> \"Square\""));
    EXPECT_EQ(q.exec(), 1);
    const QList<FieldInfo> w = db.fields(QStringLiteral("W"));
    ASSERT_EQ(w.size(), 25);
    EXPECT_EQ(w[0].size, 255);
    EXPECT_EQ(w[12].type, FieldType::Int32);
    EXPECT_EQ(db.columnDefinition(QStringLiteral("W"), QStringLiteral("Title")),
              QStringLiteral("VARCHAR(255) NOT NULL ON CONFLICT REPLACE DEFAULT '' COLLATE NOCASE"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM W WHERE Title = 'JIG'")).toInt(), 1);
    q.setText(QStringLiteral("Select Title, Len(Title) as N into V from Dances"));
    EXPECT_EQ(q.exec(), 2);
    EXPECT_EQ(db.fields(QStringLiteral("V")).size(), 2);
    q.setText(QStringLiteral("Select * into W from Dances"));
    EXPECT_THROW(q.exec(), DbError) << "the table exists";
}
