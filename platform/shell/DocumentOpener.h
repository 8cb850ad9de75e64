#pragma once
// Hands a file, web address or mail link to the program the desktop
// associates with it. Replaceable, so that tests never open a browser.

#include <QUrl>

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // False when the desktop could not open it.
    virtual bool open(const QUrl &target) = 0;
    // Whether the desktop has a program for this file's type. Openers that
    // do not know answer yes.
    virtual bool hasProgram(const QString &file) {
        Q_UNUSED(file);
        return true;
    }
};

// The opener in use: the one installed, else the desktop's.
DocumentOpener &CurrentDocumentOpener();
// Installs an opener (not owned); null restores the desktop's.
void SetDocumentOpener(DocumentOpener *opener);
