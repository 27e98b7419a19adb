#pragma once
#include "cabinettable.h"

#include <QTimer>
#include <QWidget>

class Link;
class OperatorUi;
class QAction;
class QMenu;

// The cabinet status panel `GTX` with its legend and popup menu `pop`.
class CabinetGrid : public QWidget
{
    Q_OBJECT
public:
    CabinetGrid(Link &link, OperatorUi &ui, QWidget *parent = nullptr);

    const CabinetTable &table() const { return table_; }
    int selectedCabinet() const { return selectedCabinet_; }
    int blinkPhase() const { return blinkPhase_; }
    QWidget *panel() const { return GTX; }
    QMenu *menu() const { return pop; }

Q_SIGNALS:
    // "Загрузить статистику" or a double click: read the newest card file and
    // show this cabinet's day in the viewer.
    void loadStatisticsRequested(int cabinet);
    // A failed request: reopen the port and refresh the file lists.
    void refreshRequested();

public Q_SLOTS:
    void onBoxLine(const QByteArray &report);
    void gtxrTimer();
    void Timer1Timer();
    void N3Click();
    void N1Click();
    void N2Click();

private:
    friend class GridPanel;
    void select(QPoint point);
    void openMenu(QPoint point);
    void temporaryControl(bool on);

    Link &link_;
    OperatorUi &ui_;
    CabinetTable table_;
    int selectedCabinet_ = 1;
    int blinkPhase_ = 0;
    QWidget *GTX = nullptr;
    QMenu *pop = nullptr;
    QAction *N11 = nullptr;
    QTimer Timer1;
};
