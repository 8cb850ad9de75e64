#include "app/DatabaseMenus.h"

#include "core/database/DatabaseTools.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "publishing/catalogue/RestForm.h"
#include "publishing/exchange/ExpForm.h"
#include "publishing/exchange/ImpForm.h"

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>

namespace {

QAction *addCommand(QMenu *menu, const QString &caption, const char *name, int help, std::function<void()> run) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (help) a->setProperty("HelpContext", help);
    QObject::connect(a, &QAction::triggered, menu, [run] { run(); });
    return a;
}

// The focus control of the window, when it has one.
void withFocus(const std::function<void(const FocusControl *)> &command) {
    FocusControl focus;
    command(TheMainWindow().Focus(&focus) ? &focus : nullptr);
}

} // namespace

void AddDatabaseCommands(QWidget *owner, QMenu *tools, QMenu *settings) {
    const InputAsker ask = [owner](const QString &caption, const QString &prompt, QString *value) {
        bool ok = false;
        const QString text = QInputDialog::getText(owner, caption, prompt, QLineEdit::Normal, *value, &ok);
        if (ok) *value = text;
        return ok;
    };
    const FileChooser choose = [owner](const QString &caption, const QString &folder, const QString &filter) {
        return QFileDialog::getOpenFileName(owner, caption, folder, DialogNameFilter(filter));
    };

    tools->addSeparator();
    addCommand(tools, QStringLiteral("Set all"), "SetAll", 51650, [] { withFocus(SetAllClick); });
    addCommand(tools, QStringLiteral("Change all"), "ChangeAll", 51620,
               [ask] { withFocus([&](const FocusControl *f) { ChangeAllClick(f, ask); }); });
    addCommand(tools, QStringLiteral("Delete Events"), "DeleteEvents", 58500, [] {
        // The date box shows the current event's date.
        DeleteEventsClick(EventsData.active() && !EventsData.IsEmpty()
                              ? EventsData.FieldByName(QStringLiteral("EDate")).AsString()
                              : QString());
    });
    // The question names the shown dances by the Dances filter as SQL.
    addCommand(tools, QStringLiteral("Delete Dances"), "DeleteDances", 58650,
               [] { DeleteDancesClick(DancesFilter, NotChecked != NotSelection::None); });
    addCommand(tools, QStringLiteral("Remove \"Called\""), "RemoveCalled", 58700, [] { RemoveCalledClick(); });
    tools->addSeparator();
    addCommand(tools, QStringLiteral("View SQL"), "ViewSQL", 0, [] { ViewSQLClick(); });
    addCommand(tools, QStringLiteral("Rerun SQL"), "RerunSQL", 0, [] { RerunSQLClick(); });
    tools->addSeparator();
    addCommand(tools, QStringLiteral("Compress"), "Compress", 0, [] { CompressClick(CompressSender::Menu); });
    addCommand(tools, QStringLiteral("Backup"), "BackupM", 0, [] { BackupClick(); });
    addCommand(tools, QStringLiteral("Restore"), "RestoreM", 0, [] { RestoreClick(); });
    tools->addSeparator();
    for (const bool dances : {false, true})
        addCommand(tools, dances ? QStringLiteral("Import Dances") : QStringLiteral("Import Events"),
                   dances ? "ImportDances" : "ImportEvents", 58300, [owner, dances] { DoImport(owner, dances); });
    for (const bool dances : {false, true})
        addCommand(tools, dances ? QStringLiteral("Export Dances") : QStringLiteral("Export Events"),
                   dances ? "ExportDances" : "ExportEvents", 58305, [owner, dances] { DoExport(owner, dances); });
    for (const bool dances : {false, true})
        addCommand(tools, dances ? QStringLiteral("Resize Dances") : QStringLiteral("Resize Events"),
                   dances ? "ResizeDances" : "ResizeEvents", 58307, [owner, dances] { ShowResizeForm(owner, dances); });
    tools->addSeparator();
    addCommand(tools, QStringLiteral("&DOS shell"), "DosShell", 58400, [] { DosShellClick(); });
    addCommand(tools, QStringLiteral("Edit Ini file"), "EditIni", 58410, [] { EditIniClick(); });
    addCommand(tools, QStringLiteral("Edit Template"), "EditTemplate", 58420, [] { EditTemplateClick(); });
    addCommand(tools, QStringLiteral("To Do"), "ToDo", 51700, [] { ToDoClick(); });

    settings->addSeparator();
    addCommand(settings, QStringLiteral("Switch database"), "SwitchDatabase", 51500, [choose] { SwitchDatabaseClick(choose); });
    addCommand(settings, QStringLiteral("Check delimiter"), "CheckDelimiter", 51550, [] { CheckDelimiterClick(); });
}
