#pragma once
// The help window: the compiled-in help pages in a browser with Back,
// Forward and Home (the contents). Not modal; opened while a modal box is
// up, it belongs to that box, stays usable beside it and closes with it.

#include <QWidget>

class QTextBrowser;
class QToolButton;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget *owner = nullptr);

    // Shows "page.html#anchor" (a page of the help folder) and raises the
    // window.
    void ShowTopic(const QString &target);

    QTextBrowser *Browser;
    QToolButton *BackBtn;
    QToolButton *ForwardBtn;
    QToolButton *HomeBtn;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc closes the window.
    void keyPressEvent(QKeyEvent *event) override;
};
