#pragma once
// The open and save dialogs behind one replaceable picker, so that tests
// script the user's choice.

#include <QString>

class QWidget;

struct FilePickRequest {
    QWidget *owner = nullptr;
    QString title;
    QString folder;        // where the dialog starts
    QString fileName;      // filled in when the dialog opens
    QString nameFilter;    // in the dialog's own form ("RTF files (*.RTF *.rtf)")
    QString defaultSuffix; // without its dot
    bool open = true;      // false: a save dialog that asks before overwriting
    bool chooseFolder = false; // a folder is chosen, not a file
};

class FilePicker {
public:
    virtual ~FilePicker() = default;
    // True with the chosen path on OK; false on Cancel.
    virtual bool pick(const FilePickRequest &request, QString &chosen) = 0;
};

// The picker in use: the one installed, else the Qt file dialog.
FilePicker &CurrentFilePicker();
// Installs a picker (not owned); null restores the file dialog.
void SetFilePicker(FilePicker *picker);
