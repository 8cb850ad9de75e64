#pragma once
// Binds edit boxes to the fields of a dataset's current record. A box shows
// its field; typing puts the dataset into edit; the typed text reaches the
// field when the box is left (or Return is pressed), or when the record is
// posted. A box takes at most its field's size in characters, and is
// disabled while the dataset is closed. The last bound box that had the
// focus is remembered.

#include "platform/sqlite/Dataset.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

class TDataSource : public QObject, public DatasetObserver {
    Q_OBJECT
public:
    explicit TDataSource(QObject *parent = nullptr);
    ~TDataSource() override;

    // The dataset shown (not owned); null for none.
    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return ds; }

    void bind(QLineEdit *box, const QString &field);
    // An editable drop-down: its text is the field's.
    void bind(QComboBox *box, const QString &field);

    // The field a box shows, "" for a box that is not bound here.
    QString fieldOf(const QWidget *box) const;
    QList<QWidget *> boxes() const;
    // The last bound box that had the focus, or null.
    QWidget *lastFocused() const { return last; }
    // Whether the box holds typed text not yet in the field.
    bool pending(const QWidget *box) const;

    // Every box shows its field again; typed text is dropped.
    void refresh();
    // Writes the typed text of every box into the record.
    void writeAll();

    void datasetChanged(Dataset &dataset, DatasetChange change) override;
    // A refused text abandons the post that asked for it (SilentAbort).
    void writePending(Dataset &dataset) override;

    // A box's text that its number or date field cannot take: the box shows
    // the field again, nothing is left to write, the focus stays in the box
    // and this says why (the box, its field, the text refused).
    std::function<void(QWidget *, const QString &, const QString &)> OnRefused;

signals:
    // The user changed a box's text.
    void edited(QWidget *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Binding {
        QWidget *box = nullptr;
        QLineEdit *edit = nullptr; // the box's line edit
        QString field;
    };
    void add(QWidget *box, QLineEdit *edit, const QString &field);
    void typed(QWidget *box);
    // False when the text was refused.
    bool write(const Binding &b);
    void show(const Binding &b);
    void fitAll();
    const Binding *find(const QObject *box) const;

    Dataset *ds = nullptr;
    QList<Binding> bindings;
    QSet<const QWidget *> dirty;
    QPointer<QWidget> last;
    bool showing = false;
};
