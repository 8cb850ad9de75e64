#pragma once
// The application object: routes exceptions that escape event handlers.

#include <QApplication>

class QuillaryApplication : public QApplication {
    Q_OBJECT
public:
    QuillaryApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
