#include "prompts.h"
#include "scriptedprompts.h"

#include <QLabel>
#include <QtTest>

// The facade routes every box and dialog to the installed backend, and the
// scripted backend answers in order with safe defaults once its queues run dry.
class TestPrompts : public QObject
{
    Q_OBJECT
private slots:
    void routesAndRecords()
    {
        ScriptedPrompts script;
        script.buttons << QMessageBox::Yes;
        script.confirmations << true;
        script.fileNames << QStringLiteral("/tmp/a.K91");

        QCOMPARE(Prompts::message(nullptr, Prompts::Icon::Question, "T1", "question?",
                                  QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        Prompts::critical(nullptr, "T2", "failed");
        QVERIFY(Prompts::confirm(nullptr, "T3", "sure?", "Yes", "No"));
        QVERIFY(!Prompts::confirm(nullptr, "T4", "again?", "Yes", "No")); // empty queue: reject
        QCOMPARE(Prompts::openFileName(nullptr, "Open", QString(), "*.K91"), QStringLiteral("/tmp/a.K91"));
        QCOMPARE(Prompts::saveFileName(nullptr, "Save", QString(), "*.K91"), QString()); // cancelled

        QCOMPARE(script.titles(), QStringList({"T1", "T2", "T3", "T4", "Open", "Save"}));
        QCOMPARE(script.shown.at(1).kind, QStringLiteral("critical"));
        QCOMPARE(script.shown.at(1).text, QStringLiteral("failed"));
        QCOMPARE(script.lastKind(), QStringLiteral("save"));
    }

    void restoresInteractiveBackend()
    {
        PromptBackend *before = Prompts::backend();
        {
            ScriptedPrompts script;
            QCOMPARE(Prompts::backend(), static_cast<PromptBackend *>(&script));
        }
        QCOMPARE(Prompts::backend(), before);
    }

    // The interactive boxes as shown: never narrower than their title set in
    // a bold title-bar font beside a frame's buttons, so that a window manager
    // does not cut the title; the text still fits.
    void titlefits_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("refresh") << false << "Refresh Programs List"
                                 << "Fail";
        QTest::newRow("cancelled") << false << "Load All Data From PC Cancelled"
                                   << "OK";
        QTest::newRow("Chinese") << false << QString::fromUtf8("从PC端加载全部数据已取消")
                                 << QString::fromUtf8("好");
        QTest::newRow("question") << true << "Set Project Lock Cancelled"
                                  << "Yes?";
        QTest::newRow("long text") << false << "T" << QString(300, QLatin1Char('x'));
    }
    void titlefits()
    {
        QFETCH(bool, confirm);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Prompts::setBackend(nullptr);
        QWidget parent;
        parent.resize(400, 300);
        parent.show();
        QSize shown;
        QString shownTitle;
        int textWidth = 0;
        int labelWidth = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&]() {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            shown = box->size();
            shownTitle = box->windowTitle();
            for (QLabel *l : box->findChildren<QLabel *>())
                if (l->text() == text) {
                    labelWidth = l->width();
                    textWidth = l->wordWrap() ? 0 : l->fontMetrics().horizontalAdvance(text);
                }
            box->reject();
        });
        poll.start(20);
        if (confirm)
            QVERIFY(!Prompts::confirm(&parent, title, text, "Yes", "No"));
        else
            Prompts::information(&parent, title, text);
        poll.stop();
        QCOMPARE(shownTitle, title);
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        const QFontMetrics fm(bold);
        // The title and four square buttons of the title bar's height.
        QVERIFY2(shown.width() >= fm.horizontalAdvance(title) + 4 * fm.height(),
                 qPrintable(QStringLiteral("%1 wide").arg(shown.width())));
        QVERIFY(shown.width() >= Prompts::titlewidth(title));
        QVERIFY(labelWidth >= textWidth);
        QVERIFY(labelWidth > 0);
    }
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
