#pragma once

#include <QObject>

// Switches the tooltips of a widget and its children off and on again; Qt has no such switch
// on a tool bar.
class TToolTipSwitch : public QObject
{
    Q_OBJECT
public:
    explicit TToolTipSwitch(QWidget* watched);
    void setEnabled(bool enabled) { tooltipsShown = enabled; }
    bool isEnabled() const { return tooltipsShown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* area;
    bool tooltipsShown = true;
};
