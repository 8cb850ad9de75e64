#include "platform/sqlite/DataSource.h"

#include "base/Messages.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

TDataSource::TDataSource(QObject *parent) : QObject(parent) {}

TDataSource::~TDataSource() {
    if (ds) ds->removeObserver(this);
}

void TDataSource::setDataset(Dataset *dataset) {
    if (ds == dataset) return;
    if (ds) ds->removeObserver(this);
    ds = dataset;
    if (ds) ds->addObserver(this);
    refresh();
}

void TDataSource::bind(QLineEdit *box, const QString &field) {
    add(box, box, field);
}

void TDataSource::bind(QComboBox *box, const QString &field) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    add(box, box->lineEdit(), field);
    connect(box, &QComboBox::activated, this, [this, box] { typed(box); });
}

void TDataSource::add(QWidget *box, QLineEdit *edit, const QString &field) {
    bindings.append({box, edit, field});
    box->installEventFilter(this);
    if (edit != box) edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, box] { typed(box); });
    connect(box, &QObject::destroyed, this, [this, box] {
        dirty.remove(box);
        for (int i = 0; i < bindings.size(); ++i)
            if (bindings[i].box == box) bindings.removeAt(i--);
    });
    show(bindings.last());
}

const TDataSource::Binding *TDataSource::find(const QObject *box) const {
    for (const Binding &b : bindings)
        if (b.box == box || b.edit == box) return &b;
    return nullptr;
}

QString TDataSource::fieldOf(const QWidget *box) const {
    const Binding *b = find(box);
    return b ? b->field : QString();
}

QList<QWidget *> TDataSource::boxes() const {
    QList<QWidget *> out;
    for (const Binding &b : bindings) out.append(b.box);
    return out;
}

bool TDataSource::pending(const QWidget *box) const {
    return dirty.contains(box);
}

void TDataSource::typed(QWidget *box) {
    if (showing || !ds || !ds->active()) return;
    dirty.insert(box);
    if (ds->State() == DatasetState::Browse) ds->Edit();
    emit edited(box);
}

bool TDataSource::write(const Binding &b) {
    if (!dirty.contains(b.box) || !ds || !ds->active()) return true;
    if (ds->State() == DatasetState::Browse) ds->Edit();
    Field *f = ds->FindField(b.field);
    // Taken off the list first, so that the record change shows the stored
    // value ("007" becomes "7" in a number field).
    dirty.remove(b.box);
    if (!f) return true;
    const QString text = b.edit->text();
    try {
        f->SetAsString(text);
    } catch (const DbError &) {
        const FieldType type = f->DataType();
        if (!OnRefused || type == FieldType::Text || type == FieldType::Memo) {
            dirty.insert(b.box);
            throw;
        }
        // Nothing stays pending: a later move or post does not meet it again.
        show(b);
        b.box->setFocus();
        OnRefused(b.box, b.field, text);
        // Ready to be typed over.
        b.box->setFocus();
        b.edit->selectAll();
        return false;
    }
    return true;
}

void TDataSource::writeAll() {
    const QList<Binding> all = bindings;
    bool refused = false;
    for (const Binding &b : all) refused = !write(b) || refused;
    if (refused) throw SilentAbort();
}

void TDataSource::show(const Binding &b) {
    const bool open = ds && ds->active();
    b.box->setEnabled(open);
    QString text;
    int size = 0;
    if (open) {
        if (Field *f = ds->FindField(b.field)) {
            text = f->AsString();
            if (f->DataType() == FieldType::Text) size = f->Size();
        }
    }
    showing = true;
    b.edit->setMaxLength(size > 0 ? size : 32767);
    if (b.edit->text() != text) b.edit->setText(text);
    b.edit->setCursorPosition(0);
    showing = false;
}

void TDataSource::refresh() {
    dirty.clear();
    for (const Binding &b : bindings) show(b);
}

void TDataSource::fitAll() {
    for (const Binding &b : bindings)
        if (!dirty.contains(b.box)) show(b);
}

void TDataSource::datasetChanged(Dataset &dataset, DatasetChange change) {
    if (&dataset != ds) return;
    const bool editing =
        ds->State() == DatasetState::Edit || ds->State() == DatasetState::Insert;
    if (change == DatasetChange::Scroll || !editing) refresh();
    else fitAll(); // typed text stays until it is written
}

void TDataSource::writePending(Dataset &dataset) {
    if (&dataset == ds) writeAll();
}

bool TDataSource::eventFilter(QObject *watched, QEvent *event) {
    const Binding *b = find(watched);
    if (b) {
        switch (event->type()) {
        case QEvent::FocusIn:
            last = b->box;
            break;
        case QEvent::FocusOut:
            if (b->edit == watched || b->box == watched) write(*b);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) write(*b);
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
