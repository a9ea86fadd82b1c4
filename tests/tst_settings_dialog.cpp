// The settings dialog: its layout, loading, OK, Cancel, keys and focus.
#include "TestSupport.h"

namespace
{

// What the three boxes show: the start value, the top value, how many dice.
struct Choice {
    QString start, top, count;
};

QString said(const Choice &c)
{
    return QStringLiteral("start %1, top %2, %3 dice").arg(c.start, c.top, c.count);
}

Choice shownIn(const frmConf &dialog)
{
    return {cboDice(dialog)[0]->currentText(), cboDice(dialog)[1]->currentText(),
            cboDice(dialog)[2]->currentText()};
}

void choose(frmConf &dialog, const Choice &c)
{
    cboDice(dialog)[0]->setCurrentText(c.start);
    cboDice(dialog)[1]->setCurrentText(c.top);
    cboDice(dialog)[2]->setCurrentText(c.count);
}

} // namespace

Q_DECLARE_METATYPE(Choice)

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { setSettings(6, 2, 0); }

    void window()
    {
        frmMain owner;
        frmConf dialog(&owner);
        QCOMPARE(dialog.windowTitle(), caption("frmConf"));
        QCOMPARE(dialog.size(), designedClient("dialog"));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.windowFlags() & TitleButtons, Qt::WindowCloseButtonHint);
        // No taskbar entry of its own; centred by the window manager.
        QCOMPARE(dialog.parentWidget(), &owner);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const char *rows[][2] = {{"cboDice(0)", "cboDice0"}, {"lblCap(0)", "lblCap0"},
                                 {"cboDice(1)", "cboDice1"}, {"lblCap(1)", "lblCap1"},
                                 {"cboDice(2)", "cboDice2"}, {"lblCap(2)", "lblCap2"},
                                 {"cmdOK", "cmdOK"},         {"cmdCancel", "cmdCancel"}};
        for (const auto &[tag, name] : rows) // the lists have no caption
            QTest::newRow(tag) << QString(name) << caption(name);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        frmConf dialog(nullptr);
        auto *control = ::control<QWidget>(dialog, name);
        QCOMPARE(control->geometry(), designedPlace(name));
        QCOMPARE(control->font().pixelSize(), fontPixels("dialog"));
        if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(label->text(), text);
        else if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), text);
    }

    void entries()
    {
        frmConf dialog(nullptr);
        const QStringList expected[] = {
            {"0", "1"}, {"2", "3", "4", "5", "6", "7", "8", "9", "10"}, {"1", "2", "3", "4"}};
        const char *meaning[] = {"最小の目", "最大の目", "ミルバネの数"}; // told to screen readers
        for (int i = 0; i < 3; ++i) {
            QComboBox *box = cboDice(dialog)[i];
            QCOMPARE(box->accessibleDescription(), QString::fromUtf8(meaning[i]));
            // A list to pick from, no typing.
            QVERIFY2(!box->isEditable(), qPrintable(box->objectName() + " takes typing"));
            QStringList items;
            for (int k = 0; k < box->count(); ++k)
                items << box->itemText(k);
            QCOMPARE(items, expected[i]);
        }
    }

    void load_data()
    {
        QTest::addColumn<int>("faces");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("zero");
        QTest::addColumn<Choice>("selected");
        QTest::newRow("defaults") << 6 << 2 << 0 << Choice{"1", "6", "2"};
        QTest::newRow("zero face") << 6 << 2 << -1 << Choice{"0", "6", "2"};
        QTest::newRow("10 faces, 4 dice") << 10 << 4 << 0 << Choice{"1", "10", "4"};
        QTest::newRow("2 faces, 1 die") << 2 << 1 << -1 << Choice{"0", "2", "1"};
    }

    void load()
    {
        QFETCH(int, faces);
        QFETCH(int, count);
        QFETCH(int, zero);
        QFETCH(Choice, selected);
        setSettings(faces, count, zero);
        frmConf dialog(nullptr);
        QCOMPARE(said(shownIn(dialog)), said(selected));
    }

    // Choices made in the dialog and OK: the settings that result and the
    // window rearranged for them.
    void ok_data()
    {
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<int>("faces");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("zero");
        QTest::newRow("unchanged") << Choice{"1", "6", "2"} << 6 << 2 << 0;
        QTest::newRow("10 faces, 4 dice") << Choice{"1", "10", "4"} << 10 << 4 << 0;
        QTest::newRow("1 die of 9 faces") << Choice{"1", "9", "1"} << 9 << 1 << 0;
        QTest::newRow("from 0 to 6, 3 dice") << Choice{"0", "6", "3"} << 6 << 3 << -1;
    }

    void ok()
    {
        QFETCH(Choice, choice);
        QFETCH(int, faces);
        QFETCH(int, count);
        QFETCH(int, zero);
        std::deque<float> values = {0.0f, 0.0f, 0.0f, 0.0f};
        frmMain w(std::make_unique<ScriptedRandom>(&values));
        QVERIFY(inSettings(w, [&](frmConf *dialog) {
            choose(*dialog, choice);
            QTest::mouseClick(cmdOK(*dialog), Qt::LeftButton);
        }));
        QCOMPARE(settingsNow(), settings(faces, count, zero));

        // Rearranged for them, Ready.
        QCOMPARE(int(WindowProbe::RollState(w)), int(frmMain::Ready));
        QCOMPARE(violation(w), QString());

        // The dice now run from the chosen start value.
        clickAction(w, 1);
        QCOMPARE(int(WindowProbe::DieValue(w)[0]), zero ? 0 : 1);
    }

    // Cancel and the close box, after every box was changed.
    void abandoned_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }

    void abandoned()
    {
        QFETCH(bool, byCloseBox);
        frmMain w;
        clickAction(w, 3); // leave Ready, then come back by a reset
        QVERIFY(inSettings(w, [&](frmConf *dialog) {
            choose(*dialog, {"0", "10", "4"});
            if (byCloseBox)
                dialog->close();
            else
                QTest::mouseClick(cmdCancel(*dialog), Qt::LeftButton);
        }));
        QCOMPARE(settingsNow(), settings(6, 2, 0));
        QCOMPARE(int(WindowProbe::RollState(w)), int(frmMain::Ready));
        QCOMPARE(violation(w), QString());
        // A new opening shows the settings, not the abandoned choices.
        QCOMPARE(said(shownIn(frmConf(&w))), said({"1", "6", "2"}));
    }

    void tabOrder()
    {
        frmConf dialog(nullptr);
        QVERIFY(shown(dialog, Active));
        const QStringList order = {"cmdCancel", "cmdOK",    "cboDice0",
                                   "cboDice1",  "cboDice2", "cmdCancel"};
        QCOMPARE(focusName(), order[0]);
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(
                mismatch(QStringLiteral("the focus after Tab %1").arg(i), focusName(), order[i]),
                QString());
        }
    }

    // Key sequences right after the dialog opens: how the dialog ends (or
    // that it is still open) and the settings then.
    void keys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("ends");
        QTest::addColumn<QString>("after");
        QTest::newRow("Enter at once is Cancel")
            << typed("Return") << "Cancel" << settings(6, 2, 0);
        QTest::newRow("Tab then Enter is OK") << typed("Tab Return") << "OK" << settings(6, 2, 0);
        QTest::newRow("Down on the top value, Enter is OK")
            << typed("Tab Tab Tab Down Return") << "OK" << settings(7, 2, 0);
        QTest::newRow("Up on the start value, Return is OK")
            << typed("Tab Tab Up Return") << "OK" << settings(6, 2, -1);
        QTest::newRow("arrows move between the buttons, Up on a box, Return is OK")
            << typed("Down Down Up Return") << "OK" << settings(6, 2, -1);
        QTest::newRow("End on the number of dice, Enter is OK")
            << typed("Tab Tab Tab Tab End Enter") << "OK" << settings(6, 4, 0);
        QTest::newRow("Down past the last entry stays there")
            << typed("Tab Tab Down Down Return") << "OK" << settings(6, 2, 0);
        QTest::newRow("Space presses the focused Cancel")
            << typed("Space") << "Cancel" << settings(6, 2, 0);
        QTest::newRow("Escape does nothing") << typed("Esc") << "still open" << settings(6, 2, 0);
        QTest::newRow("Escape on each box does nothing")
            << typed("Tab Tab Esc Tab Esc Tab Esc") << "still open" << settings(6, 2, 0);
    }

    void keys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, ends);
        QFETCH(QString, after);
        frmConf dialog(nullptr);
        QVERIFY(shown(dialog, Active));
        for (int key : keys) {
            QVERIFY2(QApplication::focusWidget(),
                     qPrintable("no control has the focus for " + QKeySequence(key).toString()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            // Up and Down change the selection without opening the list.
            QVERIFY2(!QApplication::activePopupWidget(),
                     qPrintable("a list opened after " + QKeySequence(key).toString()));
        }
        QString ended = QStringLiteral("still open");
        if (!dialog.isVisible())
            ended = dialog.result() == QDialog::Accepted ? "OK" : "Cancel";
        QCOMPARE(ended, ends);
        QCOMPARE(settingsNow(), after);
    }

    void escapeClosesOnlyTheList()
    {
        frmConf dialog(nullptr);
        QVERIFY(shown(dialog, Active));
        cboDice(dialog)[1]->setFocus();
        cboDice(dialog)[1]->showPopup();
        QWidget *popup = QApplication::activePopupWidget();
        QVERIFY2(popup, "the list of top values did not open");
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(dialog.isVisible());
        QCOMPARE(cboDice(dialog)[1]->currentText(), QStringLiteral("6"));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settings_dialog.moc"
