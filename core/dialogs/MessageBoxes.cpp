#include "core/dialogs/MessageBoxes.h"

#include "core/dialogs/DBox3Form.h"
#include "core/services/Help.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Quillary");

void prepare(QMessageBox &box, const QString &text) {
    box.setWindowTitle(Title);
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

// A box asked for while a stay-on-top window shows (the splash window during
// start-up) stays on top as well; otherwise it would open hidden behind that
// window and the run would wait for an answer nobody can see.
void keepAboveTopMost(QWidget &box) {
    bool needed = false;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != &box && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            needed = true;
            break;
        }
    if (box.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != needed)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, needed);
}

int dialogResult(QMessageBox::StandardButton b) {
    switch (b) {
    case QMessageBox::Yes:
        return ResultYes;
    case QMessageBox::No:
        return ResultNo;
    case QMessageBox::Ok:
        return ResultOK;
    default:
        return ResultCancel;
    }
}

BoxResult message(const BoxRequest &r) {
    QMessageBox box(QApplication::activeWindow());
    prepare(box, r.text);
    box.setStandardButtons(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    // The timed message closes by itself when its time runs out.
    if (r.timeoutMs > 0)
        QTimer::singleShot(r.timeoutMs, &box, [&box] { box.done(QMessageBox::Ok); });
    keepAboveTopMost(box);
    box.exec();
    BoxResult res;
    res.result = ResultOK;
    return res;
}

BoxResult question(const BoxRequest &r) {
    QMessageBox box(QApplication::activeWindow());
    prepare(box, r.text);
    if (r.kind == BoxKind::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    keepAboveTopMost(box);
    box.exec();
    BoxResult res;
    res.result = dialogResult(box.standardButton(box.clickedButton()));
    return res;
}

// Yes, No and Help: Help opens the topic and leaves the question open, which
// a QMessageBox cannot do since every one of its buttons closes it.
class YesNoHelpBox : public QDialog {
public:
    YesNoHelpBox(const BoxRequest &r, QWidget *parent)
        : QDialog(parent), helpContext(r.helpContext) {
        setObjectName(QStringLiteral("YesNoHelpBox"));
        setWindowTitle(Title);
        auto *text = new QLabel(r.text, this);
        text->setObjectName(QStringLiteral("Msg"));
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::NoTextInteraction);
        auto *yes = new QPushButton(QStringLiteral("&Yes"), this);
        yes->setObjectName(QStringLiteral("YesBtn"));
        yes->setDefault(true);
        auto *no = new QPushButton(QStringLiteral("&No"), this);
        no->setObjectName(QStringLiteral("NoBtn"));
        auto *help = new QPushButton(QStringLiteral("&Help"), this);
        help->setObjectName(QStringLiteral("HelpBtn"));
        auto *buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(yes);
        buttons->addWidget(no);
        buttons->addWidget(help);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(text);
        layout->addLayout(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        connect(yes, &QPushButton::clicked, this, [this] { done(ResultYes); });
        connect(no, &QPushButton::clicked, this, [this] { done(ResultNo); });
        connect(help, &QPushButton::clicked, this, [this] { OpenHelp(helpContext); });
    }

private:
    int helpContext;
};

BoxResult yesNoHelp(const BoxRequest &r) {
    YesNoHelpBox box(r, QApplication::activeWindow());
    keepAboveTopMost(box);
    BoxResult res;
    res.result = box.exec() == ResultYes ? ResultYes : ResultNo;
    return res;
}

BoxResult input(const BoxRequest &r) {
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(r.caption.isEmpty() ? Title : r.caption);
    box.setLabelText(r.text);
    box.setTextValue(r.value);
    box.setInputMode(QInputDialog::TextInput);
    keepAboveTopMost(box);
    BoxResult res;
    res.result = box.exec() == QDialog::Accepted ? ResultOK : ResultCancel;
    if (res.result == ResultOK) res.text = box.textValue();
    return res;
}

} // namespace

MessageBoxPresenter::MessageBoxPresenter() = default;

MessageBoxPresenter::~MessageBoxPresenter() {
    if (DBox3Form == shared.get()) DBox3Form = nullptr;
}

BoxResult MessageBoxPresenter::present(const BoxRequest &r) {
    switch (r.kind) {
    case BoxKind::Message:
        return message(r);
    case BoxKind::YesNo:
    case BoxKind::YesNoCancel:
        return question(r);
    case BoxKind::YesNoHelp:
        return yesNoHelp(r);
    case BoxKind::DBox3:
        return dbox3(r);
    case BoxKind::Input:
        return input(r);
    }
    return {};
}

void MessageBoxPresenter::CreateSharedBox() {
    if (shared) return;
    shared = std::make_unique<TDBox3Form>();
    DBox3Form = shared.get();
}

BoxResult MessageBoxPresenter::dbox3(const BoxRequest &r) {
    CreateSharedBox();
    if (!shared->isVisible()) {
        keepAboveTopMost(*shared);
        return shared->Execute(r);
    }
    // A box asked for while the reused one is up gets its own, so the first
    // keeps its text and its answer.
    TDBox3Form nested;
    keepAboveTopMost(nested);
    return nested.Execute(r);
}
