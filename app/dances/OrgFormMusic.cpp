// The main window's side of the Music dialog: opening it, the programme
// row's recording choice, storing the music text, and the base folder.

#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/shell/FilePicker.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/music/MusForm.h"
#include "presentation/music/Playback.h"
#include "presentation/music/RecordingsCatalogue.h"
#include "programme/rows/ItemRows.h"
#include "programme/rows/ProgrammeRows.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

TDance *SelectedDanceRow(ProgrammeRows *rows) {
    return rows && ThisIndex >= 0 ? dynamic_cast<TDance *>(rows->ThisItem) : nullptr;
}

} // namespace

void TOrgForm::MusicBtnClick() {
    WriteLog(QStringLiteral("MusicBtnClick"));
    TMusForm &form = MusForm(this);
    form.FormShow();
    MusicDialogActive = true;
    struct Inactive {
        ~Inactive() { MusicDialogActive = false; }
    } inactive;
    form.exec();
}

QString TOrgForm::DanceTitle() { return Title->text(); }

int TOrgForm::ProgrammeMusicLine(const QString &title) {
    const TDance *row = SelectedDanceRow(Rows);
    return row && SameText(row->key().Title, title) ? row->Recording : -1;
}

void TOrgForm::SetProgrammeMusicLine(int n) {
    if (TDance *row = SelectedDanceRow(Rows)) {
        row->Recording = n;
        EventsChange();
    }
}

void TOrgForm::SaveDanceMusic(const QString &text) {
    MusicText = text;
    if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
    DancesData.FieldByName(QStringLiteral("Music")).SetAsString(text);
    SaveDRec();
    SetMusic();
}

void TOrgForm::SetBase(const QString &start) {
    if (start != QLatin1String("My Music") &&
        YesNoHelp(QStringLiteral("Do you want to set the base folder to \"My Music\"?"), 58111)) {
        IniFile->DeleteKey(QStringLiteral("System"), QStringLiteral("RFolder"));
    } else {
        FilePickRequest request;
        request.owner = this;
        request.title = QStringLiteral("Select Base folder");
        request.folder = BaseFolder;
        request.chooseFolder = true;
        QString folder;
        if (!CurrentFilePicker().pick(request, folder)) return;
        if (folder.size() < 5) AbortMsg(QStringLiteral("You must specify a drive and folder."));
        if (!QDir(folder).exists()) AbortMsg(folder + QStringLiteral("\rFolder not found."));
        if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
        IniFile->WriteString(QStringLiteral("System"), QStringLiteral("RFolder"), folder);
    }
    SetRFolder();
    RecordingFileList.clear();
    RefreshDets();
    RBaseBtn->setFocus();
}
