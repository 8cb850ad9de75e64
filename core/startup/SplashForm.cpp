#include "core/startup/SplashForm.h"

#include "base/Dates.h"
#include "base/Messages.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/StartupRules.h"
#include "platform/picture/ProgramCursors.h"

#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

TSplashForm *SplashForm = nullptr;

namespace {

void setColour(QWidget *w, QPalette::ColorRole role, const QColor &colour) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

} // namespace

QString SplashVersionText(const QString &version, const QDate &fileDate) {
    QString date;
    if (fileDate.isValid())
        date = QStringLiteral("%1-%2-%3")
                   .arg(fileDate.day())
                   .arg(ShortMonthNames().at(fileDate.month() - 1))
                   .arg(fileDate.year());
    return QStringLiteral("Version ") + version + QStringLiteral("    ") + date;
}

int TenPointHeight(double logicalDpi) {
    return int(std::lround(10.0 * logicalDpi / 72.0));
}

bool LargeFonts(int tenPointHeight) {
    return tenPointHeight > 13;
}

bool VeryLargeFonts(int tenPointHeight) {
    return tenPointHeight > 17;
}

TSplashForm::TSplashForm(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setAutoFillBackground(true);
    const QString program = QCoreApplication::applicationFilePath();
    // A second, older copy kept beside the current one shows in yellow.
    const bool old = QFileInfo(program).fileName().toLower().contains(QLatin1String("oldquillary"));
    setColour(this, QPalette::Window, old ? QColor(Qt::yellow) : QColor(0, 255, 255));

    TitleLab = new QLabel(QStringLiteral("Quillary"), this);
    TitleLab->setObjectName(QStringLiteral("TitleLab"));
    QFont big = TitleLab->font();
    big.setPointSize(28);
    big.setBold(true);
    TitleLab->setFont(big);
    TitleLab->setAlignment(Qt::AlignCenter);

    Version = new QLabel(this);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignCenter);
    Version->setText(SplashVersionText(ProgramVersion, QFileInfo(program).lastModified().date()));

    Website = new QLabel(WebsiteAddress, this);
    Website->setObjectName(QStringLiteral("Website"));
    Website->setAlignment(Qt::AlignCenter);
    Website->setTextFormat(Qt::PlainText);
    setColour(Website, QPalette::WindowText, Qt::blue);
    Website->installEventFilter(this);

    Status = new QPlainTextEdit(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setReadOnly(true);
    Status->setFrameShape(QFrame::NoFrame);
    Status->setFixedHeight(40);
    setColour(Status, QPalette::Base, palette().color(QPalette::Window));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 12);
    layout->addWidget(TitleLab);
    layout->addWidget(Version);
    layout->addWidget(Website);
    layout->addWidget(Status);
    setFixedSize(420, 220);
}

void TSplashForm::centreOnScreen() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect r = screen->availableGeometry();
    move(r.center() - rect().center());
}

void TSplashForm::Start() {
    centreOnScreen();
    show();
    PlayWaveResource(QStringLiteral("Click"));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int h = TenPointHeight(screen ? screen->logicalDotsPerInch() : 96);
    if (LargeFonts(h)) ScaleQuarters = 5;
    if (VeryLargeFonts(h)) ShowMsg(VeryLargeFontsText);
}

void TSplashForm::SetStatus(const QString &text) {
    Status->setPlainText(text);
    Status->repaint();
}

bool TSplashForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Website) {
        switch (event->type()) {
        case QEvent::Enter:
            setColour(Website, QPalette::WindowText, Qt::red);
            Website->setCursor(ProgramCursorOf(ProgramCursor::WebSite));
            break;
        case QEvent::Leave:
            setColour(Website, QPalette::WindowText, Qt::blue);
            Website->unsetCursor();
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                OpenDocument(WebsiteAddress);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HideSplash() {
    if (SplashForm) SplashForm->hide();
}

void CloseSplash() {
    if (!SplashForm) return;
    SplashForm->close();
    SplashForm->deleteLater();
    SplashForm = nullptr;
}
