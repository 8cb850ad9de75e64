#include "programme/files/InsForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int InsertHelp = 55250;

QString Background(TitleState state) {
    switch (state) {
    case TitleState::Unknown: return QStringLiteral("#ffffff");
    case TitleState::Known: return QStringLiteral("#d6d3ce");  // RGB 214, 211, 206
    case TitleState::Chosen: return QStringLiteral("#b18cff"); // RGB 177, 140, 255
    }
    return QString();
}

} // namespace

TInsForm::TInsForm(const QStringList &titles, const SqlTitleCatalogue &catalogue, InsertSink &sink, QWidget *parent)
    : QDialog(parent), titles(titles), catalogue(catalogue), sink(sink) {
    setObjectName(QStringLiteral("InsForm"));
    setWindowTitle(QStringLiteral("Insert from list"));
    setProperty("helpContext", InsertHelp);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Scroller = new QScrollArea(this);
    Scroller->setObjectName(QStringLiteral("Scroller"));
    Scroller->setWidgetResizable(false);
    Scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SelPanel = new QWidget;
    SelPanel->setObjectName(QStringLiteral("SelPanel"));
    Scroller->setWidget(SelPanel);
    layout->addWidget(Scroller, 1);
    auto *buttons = new QHBoxLayout;
    SelButton = new QPushButton(QStringLiteral("Insert"), this);
    SelButton->setObjectName(QStringLiteral("SelButton"));
    AllBtn = new QPushButton(QStringLiteral("All"), this);
    AllBtn->setObjectName(QStringLiteral("AllBtn"));
    buttons->addWidget(SelButton);
    buttons->addWidget(AllBtn);
    layout->addLayout(buttons);
    connect(SelButton, &QPushButton::clicked, this, [this] { BtnClick(SelButton); });
    connect(AllBtn, &QPushButton::clicked, this, [this] { BtnClick(AllBtn); });
    FormCreate();
}

void TInsForm::FormCreate() {
    int y = 1;
    bool anyKnown = false;
    for (int i = 0; i < titles.size(); ++i) {
        auto *label = new QLabel(DisplayTitle(titles[i]), SelPanel);
        label->setObjectName(QStringLiteral("Title") + QString::number(i));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(1, y, 262, 16);
        label->setProperty("Tag", i);
        label->setAutoFillBackground(true);
        label->installEventFilter(this);
        Labels.append(label);
        const bool known = !catalogue.Find(titles[i]).isEmpty();
        anyKnown = anyKnown || known;
        states.append(known ? TitleState::Known : TitleState::Unknown);
        paint(i);
        y += 18;
    }
    SelPanel->resize(264, y);
    // Top right of the screen, as tall as the titles need and the screen allows.
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                           : QRect(0, 0, 1280, 800);
    const int wanted = y + 60;
    const int height = std::min(wanted, screen.height() - 40);
    resize(290, std::max(height, 120));
    move(screen.right() - frameGeometry().width() + 1, screen.top());
    if (!anyKnown) OKHelpCancel(QStringLiteral("Insert from List: No dance titles found."), InsertHelp);
}

void TInsForm::paint(int index) {
    Labels[index]->setStyleSheet(QStringLiteral("QLabel { background: ") + Background(states[index]) +
                                 QStringLiteral("; color: black; }"));
}

void TInsForm::ItemClick(QLabel *label) {
    const int index = label->property("Tag").toInt();
    if (index < 0 || index >= states.size()) return;
    states[index] = Toggled(states[index]);
    paint(index);
}

bool TInsForm::eventFilter(QObject *watched, QEvent *event) {
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        if (auto *label = qobject_cast<QLabel *>(watched); label && Labels.contains(label)) {
            ItemClick(label);
            return true;
        }
    return QDialog::eventFilter(watched, event);
}

void TInsForm::BtnClick(QPushButton *sender) {
    const QList<int> wanted = TitlesToInsert(states, sender == AllBtn);
    if (wanted.isEmpty()) {
        OKHelpCancel(QStringLiteral("No dances selected."), InsertHelp);
        return;
    }
    const bool positional = sink.PositionalShown();
    QList<DanceKey> keys;
    QString missing;
    for (int i : wanted) {
        const std::optional<DanceKey> key = catalogue.Choose(titles[i], positional);
        if (!key) {
            missing = titles[i];
            break;
        }
        keys.append(*key);
    }
    // The dances found so far go in even when a later one has gone meanwhile.
    if (!keys.isEmpty()) sink.InsertDances(keys);
    if (!missing.isEmpty()) {
        WriteLog(QStringLiteral("Not found: ") + missing);
        ShowMsg(QStringLiteral("Internal error - dance not found."));
    }
    if (!keys.isEmpty()) accept();
}
