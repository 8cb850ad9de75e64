#include "publishing/catalogue/ValForm.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/services/Help.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "publishing/catalogue/Validate.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TValForm::TValForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ValForm"));
    setWindowTitle(QStringLiteral("Validate Dances"));
    Lvl = new QCheckBox(QStringLiteral("Check Lvl non-blank"), this);
    Lvl->setObjectName(QStringLiteral("Lvl"));
    Music = new QCheckBox(QStringLiteral("Check Music non-blank"), this);
    Music->setObjectName(QStringLiteral("Music"));
    Links = new QCheckBox(QStringLiteral("Check Links valid"), this);
    Links->setObjectName(QStringLiteral("Links"));
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    for (QCheckBox *c : {Lvl, Music, Links}) layout->addWidget(c);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
}

void TValForm::HelpBtnClick() { OpenHelp(55600); }

void ValidateDances(QWidget *owner) {
    ValidateOptions options = LoadValidateOptions();
    {
        TValForm form(owner);
        form.Lvl->setChecked(options.lvl);
        form.Music->setChecked(options.music);
        form.Links->setChecked(options.links);
        if (form.exec() != QDialog::Accepted) return;
        options = {form.Lvl->isChecked(), form.Music->isChecked(), form.Links->isChecked()};
    }
    if (DancesData.active()) DancesData.CheckBrowseMode();
    WriteLog(QStringLiteral("Validate Dances"));
    StoreValidateOptions(options);

    ValidateContext context;
    context.sep = ProgrammeSeparator;
    context.locationColumn = LocationColumn;
    context.baseFolder = QString(BaseFolder).replace(QLatin1Char('\\'), QLatin1Char('/'));
    context.dataFolder = DataFolder;
    // A file is found whatever the case of its name.
    context.fileExists = [](const QString &path) {
        const QFileInfo info(path);
        return info.isFile() || QFileInfo(FindFileNoCase(info.absolutePath() + QLatin1Char('/'), info.fileName())).isFile();
    };
    context.log = [](const QString &text) { WriteLog(text); };
    TheMainWindow().SetBusy(true);
    QString result;
    {
        // The dance the walk stopped on is shown whole, however it ends.
        const auto show = qScopeGuard([] {
            TheMainWindow().ShowDance();
            TheMainWindow().SetBusy(false);
        });
        try {
            result = ValidateWalk(DancesData, options, context);
        } catch (const DbError &e) {
            result = e.text();
        }
    }
    ShowMsg(result);
}
