// A page of the SLE4442 sheet: told once, when it is first shown, and able
// to choose the reader that holds an SLE4442.
#pragma once

#include "reader/QvdLibrary.h"

#include <QWidget>

class QLabel;

class C42Page : public QWidget
{
    Q_OBJECT
public:
    C42Page(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return caption_; }

protected:
    // Runs once, the first time the page is shown.
    virtual void firstShown() {}
    // The first reader of the reader table on which an SLE4442 answers
    // becomes the device handle.
    void chooseReader();
    QLabel *captionLabel(const QString &text, QWidget *field, const char *name);
    void showEvent(QShowEvent *event) override;

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_cntReadError_4442);

private:
    QString caption_;
    bool shown_ = false;
};
