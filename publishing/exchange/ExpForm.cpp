#include "publishing/exchange/ExpForm.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/services/Help.h"
#include "publishing/exchange/Csv.h"
#include "publishing/exchange/CsvExport.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *w, const char *name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TExpForm::TExpForm(QWidget *parent, bool isDances) : QDialog(parent), m_dataset(isDances ? &DancesData : &EventsData) {
    setObjectName(QStringLiteral("ExpForm"));
    setWindowTitle(QStringLiteral("Export ") + m_dataset->tableName());
    ExportTo = named(new QLineEdit(this), "ExportTo");
    Info = named(new QLabel(this), "Info");
    Info->setFrameShape(QFrame::Panel);
    Delimiter = named(new QLineEdit(QStringLiteral("\""), this), "Delimiter");
    Separator = named(new QLineEdit(QStringLiteral(","), this), "Separator");
    for (QLineEdit *e : {Delimiter, Separator}) {
        e->setMaxLength(1);
        e->setMaximumWidth(40);
    }
    RecCount = named(new QLineEdit(QStringLiteral("0"), this), "RecCount");
    RecCount->setMaximumWidth(80);
    DelimNums = named(new QCheckBox(QStringLiteral("Delimit Numerics"), this), "DelimNums");
    FNames = named(new QCheckBox(QStringLiteral("Output field names"), this), "FNames");
    SelFields = named(new QCheckBox(QStringLiteral("Select fields"), this), "SelFields");
    ExportBtn = named(new QPushButton(QStringLiteral("&Export"), this), "ExportBtn");
    ExportBtn->setDefault(true);
    ExitBtn = named(new QPushButton(QStringLiteral("E&xit"), this), "ExitBtn");
    HelpBtn = named(new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), QStringLiteral("&Help"), this),
                    "HelpBtn");

    // One unticked box per field, in field order, 20 apart.
    FNPanel = named(new QWidget(this), "FNPanel");
    for (int i = 0; i < m_dataset->FieldCount(); ++i) {
        auto *box = new QCheckBox(m_dataset->Fields(i).FieldName(), FNPanel);
        box->setObjectName(m_dataset->Fields(i).FieldName());
        box->move(15, 10 + 20 * i);
        FieldBoxes.append(box);
    }
    FNPanel->setMinimumSize(200, 10 + 20 * int(FieldBoxes.size()) + 10);
    FNPanel->hide();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("File to export to:"), ExportTo);
    form->addRow(Info);
    form->addRow(QStringLiteral("Delimiter"), Delimiter);
    form->addRow(QStringLiteral("Separator"), Separator);
    form->addRow(DelimNums);
    form->addRow(FNames);
    form->addRow(SelFields);
    form->addRow(QStringLiteral("Record count (0 for all)"), RecCount);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {ExportBtn, ExitBtn, HelpBtn}) buttons->addWidget(b);
    auto *left = new QVBoxLayout;
    left->addLayout(form);
    left->addStretch(1);
    left->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(FNPanel);

    connect(SelFields, &QCheckBox::toggled, this, [this] { SelFieldsClick(); });
    connect(ExportBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
}

void TExpForm::SelFieldsClick() {
    FNPanel->setVisible(SelFields->isChecked());
    if (SelFields->isChecked()) showMaximized();
    else showNormal();
}

void TExpForm::HelpBtnClick() { OpenHelp(58305); }

void TExpForm::DoExport() {
    WriteLog(QStringLiteral("Export"));
    const int count = m_dataset->Filtered() ? m_dataset->VisibleCount() : m_dataset->RecordCount();
    // The default file goes to the data folder.
    if (ExportTo->text().isEmpty())
        ExportTo->setText(QDir(DataFolder).filePath(m_dataset->tableName() + QStringLiteral(".CSV")));
    Info->setText(ExportInfoText(m_dataset->Filtered(), count));
    int records = 0;
    QString file;
    for (;;) {
        ExportBtn->setFocus();
        if (exec() != QDialog::Accepted) return;
        file = ExportTo->text().trimmed();
        if (!file.isEmpty() && QFileInfo(file).isRelative()) file = QDir(DataFolder).filePath(file);
        if (!file.isEmpty() && QFileInfo::exists(file) && !YesNo(file + QStringLiteral("\rOverwrite existing data?")))
            return;
        const QString fault = ExportInputFault(file, RecCount->text(), &records);
        if (fault.isEmpty()) break;
        ShowMsg(fault);
        RecCount->setText(QString::number(records));
    }
    ExportJob job;
    job.dataset = m_dataset;
    job.file = file;
    job.delimiter = CsvBoxChar(Delimiter->text(), QLatin1Char('"'));
    job.separator = CsvBoxChar(Separator->text(), QLatin1Char(','));
    job.delimitNumerics = DelimNums->isChecked();
    job.fieldNames = FNames->isChecked();
    job.recordCount = records;
    job.allFields = !SelFields->isChecked();
    for (int i = 0; i < FieldBoxes.size(); ++i)
        if (FieldBoxes[i]->isChecked()) job.fields.append(i);
    try {
        RunExport(job);
    } catch (const std::exception &e) {
        ShowMsg(QString::fromLocal8Bit(e.what()));
    }
}

void DoExport(QWidget *owner, bool isDances) {
    TExpForm form(owner, isDances);
    form.DoExport();
}
