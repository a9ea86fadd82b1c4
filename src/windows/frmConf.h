#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class Announcer;
class QComboBox;
class QLabel;
class QPushButton;

// The settings dialog. Its boxes and captions read as one sentence:
// [start] から [top] までのミルバネを [count] 個使用.
class frmConf : public QDialog
{
    Q_OBJECT

public:
    explicit frmConf(QWidget *owner);

private slots:
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Controls, each named as designed ("cboDice0" for cboDice(0)).
    std::array<QComboBox *, 3> cboDice;
    std::array<QLabel *, 3> lblCap;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    std::int16_t PendingZero = 0;
    std::int16_t PendingFaces = 0;
    std::int16_t PendingCount = 0;

    void Form_Load();
    void centreOver(const QWidget *owner);

    Announcer *m_announcer; // speaks a box's new value to screen readers
};
