// The check group of the settings pages: a user can uncheck members until one is left, which
// stays checked; the group announces only real changes of the checked set.

#include "ui/settings/check_group.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

class TestCheckGroup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastCheckedMemberStays_data()
    {
        QTest::addColumn<QList<bool>>("checked");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QList<bool>>("expected");
        QTest::addColumn<int>("announced");
        using L = QList<bool>;
        QTest::newRow("uncheck one of two") << L{true, true, false} << 0 << L{false, true, false} << 1;
        QTest::newRow("uncheck the last") << L{false, true, false} << 1 << L{false, true, false} << 0;
        QTest::newRow("check another") << L{false, true, false} << 2 << L{false, true, true} << 1;
    }

    void lastCheckedMemberStays()
    {
        QFETCH(QList<bool>, checked);
        QFETCH(int, clicked);
        QFETCH(QList<bool>, expected);
        QFETCH(int, announced);
        // The mouse, then Space on the focused box: both go the same way.
        for (const bool keyboard : {false, true}) {
            QWidget page;
            auto* layout = new QVBoxLayout(&page);
            UI::CheckGroup group;
            QList<QCheckBox*> boxes;
            for (const bool on : checked) {
                boxes << new QCheckBox(QStringLiteral("Option"), &page);
                boxes.back()->setChecked(on);
                layout->addWidget(boxes.back());
                group.addMember(boxes.back());
            }
            page.show();
            QVERIFY(QTest::qWaitForWindowExposed(&page));
            QSignalSpy changed(&group, &UI::CheckGroup::changed);
            QSignalSpy kept(&group, &UI::CheckGroup::lastMemberKept);

            QCheckBox* box = boxes[clicked];
            if (keyboard) {
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Space);
            } else {
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            }
            for (int i = 0; i < boxes.size(); ++i)
                QCOMPARE(boxes[i]->isChecked(), expected[i]);
            QCOMPARE(changed.count(), announced);
            QCOMPARE(kept.count(), checked[clicked] && expected[clicked] ? 1 : 0);
        }
    }
};

QTEST_MAIN(TestCheckGroup)
#include "test_check_group.moc"
