#pragma once
// The Events and Dances pages as table views of the two datasets, and the
// database commands of the Tools and Settings menus. The views are read-only;
// the column last clicked is the focus control of the commands that act on
// one field.

#include "core/MainWindowLink.h"

#include <QObject>

class QMainWindow;
class QTabWidget;
class QTableView;
class DatasetModel;
class Dataset;

class DatabasePages : public QObject, public MainWindowLink {
    Q_OBJECT
public:
    // Builds the pages and menus into the window and installs itself as the
    // window's link.
    explicit DatabasePages(QMainWindow *window);
    ~DatabasePages() override;

    void ShowDance() override;
    void ShowEvent() override;
    void SetBusy(bool busy) override;
    void CloseMainWindow() override;
    bool Focus(FocusControl *focus) override;

private:
    QTableView *addPage(Dataset &dataset, const QString &title, const QString &name);
    void follow(QTableView *view, int row);
    void cellClicked(QTableView *view, Dataset &dataset, int row, int column);
    void buildMenus();

    QMainWindow *m_window;
    QTabWidget *m_pages = nullptr;
    QTableView *m_events = nullptr;
    QTableView *m_dances = nullptr;
    FocusControl m_focus;
    bool m_hasFocus = false;
    int m_busy = 0;
};
