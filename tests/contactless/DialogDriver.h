// Driving a panel in tests: its named children, clicks, and the list-line
// editor (select, double-click, retype, leave).
#pragma once

#include "reader/ConnectionState.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace fake
{

// The device handle for a test's lifetime.
struct DeviceHandle {
    explicit DeviceHandle(int handle) { t7::connection().deviceHandle = handle; }
    ~DeviceHandle() { t7::connection().deviceHandle = 0; }
    DeviceHandle(const DeviceHandle &) = delete;
    DeviceHandle &operator=(const DeviceHandle &) = delete;
};

template <typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

inline void click(const QObject *dialog, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

inline void showActive(QWidget *dialog)
{
    dialog->show();
    QApplication::setActiveWindow(dialog);
}

inline QStringList lineTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

inline void clickLine(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Opens the in-place editor over the line, types text into it and leaves it
// by clicking another line.
inline void editLine(QListWidget *list, QLineEdit *editor, int row, const QString &text, int leaveTo)
{
    clickLine(list, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    ASSERT_TRUE(editor->isVisible());
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, text);
    clickLine(list, leaveTo);
}

} // namespace fake
