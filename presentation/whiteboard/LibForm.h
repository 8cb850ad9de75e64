#pragma once
// "Import from Library": one row per item of the downloaded library, a box
// to tick with the item's name and its kind beside it.

#include <QDialog>

class QCheckBox;
class TIniFile;

class TLibForm : public QDialog {
public:
    TLibForm(TIniFile &library, QWidget *parent = nullptr);
    QList<QCheckBox *> rows;
    // The library sections of the ticked rows.
    QStringList Ticked() const;
};
