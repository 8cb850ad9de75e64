#include "publishing/exchange/ImpForm.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/services/Help.h"
#include "core/services/ShellRoutines.h"

#include <QCheckBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget *grid(QWidget *parent, const char *name, const QStringList &headers) {
    auto *g = new QTableWidget(0, int(headers.size()), parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setHorizontalHeaderLabels(headers);
    g->verticalHeader()->hide();
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

void setCell(QTableWidget *g, int row, int column, const QString &text, bool right = false) {
    auto *item = new QTableWidgetItem(text);
    if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->setItem(row, column, item);
}

} // namespace

TImpForm::TImpForm(QWidget *parent, bool isDances)
    : QDialog(parent), m_dataset(isDances ? &DancesData : &EventsData),
      m_keyField(isDances ? QStringLiteral("Title") : QStringLiteral("Org")), m_isDances(isDances) {
    setObjectName(QStringLiteral("ImpForm"));
    setWindowTitle(QStringLiteral("Import ") + m_dataset->tableName());
    ImportWindowExists = true;

    auto *text = new QLabel(
        QStringLiteral("Click an input field on the left, then the output field it goes to on the right; "
                       "click an output field again to clear it. The first three fields must be imported, "
                       "as they locate the %1. \"Identical\" maps every field to the field in the same place, "
                       "for a file from a table of the same structure.")
            .arg(isDances ? QStringLiteral("dance") : QStringLiteral("event")),
        this);
    text->setWordWrap(true);
    InFields = grid(this, "InFields", {QString(), QStringLiteral("Input fields")});
    OutFields = grid(this, "OutFields", {QStringLiteral("Output field"), QStringLiteral("Copied from"), QString()});
    HasNames = new QCheckBox(QStringLiteral("First record is field names"), this);
    HasNames->setObjectName(QStringLiteral("HasNames"));
    ImportBtn = new QPushButton(QStringLiteral("&Import"), this);
    ImportBtn->setObjectName(QStringLiteral("ImportBtn"));
    IdentBtn = new QPushButton(QStringLiteral("Identical"), this);
    IdentBtn->setObjectName(QStringLiteral("IdentBtn"));
    HelpBtn = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    ExitBtn = new QPushButton(QStringLiteral("E&xit"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));

    auto *grids = new QHBoxLayout;
    grids->addWidget(InFields);
    grids->addWidget(OutFields);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(HasNames);
    buttons->addStretch(1);
    for (QPushButton *b : {ImportBtn, IdentBtn, HelpBtn, ExitBtn}) buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(grids, 1);
    layout->addLayout(buttons);
    resize(720, 480);

    connect(OutFields, &QTableWidget::cellClicked, this, [this](int row, int) { OutFieldsClick(row); });
    connect(IdentBtn, &QPushButton::clicked, this, [this] { IdentBtnClick(); });
    connect(ImportBtn, &QPushButton::clicked, this, [this] { ImportClick(); });
    connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TImpForm::~TImpForm() { ImportWindowExists = false; }

bool TImpForm::prepare(const QByteArray &bytes) {
    m_bytes = bytes;
    const QStringList fields = ImportPreview(bytes);
    // The first line's fields, with the header row: 61 rows or more is too many.
    if (fields.size() >= MaxImportFields) {
        ShowMsg(QStringLiteral("Too many input fields."));
        return false;
    }
    InFields->setRowCount(int(fields.size()));
    for (int i = 0; i < fields.size(); ++i) {
        setCell(InFields, i, 0, QStringLiteral("%1").arg(i + 1, 2), true);
        setCell(InFields, i, 1, fields.at(i));
    }
    OutFields->setRowCount(m_dataset->FieldCount());
    for (int r = 0; r < m_dataset->FieldCount(); ++r) {
        setCell(OutFields, r, 0, m_dataset->Fields(r).FieldName());
        setCell(OutFields, r, 1, QString());
        setCell(OutFields, r, 2, QString());
    }
    if (!fields.isEmpty()) InFields->selectRow(0);
    IdentBtn->setEnabled(InFields->rowCount() == OutFields->rowCount());
    return true;
}

void TImpForm::OutFieldsClick(int row) {
    const int input = InFields->currentRow();
    const int before = input >= 0 ? m_map.feeds(input) : -1;
    const bool assigned = m_map.click(row, input);
    if (!assigned) {
        OutFields->item(row, 1)->setText(QString());
        OutFields->item(row, 2)->setText(QString());
        return;
    }
    if (before >= 0 && before != row) {
        OutFields->item(before, 1)->setText(QString());
        OutFields->item(before, 2)->setText(QString());
    }
    OutFields->item(row, 1)->setText(InFields->item(input, 0)->text());
    OutFields->item(row, 2)->setText(InFields->item(input, 1)->text());
}

void TImpForm::IdentBtnClick() {
    m_map.identical(InFields->rowCount());
    for (int r = 0; r < OutFields->rowCount() && r < InFields->rowCount(); ++r) {
        OutFields->item(r, 1)->setText(InFields->item(r, 0)->text());
        OutFields->item(r, 2)->setText(InFields->item(r, 1)->text());
    }
    HasNames->setChecked(true);
    ImportBtn->setFocus();
}

void TImpForm::ImportClick() {
    ImportJob job;
    job.dataset = m_dataset;
    job.keyField = m_keyField;
    job.isDances = m_isDances;
    job.caption = windowTitle();
    job.bytes = m_bytes;
    job.map = m_map;
    job.hasNames = HasNames->isChecked();
    RunImport(job);
}

void TImpForm::HelpBtnClick() { OpenHelp(58300); }

void DoImport(QWidget *owner, bool isDances) {
    WriteLog(QStringLiteral("Import"));
    QString file;
    if (!PickFile(owner, QStringLiteral("CSV files|*.CSV|All files|*.*"), DataFolder, true, file,
                  QStringLiteral("Import")))
        return;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        ShowMsg(QStringLiteral("Cannot read file %1: %2").arg(file, f.errorString()));
        return;
    }
    const QByteArray bytes = f.readAll();
    TImpForm form(owner, isDances);
    if (!form.prepare(bytes)) return;
    form.exec();
}
