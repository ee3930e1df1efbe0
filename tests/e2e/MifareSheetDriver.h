// Works the Mifare One sheet's pages as an operator does (keys into the Load
// key list, a sector verified, a block read), for end-to-end tests on any
// reader library. Boxes go to the recorder the test installed.
#pragma once

#include "panels/mifare_one/AuthenPageDlg.h"
#include "panels/mifare_one/CLoadKeyPageDlg.h"
#include "panels/mifare_one/CMifareOneDlg.h"
#include "panels/mifare_one/RwOperPageDlg.h"
#include "tests/support/MessageRecorder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace e2e
{

class MifareSheetDriver
{
public:
    MifareSheetDriver(CMifareOneDlg &sheet, fake::MessageRecorder &boxes) : sheet_(sheet), boxes_(boxes) {}

    template <typename T> T *child(QWidget *page, const char *name) const
    {
        T *found = page->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(QWidget *page, const char *button)
    {
        QTest::mouseClick(child<QAbstractButton>(page, button), Qt::LeftButton);
    }
    // A synthetic mouse click does not always reach a radio button of a page
    // that just became current; the button's own click() does.
    void choose(QWidget *page, const char *radio) { child<QAbstractButton>(page, radio)->click(); }
    void setText(QWidget *page, const char *edit, const QString &text) { child<QLineEdit>(page, edit)->setText(text); }
    // An edit's or a label's text.
    QString text(QWidget *page, const char *name) const
    {
        if (auto *edit = page->findChild<QLineEdit *>(QString::fromLatin1(name)))
            return edit->text();
        return child<QLabel>(page, name)->text();
    }
    void show(QWidget *page) { sheet_.tabs()->setCurrentWidget(page); }

    // Every row (or only onlyRow) set to key, then all loaded as key A or B.
    void loadKeys(const QString &key, bool keyA = true, int onlyRow = -1)
    {
        QWidget *page = sheet_.loadKeyPage();
        show(page);
        setText(page, "currentValue", key);
        auto *list = child<QListWidget>(page, "keyList");
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setSelected(onlyRow < 0 || row == onlyRow);
        click(page, "changeValueButton");
        choose(page, keyA ? "keyA" : "keyB");
        boxes_.clear();
        click(page, "loadKeyButton");
        EXPECT_EQ(boxes_.texts(), QStringList{QStringLiteral("Loadpassword success!")});
    }
    bool verify(int sector, bool keyA = true)
    {
        QWidget *page = sheet_.verifyKeyPage();
        show(page);
        choose(page, keyA ? "keyA" : "keyB");
        EXPECT_TRUE(child<QAbstractButton>(page, keyA ? "keyA" : "keyB")->isChecked());
        setText(page, "sectorEdit", QString::number(sector));
        boxes_.clear();
        click(page, "verifyButton");
        return boxes_.texts() == QStringList{QStringLiteral("Password authentication success!")};
    }
    // The block of the verified sector, as the hex edit shows it.
    QString readBlock(int indexInSector)
    {
        QWidget *page = sheet_.readWritePage();
        show(page);
        child<QComboBox>(page, "blockList")->setCurrentIndex(indexInSector);
        boxes_.clear();
        click(page, "readButton");
        return text(page, "hexEdit").toUpper();
    }

private:
    CMifareOneDlg &sheet_;
    fake::MessageRecorder &boxes_;
};

} // namespace e2e
