#include "core/database/DatabaseTools.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/RecordHooks.h"
#include "core/database/DanceFilterSql.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/shell/ProcessRunner.h"
#include "platform/sqlite/Field.h"
#include "platform/sqlite/JetSql.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace {

const QString OldPair = QStringLiteral("\u00A1\u00A4"); // "¡¤"

// The field as the table spells it; a clear message and "" when the table
// has no such column (a derived box such as IsRec).
QString columnOf(const QString &table, const QString &field) {
    for (const FieldInfo &f : Conn.fields(table))
        if (SameText(f.name, field)) return f.name;
    ShowMsg(QStringLiteral("\"") + field + QStringLiteral("\" is not a field of the ") + table +
            QStringLiteral(" table, so it cannot be changed for all records."));
    return QString();
}

FieldInfo infoOf(const QString &table, const QString &column) {
    for (const FieldInfo &f : Conn.fields(table))
        if (f.name == column) return f;
    return FieldInfo{};
}

QString bracket(const QString &name) { return QLatin1Char('[') + name + QLatin1Char(']'); }

int countHolding(Dataset &ds, const QString &column, const QString &text) {
    if (!ds.active()) return 0;
    Statement s(Conn.handle(), QStringLiteral("SELECT instr(%1, ?) > 0 FROM %2 WHERE rowid=?")
                                   .arg(bracket(column), bracket(ds.tableName())));
    int n = 0;
    for (qint64 rowid : ds.VisibleBookmarks()) {
        s.bindAll({text, rowid});
        if (s.step() && s.column(0).toInt() == 1) ++n;
        s.reset();
    }
    return n;
}

} // namespace

// ---- Set all ------------------------------------------------------------------

int SetAllValues(const QString &table, const QString &field, bool checked) {
    return RunSQL(QStringLiteral("Update ") + table + QStringLiteral(" Set ") + bracket(field) + QLatin1Char('=') +
                  (checked ? QStringLiteral("\"Y\"") : QStringLiteral("Null")));
}

void SetAllClick(const FocusControl *focus) {
    if (!focus || !focus->isCheckBox) {
        ShowMsg(QStringLiteral("\"Set all\" applies only to check boxes (with tick or blank as values)"));
        return;
    }
    const int answer = DBox3(QStringLiteral("Filter: Select value for ") + focus->field, QStringLiteral("Checked"),
                             QStringLiteral("Blank"), 30400, QStringLiteral("Cancel"));
    if (answer != ResultYes && answer != ResultNo) return;
    const QString table = focus->table == QLatin1String("Events") ? QStringLiteral("Events") : QStringLiteral("Dances");
    const QString column = columnOf(table, focus->field);
    if (column.isEmpty()) return;
    if (!YesNo(QStringLiteral("Are you sure you want to set this value for all ") + table + QStringLiteral("?"))) return;
    TestSave();
    EventsData.close();
    DancesData.close();
    try {
        SetAllValues(table, column, answer == ResultYes);
    } catch (...) {
        OpenTables();
        throw;
    }
    OpenTables();
    TheMainWindow().ShowEvent();
    TheMainWindow().ShowDance();
}

// ---- Change all -----------------------------------------------------------------

int ChangeAllValues(const QString &table, const QString &field, const QString &oldValue, const QString &newValue) {
    const FieldInfo info = infoOf(table, field);
    const QVariant oldTyped = Field::FromText(info, oldValue);
    const QVariant newTyped = Field::FromText(info, newValue);
    QString sql = QStringLiteral("Update ") + bracket(table) + QStringLiteral(" Set ") + bracket(field) + QStringLiteral("=? where ");
    QVariantList params{newTyped};
    if (oldTyped.isNull()) {
        sql += bracket(field) + QStringLiteral(" is Null");
    } else {
        sql += bracket(field) + QStringLiteral("=?");
        params.append(oldTyped);
    }
    MyQuery.setText(sql);
    int n = 0;
    try {
        n = MyQuery.exec(params);
    } catch (...) {
        MyQuery.close();
        throw;
    }
    MyQuery.close();
    return n;
}

