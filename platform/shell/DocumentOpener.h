#pragma once
// Hands a file, web address or mail link to the program the desktop
// associates with it. Replaceable, so that tests never open a browser.

#include <QUrl>

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // False when the desktop could not open it.
    virtual bool open(const QUrl &target) = 0;
};

// The opener in use: the one installed, else the desktop's.
DocumentOpener &CurrentDocumentOpener();
// Installs an opener (not owned); null restores the desktop's.
void SetDocumentOpener(DocumentOpener *opener);
