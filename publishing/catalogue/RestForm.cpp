#include "publishing/catalogue/RestForm.h"

#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/services/MainWindowLink.h"
#include "platform/sqlite/Dataset.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TRestForm::TRestForm(QWidget *parent, Dataset &dataset) : QDialog(parent), m_dataset(dataset) {
    setObjectName(QStringLiteral("RestForm"));
    setWindowTitle(dataset.tableName() + QStringLiteral(": Resize fields"));
    m_rows = ResizeRows(dataset);
    const auto label = [this](const QString &text, int left, int top, int width, bool right = false) {
        auto *l = new QLabel(text, this);
        l->setGeometry(left, top, width, 17);
        if (right) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    };
    label(QStringLiteral("Field"), 10, 56, 80);
    label(QStringLiteral("Current length"), 100, 56, 80);
    label(QStringLiteral("New length"), 180, 56, 80);
    int top = 80;
    for (const ResizeRow &r : m_rows) {
        label(r.field, 10, top, 80);
        label(QString::number(r.current), 100, top, 20, true);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(r.field);
        edit->setGeometry(180, top, 30, 17);
        NewLengths.append(edit);
        top += 19;
    }
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(60, 12, 75, 25);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(145, 12, 75, 25);
    setFixedSize(280, top - 19 + 56);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TRestForm::OKButtonClick() {
    for (int i = 0; i < m_rows.size(); ++i) m_rows[i].box = NewLengths[i]->text();
    const QString fault = ResizeFault(m_dataset.tableName(), m_rows);
    if (!fault.isEmpty()) return ShowMsg(fault);
    hide();
    QCoreApplication::processEvents();
    TheMainWindow().SetBusy(true);
    try {
        ApplyResize(m_dataset, m_rows);
    } catch (const DbError &e) {
        TheMainWindow().SetBusy(false);
        ShowMsg(e.text());
        reject();
        return;
    }
    TheMainWindow().SetBusy(false);
    ShowMsg(QStringLiteral("Table resized.\rYou now need to restart the Quillary."));
    accept();
    TheMainWindow().CloseMainWindow();
}

void ShowResizeForm(QWidget *owner, bool dances) {
    // The Events hooks stay off while the tables close and open.
    const auto before = EventsData.BeforePost;
    const auto after = EventsData.AfterPost;
    const auto scroll = EventsData.AfterScroll;
    EventsData.BeforePost = nullptr;
    EventsData.AfterPost = nullptr;
    EventsData.AfterScroll = nullptr;
    {
        TRestForm form(owner, dances ? DancesData : EventsData);
        form.exec();
    }
    EventsData.BeforePost = before;
    EventsData.AfterPost = after;
    EventsData.AfterScroll = scroll;
}
