// The Cancel button of a long exchange: while it is open, clicks and keys
// reach its progress window and a box shown meanwhile, nothing else; its click
// cancels the exchange that holds the claim (or asks it to stop after its
// step), and the next holder starts uncancelled.

#include "longexchange.h"

#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstCancelButton : public QObject
{
    Q_OBJECT
private slots:
    // Clicks and key presses alike (Space presses a button with the focus).
    void clicks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("reaches");
        QTest::addColumn<bool>("keys");
        for (const bool keys : {false, true}) {
            const char *by = keys ? ", keys" : "";
            QTest::addRow("another window%s", by) << "other" << false << keys;
            // The main window is application-modal: being the modal window up
            // does not make it a box of the operation.
            QTest::addRow("an application-modal window%s", by) << "modal" << false << keys;
            QTest::addRow("a box of the operation%s", by) << "box" << true << keys;
            QTest::addRow("the Cancel button%s", by) << "cancel" << true << keys;
        }
    }
    void clicks()
    {
        QFETCH(QString, target);
        QFETCH(bool, reaches);
        QFETCH(bool, keys);
        const auto press = [keys](QPushButton *b) {
            if (keys)
                QTest::keyClick(b, Qt::Key_Space);
            else
                QTest::mouseClick(b, Qt::LeftButton);
        };
        LongExchange claim;
        QVERIFY(claim.acquired());
        QProgressDialog window;
        window.show();
        QWidget other;
        QPushButton *otherbutton = new QPushButton("other", &other);
        if (target == "modal")
            other.setWindowModality(Qt::ApplicationModal);
        other.show();
        int clicked = 0;
        connect(otherbutton, &QPushButton::clicked, [&] { ++clicked; });
        {
            CancelButton cancel(&window, "Cancel");
            QVERIFY(CancelButton::open());
            QPushButton *cancelbutton = window.findChild<QPushButton *>();
            QVERIFY(cancelbutton);
            QCOMPARE(cancelbutton->text(), QString("Cancel"));
            if (target == "other" || target == "modal") {
                press(otherbutton);
                QCOMPARE(clicked > 0, reaches);
            } else if (target == "box") {
                QDialog box;
                QPushButton *ok = new QPushButton("OK", &box);
                connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
                QTimer::singleShot(0, [&] { press(ok); });
                QTimer::singleShot(5000, &box, &QDialog::reject);
                QCOMPARE(box.exec() == QDialog::Accepted, reaches);
            } else {
                press(cancelbutton);
            }
            QCOMPARE(LongExchange::cancelled(), target == "cancel");
        }
        QVERIFY(!CancelButton::open());
        QVERIFY(!window.findChild<QPushButton *>() || !window.findChild<QPushButton *>()->isVisible());
        // Closed: input goes everywhere again.
        const int before = clicked;
        press(otherbutton);
        QCOMPARE(clicked, before + 1);
    }

    // The progress window is a modal dialog while the button is open, and
    // as it was afterwards. A click that asks to stop after the step cancels
    // nothing yet: the window stays up, its button spent.
    void window_data()
    {
        QTest::addColumn<bool>("afterstep");
        QTest::newRow("at once") << false;
        QTest::newRow("after the step") << true;
    }
    void window()
    {
        QFETCH(bool, afterstep);
        LongExchange claim;
        QProgressDialog window;
        window.setWindowFlags(Qt::ToolTip);
        window.show();
        {
            CancelButton cancel(&window, "Cancel",
                                afterstep ? CancelButton::Ends::AfterStep : CancelButton::Ends::AtOnce);
            QVERIFY(window.isVisible());
            QCOMPARE(window.windowType(), Qt::Dialog);
            QCOMPARE(window.windowModality(), Qt::ApplicationModal);
            QPushButton *button = window.findChild<QPushButton *>();
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(LongExchange::cancelled(), !afterstep);
            QCOMPARE(LongExchange::stopasked(), afterstep);
            QCOMPARE(window.isVisible(), afterstep);
            QCOMPARE(button->isEnabled(), !afterstep);
        }
        QCOMPARE(window.windowType(), Qt::ToolTip);
        QCOMPARE(window.windowModality(), Qt::NonModal);
    }

    // A cancel lasts as long as the claim; the next claim starts uncancelled,
    // and with no claim there is nothing to cancel.
    void lifetime()
    {
        {
            LongExchange claim;
            LongExchange::cancel();
            QVERIFY(LongExchange::cancelled());
        }
        QVERIFY(!LongExchange::cancelled());
        LongExchange::cancel();
        QVERIFY(!LongExchange::cancelled());
        {
            LongExchange claim;
            LongExchange::stopafterstep();
            QVERIFY(LongExchange::stopasked());
        }
        QVERIFY(!LongExchange::stopasked());
        LongExchange::stopafterstep();
        QVERIFY(!LongExchange::stopasked());
        LongExchange next;
        QVERIFY(!LongExchange::cancelled());
    }
};

QTEST_MAIN(TstCancelButton)
#include "tst_cancelbutton.moc"
