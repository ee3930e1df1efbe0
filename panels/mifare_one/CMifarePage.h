// A page of the Mifare One sheet: opened once when the sheet opens, told
// whenever it becomes the current tab.
#pragma once

#include <QWidget>

class QLabel;

class CMifarePage : public QWidget
{
    Q_OBJECT
public:
    CMifarePage(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return caption_; }

    // Runs once, when the sheet opens.
    virtual void opening() {}
    // Runs each time the page becomes the current page.
    virtual void activated() {}

protected:
    // A caption label whose buddy is field.
    QLabel *captionLabel(const QString &text, QWidget *field, const char *name);

private:
    QString caption_;
};
