#pragma once
// A fresh catalogue database from the schema in the test's data folder, with
// helpers that add rows through plain SQL.

#include "platform/sqlite/Database.h"
#include "TestSupport.h"

#include <QVariant>
#include <ostream>

class DbTest : public QuillaryTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a dance; the extra pairs are column, value.
    qint64 addDance(const QString &title, const QString &format, const QString &style,
                    const QList<QPair<QString, QVariant>> &extra = {});
    qint64 addEvent(const QString &org, double date, const QString &event,
                    const QList<QPair<QString, QVariant>> &extra = {});
    // The first column of the first row of a plain SQLite query.
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    Database db;
    QString dbPath;
};
