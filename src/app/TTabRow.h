#pragma once

#include <QTabBar>

// The tab row over the editor. Unlike a plain QTabBar it tells before the user changes the tab
// (so the document shown can be saved first), reports right presses, and lets keyword tabs be
// dragged onto each other; the Diary tab at index 0 never moves and takes no drop. It takes no
// focus, so its window's Ctrl+Tab and Ctrl+PgDown (next) and Ctrl+Shift+Tab and Ctrl+PgUp
// (previous) switch tabs, whatever has the focus.
class TTabRow : public QTabBar
{
    Q_OBJECT
public:
    explicit TTabRow(QWidget* parent = nullptr);

    // Selects a tab without any notification, as the program does.
    void selectSilently(int index);
    // Index of the tab whose caption equals caption ignoring letter case, or -1.
    int findCaption(const QString& caption) const;
    // The same among the keyword tabs only: the Diary tab is never a keyword's tab.
    int findKeywordTab(const QString& caption) const;
    QStringList captions() const;
    void swapTabs(int a, int b);
    // Called from a handler of changing(): the tab the user picked is not selected.
    void refuseChange() { changeRefused = true; }
    // Selects a tab as a click on it does: changing() first, then changed() unless refused.
    void selectByUser(int index);
    // The keyboard's way to the next (step 1) or previous (step -1) tab, round the ends.
    void stepByUser(int step);

signals:
    void changing();              // the user is about to pick another tab
    void changed();               // the user picked another tab
    void rightPressed(int index); // right button; index may be -1
    void tabDropped(int from, int to);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int dragIndex = 0; // tab pressed when a drag may begin
    QPoint pressPos;
    bool dragging = false;
    bool changeRefused = false;
};
