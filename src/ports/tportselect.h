#pragma once
#include "portlist.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The port selection dialog: offline work, the demonstration collector, the
// system's serial ports, or a path typed by hand (pseudo-terminals and some
// adapters are not listed by the system).
class TportSelect : public QDialog
{
    Q_OBJECT
public:
    explicit TportSelect(QWidget *parent = nullptr);

    // comPort and comFriendly: read before showing, changed by "Выбрать порт".
    void setChoice(const QString &path, const QString &friendly);
    QString choicePath() const { return path_; }
    QString choiceFriendly() const { return friendly_; }

public Q_SLOTS:
    void EnumClick();
    void Button1Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateChooseButton();

    QLabel *head = nullptr;
    QTreeWidget *List232 = nullptr;
    QLineEdit *typedPath = nullptr;
    QPushButton *Enum = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *spSkinButton3 = nullptr;
    QString path_;
    QString friendly_;
};
