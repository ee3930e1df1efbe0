#include "COperTreeDlg.h"
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
TEST(Dbg, Rect)
{
    COperTreeDlg panel;
    panel.resize(400, 600);
    panel.show();
    QTreeWidget *tree = panel.tree();
    int n = 0;
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, [&] { ++n; });
    QTreeWidgetItem *item = tree->topLevelItem(0);
    qDebug() << tree->geometry() << tree->visualItemRect(item) << panel.isVisible() << QTest::qWaitForWindowExposed(&panel, 10);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    qDebug() << n << tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    qDebug() << n;
}
