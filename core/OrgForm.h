#pragma once
// The main window.

#include <QMainWindow>

class TOrgForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TOrgForm(QWidget *parent = nullptr);
};

extern TOrgForm *OrgForm;
