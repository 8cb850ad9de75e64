#include "core/database/SqlRunner.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/services/ShellRoutines.h"
#include "platform/sqlite/JetSql.h"

#include <QFileInfo>

int RunSQL(const QString &sql) {
    int n = 0;
    try {
        if (PosNoCase(QStringLiteral("Select"), sql) == 1 && !HasIntoWord(sql)) {
            QString inner = sql.trimmed();
            while (inner.endsWith(QLatin1Char(';'))) inner = inner.chopped(1).trimmed();
            MyQuery.setText(QStringLiteral("Select Count(*) as T from (") + inner + QStringLiteral(")"));
            MyQuery.open();
            n = MyQuery.eof() ? 0 : MyQuery.fields(0).AsInteger();
        } else {
            MyQuery.setText(sql);
            n = MyQuery.exec();
        }
    } catch (...) {
        MyQuery.close();
        throw;
    }
    MyQuery.close();
    return n;
}

void ViewSQLClick() {
    const QString last = MyQuery.lastText();
    if (last.isEmpty()) {
        ShowMsg(QStringLiteral("No SQL yet generated."));
        return;
    }
    const QString file = FindFileNoCase(DataFolder, QStringLiteral("SQL.Txt"));
    SaveTextFile(file, last);
    OpenWithEditor(file);
}

void RerunSQLClick() {
    const QString file = FindFileNoCase(DataFolder, QStringLiteral("SQL.Txt"));
    if (!QFileInfo::exists(file)) return;
    const int n = RunSQL(LoadTextFile(file));
    ShowMsg(QString::number(n) + QStringLiteral(" records selected/changed."));
}
