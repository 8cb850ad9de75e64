#pragma once
// The splash window shown while the main window starts up: the version, a
// link to the maker's web site and a status line for long work.

#include <QWidget>

class QLabel;
class QPlainTextEdit;

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *parent = nullptr);

    QLabel *TitleLab;
    QLabel *Version;
    QLabel *Website;
    QPlainTextEdit *Status;

    // Shows the window, plays the start sound and checks the screen fonts.
    void Start();
    // Puts a line into the status memo and paints it at once.
    void SetStatus(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centreOnScreen();
};

// The splash window while it exists, else null.
extern TSplashForm *SplashForm;

// Hides the splash window when there is one.
void HideSplash();
// Closes it (the window is freed later).
void CloseSplash();

// "Version 6.103    4-Dec-2026": the version and the program file's date.
QString SplashVersionText(const QString &version, const QDate &fileDate);
// The pixel height of a 10-point font on a screen of that many logical dots
// per inch; above 13 the screen uses large fonts.
int TenPointHeight(double logicalDpi);
// Large fonts scale forms by five quarters; very large ones draw a warning.
bool LargeFonts(int tenPointHeight);
bool VeryLargeFonts(int tenPointHeight);
inline const QString VeryLargeFontsText = QStringLiteral(
    "Using a font size more than 125% means that some items will not be displayed correctly.");
