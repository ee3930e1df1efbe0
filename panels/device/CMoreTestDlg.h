// "More Test": the common-function and device-function test pages in one
// sheet, opening on the device functions.
#pragma once

#include <QDialog>

class ComFuncTest;
class DevFunTestPage;
class QTabWidget;

class CMoreTestDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CMoreTestDlg(QWidget *parent = nullptr);

    QTabWidget *pages() const { return pages_; }
    ComFuncTest *commonFunctionPage() const { return common_; }
    DevFunTestPage *deviceFunctionPage() const { return device_; }

private:
    QTabWidget *pages_ = nullptr;
    ComFuncTest *common_ = nullptr;
    DevFunTestPage *device_ = nullptr;
};
