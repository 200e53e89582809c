// SPDX-License-Identifier: MIT
// What assistive technology is handed for the hint strip.
#include "LinkLabel.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Words = u"以上分组名称可直接编辑   个性分组图案请点这里"_s;

QAccessibleInterface *accessibleOf(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface && iface->isValid() ? iface : nullptr;
}
} // namespace

class TestLinkLabelAccessible : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linkReadsAsALink_data();
    void linkReadsAsALink();
    void pressIsAClick_data();
    void pressIsAClick();
    void pressAnswersBeforeTheClick();
};

void TestLinkLabelAccessible::linkReadsAsALink_data()
{
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QString>("accessibleDescription");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");

    QTest::newRow("named in the design")
        << u"个性分组图案"_s << QString() << u"个性分组图案"_s << Words;
    QTest::newRow("unnamed reads its words") << QString() << QString() << Words << QString();
    QTest::newRow("own description wins")
        << u"个性分组图案"_s << u"打开图案网页"_s << u"个性分组图案"_s << u"打开图案网页"_s;
}

void TestLinkLabelAccessible::linkReadsAsALink()
{
    QFETCH(QString, accessibleName);
    QFETCH(QString, accessibleDescription);
    QFETCH(QString, name);
    QFETCH(QString, description);

    QWidget window;
    auto *label = new LinkLabel(&window);
    label->setText(Words);
    label->setAccessibleName(accessibleName);
    label->setAccessibleDescription(accessibleDescription);
    window.show();

    QAccessibleInterface *iface = accessibleOf(label);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Link);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);
    QVERIFY(iface->state().linked);
    QVERIFY(!iface->state().invisible);
    QVERIFY(iface->actionInterface());
    QCOMPARE(iface->actionInterface()->actionNames().value(0),
             QAccessibleActionInterface::pressAction());
}

void TestLinkLabelAccessible::pressIsAClick_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("clicks");

    const QString press = QAccessibleActionInterface::pressAction();
    QTest::newRow("press") << press << true << true << 1;
    QTest::newRow("disabled") << press << false << true << 0;
    QTest::newRow("hidden") << press << true << false << 0;
    QTest::newRow("other action") << QAccessibleActionInterface::setFocusAction() << true << true
                                  << 0;
    QTest::newRow("unknown action") << u"jump"_s << true << true << 0;
}

void TestLinkLabelAccessible::pressIsAClick()
{
    QFETCH(QString, action);
    QFETCH(bool, enabled);
    QFETCH(bool, shown);
    QFETCH(int, clicks);

    QWidget window;
    auto *label = new LinkLabel(&window);
    label->setText(Words);
    label->setEnabled(enabled);
    label->setVisible(shown);
    window.show();
    QSignalSpy clicked(label, &LinkLabel::clicked);

    QAccessibleInterface *iface = accessibleOf(label);
    QVERIFY(iface);
    iface->actionInterface()->doAction(action);
    QTest::qWait(50);
    QCOMPARE(clicked.size(), clicks);
}

void TestLinkLabelAccessible::pressAnswersBeforeTheClick()
{
    // The click may open a browser; the screen reader's call must not wait for it.
    QWidget window;
    auto *label = new LinkLabel(&window);
    window.show();
    QSignalSpy clicked(label, &LinkLabel::clicked);
    accessibleOf(label)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicked.size(), 0);
    QTRY_COMPARE(clicked.size(), 1);
    // Gone before its click is delivered: nothing is left to run.
    accessibleOf(label)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    delete label;
    QTest::qWait(50);
    QCOMPARE(clicked.size(), 1);
}

QTEST_MAIN(TestLinkLabelAccessible)
#include "tst_linklabelaccessible.moc"
