#pragma once
// Keeps tool tips up for 20 seconds, long enough to read the longer hints.

#include <QObject>

class HintPause : public QObject {
    Q_OBJECT
public:
    static constexpr int HideMs = 20000;
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