void ChangeAllClick(const FocusControl *focus, const InputAsker &ask) {
    if (!focus || focus->field.isEmpty()) {
        OKHelpCancel(QStringLiteral("No current field."), 51620);
        return;
    }
    const QString table = focus->table == QLatin1String("Events") ? QStringLiteral("Events") : QStringLiteral("Dances");
    const QString column = columnOf(table, focus->field);
    if (column.isEmpty()) return;
    if ((column == QLatin1String("Format") || column == QLatin1String("Style")) &&
        !YesNo(QStringLiteral("Changing Format or Style will probably affect the Events table too.  I recommend you use "
                              "Tools | Reorganise Dances instead.  Are you sure you want to continue?")))
        return;
    QString oldValue = focus->text;
    QString newValue = focus->text;
    if (!ask(QStringLiteral("Old value"), column, &oldValue)) return;
    if (!ask(QStringLiteral("New value"), column, &newValue)) return;
    if (!YesNo(QStringLiteral("Field ") + column + QStringLiteral(":\rChange all occurrences of \r") + oldValue +
               QStringLiteral("\rto\r") + newValue))
        return;
    try {
        ChangeAllValues(table, column, oldValue, newValue);
    } catch (const DbError &e) {
        ShowMsg(e.text());
        return;
    }
    TheMainWindow().ShowDance();
}

// ---- Delete Events / Delete Dances / Remove "Called" ------------------------------

int DeleteEventsBefore(double day) {
    return RunSQL(QStringLiteral("Delete from Events where EDate < ") + SqlDate(std::floor(day)));
}

void DeleteEventsClick(const QString &dateBoxText) {
    const QString text = dateBoxText.trimmed();
    const double day = text.isEmpty() || SameText(text, QStringLiteral("None")) ? NoDate : ParseDate(text);
    if (day <= 0 || day >= NoDate) {
        ShowMsg(QStringLiteral("The shown event has no date."));
        return;
    }
    if (!YesNo(QStringLiteral("Delete ALL events before ") + dateBoxText + QStringLiteral("\r\rARE YOU SURE?"))) return;
    TheMainWindow().FormView();
    WriteLog(QStringLiteral("Del Events"));
    EventsData.CheckBrowseMode();
    EventsData.close();
    try {
        DeleteEventsBefore(day);
    } catch (...) {
        EventsData.open();
        throw;
    }
    EventsData.open();
}

int DeleteDanceRows(const std::vector<qint64> &rowids) {
    int n = 0;
    {
        Batch batch(Conn);
        Statement s(Conn.handle(), QStringLiteral("DELETE FROM Dances WHERE rowid=?"));
        for (qint64 rowid : rowids) {
            s.bind(1, rowid);
            s.step();
            s.reset();
            n += 1;
        }
        batch.commit();
    }
    Conn.tableChanged(QStringLiteral("Dances"));
    return n;
}

void DeleteDancesClick(const FilterDef &filter, bool dfilterOption) {
    DancesData.CheckBrowseMode();
    const bool filtered = DancesData.Filtered();
    QString question;
    std::vector<qint64> shown;
    if (filtered) {
        MyQuery.setText(QStringLiteral("Delete from Dances"));
        BuildDanceFilterSql(DancesData, filter, dfilterOption);
        // The rows as shown now, before the filter goes off.
        shown = DancesData.VisibleBookmarks();
        question = MyQuery.text() + QStringLiteral("\r\r") + QString::number(shown.size()) +
                   QStringLiteral(" dances\r\rARE YOU SURE?");
    } else {
        question = QStringLiteral("Delete ALL dances:\r\rARE YOU SURE?");
    }
    if (!YesNo(question)) return;
    SetFilter(DancesData, 1);
    if (filtered) DeleteDanceRows(shown);
    else RunSQL(QStringLiteral("Delete from Dances"));
    CompressClick(CompressSender::None);
    TheMainWindow().ShowDance();
}

int RemoveCalled() { return RunSQL(QStringLiteral("Update Dances Set Called=Null, CallIt=Null")); }

void RemoveCalledClick() {
    if (!YesNo(QStringLiteral("Are you sure you want to blank out the \"called\" counts (and the CallIt indicator) for "
                              "all the Dances?")))
        return;
    DancesData.CheckBrowseMode();
    RemoveCalled();
    TheMainWindow().ShowDance();
}

// ---- Switch database ----------------------------------------------------------------

QString SwitchDatabaseName(const QString &chosenPath) {
    const QFileInfo chosen(chosenPath);
    const bool inDataFolder = QDir::cleanPath(chosen.absolutePath()) == QDir::cleanPath(QFileInfo(DataFolder).absoluteFilePath());
    const QString stored = inDataFolder ? chosen.fileName() : chosen.absoluteFilePath();
    const QString standard = FindFileNoCase(DataFolder, StandardIniName);
    IniFile = std::make_unique<TIniFile>(standard);
    IniName = standard;
    IniFile->WriteString(QStringLiteral("System"), QStringLiteral("DBName"), stored);
    return stored;
}

