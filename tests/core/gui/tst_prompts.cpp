#include "prompts.h"
#include "scriptedprompts.h"

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
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
