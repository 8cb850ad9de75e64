#include "presentation/whiteboard/LibForm.h"

#include "base/Messages.h"
#include "core/services/Help.h"
#include "platform/ini/IniFile.h"
#include "presentation/whiteboard/WhiteboardItem.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

TLibForm::TLibForm(TIniFile &library, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LibForm"));
    setWindowTitle(QStringLiteral("Import from Library"));
    auto *area = new QScrollArea(this);
    auto *inner = new QWidget;
    QFont verdana(QStringLiteral("Verdana"));
    int top = 15;
    QStringList sections = library.ReadSections();
    for (const QString &s : sections) {
        if (!s.startsWith('%') || s.endsWith(QStringLiteral(".Bak"), Qt::CaseInsensitive)) continue;
        auto *box = new QCheckBox(DoubleAmpersands(s.mid(1)), inner);
        box->setProperty("section", s);
        box->setFont(verdana);
        box->setAutoFillBackground(true);
        box->setStyleSheet(QStringLiteral("QCheckBox { background: rgb(255,255,128); }"));
        box->setGeometry(9, top, 220, 18);
        auto *kind = new QLabel(LibraryKind(library, s), inner);
        kind->setFont(verdana);
        kind->setStyleSheet(QStringLiteral("QLabel { background: lime; }"));
        kind->setGeometry(230, top, 70, 18);
        rows << box;
        top += 20;
    }
    inner->setMinimumSize(310, top + 10);
    area->setWidget(inner);
    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { OpenHelp(57558); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(area);
    layout->addWidget(buttons);
    resize(360, std::min(600, top + 100));
}

QStringList TLibForm::Ticked() const {
    QStringList out;
    for (QCheckBox *box : rows)
        if (box->isChecked()) out << box->property("section").toString();
    return out;
}
