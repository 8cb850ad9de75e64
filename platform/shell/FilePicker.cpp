#include "platform/shell/FilePicker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class DialogPicker : public FilePicker {
public:
    bool pick(const FilePickRequest &r, QString &chosen) override {
        if (r.chooseFolder) {
            chosen = QFileDialog::getExistingDirectory(r.owner, r.title, r.folder);
            return !chosen.isEmpty();
        }
        QFileDialog dialog(r.owner, r.title, r.folder);
        dialog.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(r.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (!r.nameFilter.isEmpty()) dialog.setNameFilter(r.nameFilter);
        dialog.setDefaultSuffix(r.defaultSuffix);
        if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        chosen = dialog.selectedFiles().constFirst();
        return true;
    }
};

FilePicker *g_picker = nullptr;

} // namespace

FilePicker &CurrentFilePicker() {
    static DialogPicker dialog;
    return g_picker ? *g_picker : dialog;
}

void SetFilePicker(FilePicker *picker) { g_picker = picker; }
