#include "DbFixture.h"

#include <sqlite3.h>

void DbTest::SetUp() {
    QuillaryTest::SetUp();
    dbPath = path(QStringLiteral("Test.mdb"));
    db.create(dbPath);
}

void DbTest::TearDown() {
    db.close();
    QuillaryTest::TearDown();
}

static qint64 insertRow(Database &db, const QString &table, QList<QPair<QString, QVariant>> values) {
    return db.insertRow(table, values);
}

qint64 DbTest::addDance(const QString &title, const QString &format, const QString &style,
                        const QList<QPair<QString, QVariant>> &extra) {
    QList<QPair<QString, QVariant>> v{{QStringLiteral("Title"), title},
                                      {QStringLiteral("Format"), format},
                                      {QStringLiteral("Style"), style}};
    v += extra;
    return insertRow(db, QStringLiteral("Dances"), v);
}

qint64 DbTest::addEvent(const QString &org, double date, const QString &event,
                        const QList<QPair<QString, QVariant>> &extra) {
    QList<QPair<QString, QVariant>> v{{QStringLiteral("Org"), org},
                                      {QStringLiteral("EDate"), date},
                                      {QStringLiteral("Event"), event}};
    v += extra;
    return insertRow(db, QStringLiteral("Events"), v);
}

QVariant DbTest::scalar(const QString &sql, const QVariantList &params) {
    Statement s(db.handle(), sql);
    s.bindAll(params);
    return s.step() ? s.column(0) : QVariant();
}