void SwitchDatabaseClick(const FileChooser &choose) {
    const QString chosen = choose(QStringLiteral("Switch database"), DataFolder, QStringLiteral("Access databases|*.mdb"));
    if (chosen.isEmpty()) return;
    SwitchDatabaseName(chosen);
    MsgTimeout = 2000;
    ShowMsg(QStringLiteral("New database name noted.  You now need to restart the Quillary."));
    TheMainWindow().CloseMainWindow();
}

// ---- Check delimiter ---------------------------------------------------------------

DelimiterCounts CountDelimiters() {
    DelimiterCounts c;
    const QString seps[3] = {QString(SepDot), QString(SepEuro), OldPair};
    for (int k = 0; k < 3; ++k) {
        c.events[k] = countHolding(EventsData, QStringLiteral("Programme"), seps[k]);
        c.dances[k] = countHolding(DancesData, QStringLiteral("Music"), seps[k]);
    }
    return c;
}

QString DelimiterReport(QChar configured, const DelimiterCounts &counts) {
    QString text = configured == SepDot
                       ? QStringLiteral("Quillary.Ini specifies standard delimiter: \"\u00B7\"")
                       : QStringLiteral("Quillary.Ini specifies alternative delimiter: \"") + configured + QStringLiteral("\"");
    const QString seps[3] = {QString(SepDot), QString(SepEuro), OldPair};
    for (int k = 0; k < 3; ++k)
        text += QStringLiteral("\r") + seps[k] + QStringLiteral(" appears in ") + QString::number(counts.events[k]) +
                QStringLiteral(" Event(s) and ") + QString::number(counts.dances[k]) + QStringLiteral(" Dance(s).");
    return text;
}

void SwitchDelimiter(QChar newSeparator, QChar oldSeparator) {
    EventsData.CheckBrowseMode();
    DancesData.CheckBrowseMode();
    EventsData.DisableControls();
    DancesData.DisableControls();
    try {
        Batch batch(Conn);
        for (const auto &[table, column] : {std::pair{QStringLiteral("Events"), QStringLiteral("Programme")},
                                            std::pair{QStringLiteral("Dances"), QStringLiteral("Music")}}) {
            Statement s(Conn.handle(), QStringLiteral("UPDATE %1 SET %2 = replace(replace(%2, ?1, ?3), ?2, ?3) "
                                                      "WHERE instr(%2, ?1) > 0 OR instr(%2, ?2) > 0")
                                           .arg(bracket(table), bracket(column)));
            s.bindAll({OldPair, QString(oldSeparator), QString(newSeparator)});
            s.step();
        }
        batch.commit();
    } catch (...) {
        EventsData.EnableControls();
        DancesData.EnableControls();
        throw;
    }
    Conn.tableChanged(QStringLiteral("Events"));
    Conn.tableChanged(QStringLiteral("Dances"));
    EventsData.EnableControls();
    DancesData.EnableControls();
}

void CheckDelimiterClick() {
    const QString delim = SettingText(QStringLiteral("System"), QStringLiteral("Delim"));
    const QChar configured = delim.isEmpty() ? SepDot : delim[0];
    const QString text = DelimiterReport(configured, CountDelimiters());
    const int answer = DBox3(text + QStringLiteral("\r\rSwitch delimiter to:"), QStringLiteral("&Standard"),
                             QStringLiteral("&Alternative"), 30400, QStringLiteral("Cancel"));
    if (answer != ResultYes && answer != ResultNo) return;
    const QChar newSeparator = answer == ResultYes ? SepDot : SepEuro;
    const QChar oldSeparator = answer == ResultYes ? SepEuro : SepDot;
    if (IniFile) IniFile->WriteString(QStringLiteral("System"), QStringLiteral("Delim"), QString(newSeparator));
    ProgrammeSeparator = newSeparator;
    SwitchDelimiter(newSeparator, oldSeparator);
    TheMainWindow().ShowEvent();
    TheMainWindow().ShowDance();
}

// ---- Openers ---------------------------------------------------------------------

void DosShellClick() {
    // A terminal in the current folder, which is the data folder.
    QDir::setCurrent(DataFolder);
    if (!CurrentProcessRunner().startDetached(QStringLiteral("x-terminal-emulator"), {}))
        ShowMsg(QStringLiteral("Unable to run \rx-terminal-emulator"));
}

void EditIniClick() { OpenWithEditor(IniName.isEmpty() ? FindFileNoCase(DataFolder, StandardIniName) : IniName); }

void EditTemplateClick() { OpenWithEditor(DataFolder + SettingText(QStringLiteral("User"), QStringLiteral("Template"))); }

void ToDoClick() { OpenDocument(FindFileNoCase(DataFolder, QStringLiteral("ToDo.Txt"))); }
