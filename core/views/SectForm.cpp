#include "core/views/SectForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/services/Help.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "core/views/SectionEdit.h"
#include "platform/ini/IniFile.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

QString SectionName;
std::function<void()> RecordedSectionSaved;

namespace {
constexpr int TimingsHelp = 85600;
}

TSectForm::TSectForm(const QString &section, int helpContext, QWidget *parent)
    : QDialog(parent), help(helpContext ? helpContext : 58000) {
    setObjectName(QStringLiteral("SectForm"));
    setWindowTitle(section);
    setModal(true);
    SectionName = section;
    FList = new QPlainTextEdit(this);
    FList->setObjectName(QStringLiteral("FList"));
    FList->setMinimumSize(360, 300);
    FList->setLineWrapMode(QPlainTextEdit::NoWrap);
    OKBtn = new QPushButton(QStringLiteral("&Save"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    ExitBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    HelpBtn = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(ExitBtn);
    buttons->addStretch(1);
    buttons->addWidget(HelpBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FList, 1);
    layout->addLayout(buttons);
    if (IniFile) FList->setPlainText(IniFile->ReadSectionValues(section).join(QLatin1Char('\n')));
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        if (Save()) done(ResultOK);
    });
    connect(ExitBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });
    connect(HelpBtn, &QPushButton::clicked, this, [this] { OpenHelp(help); });
}

TSectForm::~TSectForm() { SectionName.clear(); }

bool TSectForm::Save() {
    const QString text = FList->toPlainText();
    if (SameText(SectionName, QStringLiteral("Display"))) {
        QStringList fields;
        if (DancesData.active())
            for (int i = 0; i < DancesData.FieldCount(); ++i) fields.append(DancesData.Fields(i).FieldName());
        if (const std::optional<QString> unknown = UnknownDisplayField(text, fields)) {
            ShowMsg(QStringLiteral("Unknown field: ") + *unknown);
            return false;
        }
    }
    if (!IniFile) return false;
    try {
        IniFile->ReplaceSection(SectionName, SectionPairs(text));
    } catch (const std::exception &e) {
        ShowMsg(QString::fromStdString(e.what()));
        return false;
    }
    if (SameText(SectionName, QStringLiteral("Recorded"))) {
        if (RecordedSectionSaved) RecordedSectionSaved();
        return true;
    }
    WriteLog(QStringLiteral("DoFree"));
    TheMainWindow().RebuildProgrammeDisplay();
    if (IniFile->ReadSection(QStringLiteral("Timings")).size() != 9) OpenHelp(TimingsHelp);
    return true;
}

int EditSection(const QString &section, int helpContext, QWidget *parent) {
    TSectForm form(section, helpContext, parent);
    return form.exec();
}
